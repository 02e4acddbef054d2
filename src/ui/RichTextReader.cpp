#include "ui/RichTextReader.h"

#include "platform/Cp932.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

namespace ui {
namespace {

// Groups nested deeper than this still count braces but share the deepest state, so broken or
// hostile input cannot make the state stack grow without bound.
constexpr std::size_t kMaxDepth = 256;
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276; // the largest size the rich-edit control accepts
constexpr int kMaxUnicodeSkip = 64;
constexpr char32_t kReplacement = platform::kReplacementChar;

enum class Destination { Text, FontTable, ColourTable, Skip };
enum class CharsetScope { Low, High, DoubleByte };

struct GroupState {
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = kDefaultHalfPoints;
    int colourIndex = 0;
    int font = -1; // -1: the document's default font
    int doubleByteFont = -1;
    CharsetScope scope = CharsetScope::Low;
    int unicodeSkip = 1; // characters of fallback after each \u
};

// Destinations whose text never shows.
bool IsSkippedDestination(std::string_view word)
{
    static constexpr std::string_view kSkipped[] = {"stylesheet",   "info",      "pict",
                                                    "object",       "header",    "footer",
                                                    "headerl",      "headerr",   "headerf",
                                                    "footerl",      "footerr",   "footerf",
                                                    "fldinst",      "listtable", "listoverridetable",
                                                    "generator",    "themedata", "colorschememapping",
                                                    "latentstyles", "datastore", "xmlnstbl",
                                                    "rsidtbl",      "mmathPr",   "footnote",
                                                    "annotation",   "atnid",     "atnauthor",
                                                    "filetbl",      "revtbl",    "pgdsctbl",
                                                    "bkmkstart",    "bkmkend",   "xe",
                                                    "tc",           "txe",       "nonshppict",
                                                    "userprops",    "docvar",    "template",
                                                    "background"};
    return std::ranges::find(kSkipped, word) != std::end(kSkipped);
}

bool IsUnderlineVariant(std::string_view word)
{
    static constexpr std::string_view kVariants[] = {
        "uld",   "uldash",   "uldashd",   "uldashdd",   "uldb",      "ulhwave",    "ulldash", "ulth",
        "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};
    return std::ranges::find(kVariants, word) != std::end(kVariants);
}

// The character a control word stands for, or 0.
char32_t SymbolOfWord(std::string_view word)
{
    if (word == "lquote") return 0x2018;
    if (word == "rquote") return 0x2019;
    if (word == "ldblquote") return 0x201C;
    if (word == "rdblquote") return 0x201D;
    if (word == "bullet") return 0x2022;
    if (word == "endash") return 0x2013;
    if (word == "emdash") return 0x2014;
    if (word == "enspace" || word == "emspace" || word == "qmspace") return ' ';
    return 0;
}

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0; // 1 (default), 2 (symbol) and unknown: the document's code page
    }
}

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string DecodeBytes(std::string_view bytes, int codePage)
{
    if (codePage == 932) return platform::Cp932ToUtf8(bytes);
    if (codePage == 65001) return platform::MakeValidUtf8(bytes);
    // Latin code pages read as Windows-1252; for the others (other double-byte pages, Cyrillic,
    // Greek...) only ASCII is certain. Their writers add \u characters for such text anyway.
    const bool latin = codePage == 1252 || codePage == 10000 || codePage == 437 || codePage == 850;
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text += c;
        } else if (!latin) {
            platform::AppendUtf8(text, kReplacement);
        } else if (b < 0xA0) {
            platform::AppendUtf8(text, kCp1252High[b - 0x80]);
        } else {
            platform::AppendUtf8(text, b);
        }
    }
    return text;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

class RtfReader {
  public:
    explicit RtfReader(std::string_view rtf) : in_(rtf) { stack_.push_back(GroupState{}); }

    RichTextDocument Read();

  private:
    GroupState& State() { return stack_.back(); }

    void OpenGroup();
    bool CloseGroup(); // false when the outermost group ended
    void ReadControl();
    void ControlWord(std::string_view word, bool hasParam, int param);
    void ControlSymbol(char c);
    void TextByte(char c);
    void FontTableWord(std::string_view word, int param);
    void ColourTableWord(std::string_view word, int param);
    void CommitFont();
    void CommitColour();

    void Flush();
    void AppendCodePoint(char32_t cp);
    void AppendUtf8(std::string_view text);
    void EndParagraph();
    void ResolveHighSurrogate();
    RichTextStyle CurrentStyle() const;
    int CurrentCodePage() const;
    int FontCodePage(int font) const;

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<GroupState> stack_;
    std::size_t overflowDepth_ = 0;

    int defaultCodePage_ = 1252;
    int defaultFont_ = 0;
    std::unordered_map<int, int> fontCodePages_;
    std::vector<std::optional<RichTextColour>> colours_;

    // Font table entry being read.
    int entryFont_ = -1;
    int entryCharset_ = -1;
    int entryCodePage_ = -1;
    // Colour table entry being read.
    RichTextColour entryColour_;
    bool entryColourSet_ = false;

    std::string pendingBytes_; // text bytes in the current code page, decoded together
    int fallbackToSkip_ = 0;   // fallback characters still to drop after a \u
    char16_t highSurrogate_ = 0;

    RichTextDocument document_;
};

RichTextDocument RtfReader::Read()
{
    document_.paragraphs.emplace_back();
    while (pos_ < in_.size()) {
        const char c = in_[pos_];
        if (c == '{') {
            ++pos_;
            OpenGroup();
        } else if (c == '}') {
            ++pos_;
            if (!CloseGroup()) break; // text after the document's closing brace is not read
        } else if (c == '\\') {
            ReadControl();
        } else if (c == '\r' || c == '\n' || c == '\0') {
            ++pos_; // line ends in the source are not text
        } else {
            ++pos_;
            TextByte(c);
        }
    }
    Flush();
    ResolveHighSurrogate();
    // The mark of the last paragraph is not a paragraph of its own.
    if (!document_.paragraphs.empty() && document_.paragraphs.back().runs.empty()) {
        document_.paragraphs.pop_back();
    }
    return std::move(document_);
}

void RtfReader::OpenGroup()
{
    Flush();
    fallbackToSkip_ = 0;
    if (stack_.size() < kMaxDepth) {
        stack_.push_back(stack_.back());
    } else {
        ++overflowDepth_;
    }
}

bool RtfReader::CloseGroup()
{
    Flush();
    fallbackToSkip_ = 0;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return true;
    }
    if (State().destination == Destination::FontTable) CommitFont();
    if (stack_.size() <= 2) {
        // Closing the document's own group (stack_[0] stands for "outside any group").
        if (stack_.size() == 2) stack_.pop_back();
        return false;
    }
    stack_.pop_back();
    return true;
}

void RtfReader::ReadControl()
{
    ++pos_; // the backslash
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!IsLetter(c)) {
        ++pos_;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < in_.size()) {
                const int h = HexValue(in_[pos_]);
                if (h < 0) break;
                value = value * 16 + h;
                ++pos_;
                ++digits;
            }
            if (digits == 2) TextByte(static_cast<char>(value)); // a cut escape is dropped
            return;
        }
        ControlSymbol(c);
        return;
    }

    const std::size_t start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_]))
        ++pos_;
    std::string_view word = in_.substr(start, pos_ - start);
    if (word.size() > 32) word = {}; // longer than any control word: ignored as unknown

    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && IsDigit(in_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    while (pos_ < in_.size() && IsDigit(in_[pos_])) {
        hasParam = true;
        value = std::min<long long>(value * 10 + (in_[pos_] - '0'), std::numeric_limits<int>::max());
        ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_; // the delimiter belongs to the word
    const int param = static_cast<int>(negative ? -value : value);

    if (word == "bin") {
        // Raw binary data follows; it may contain braces and backslashes of any kind.
        const std::size_t count = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
        pos_ += std::min(count, in_.size() - pos_);
        return;
    }
    ControlWord(word, hasParam, param);
}

void RtfReader::ControlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        TextByte(c);
        return;
    case '*':
        // "{\*\word": a destination this reader may not know; its text is not shown.
        Flush();
        State().destination = Destination::Skip;
        return;
    case '\r':
    case '\n':
        ControlWord("par", false, 0); // backslash before a line end is a paragraph mark
        return;
    default:
        break;
    }
    if (State().destination != Destination::Text) return;
    if (fallbackToSkip_ > 0) {
        --fallbackToSkip_;
        return;
    }
    if (c == '~') AppendCodePoint(0x00A0);
    if (c == '_') AppendCodePoint(0x2011);
    // '\-' (optional hyphen), '\|', '\:' and the rest show nothing.
}

void RtfReader::TextByte(char c)
{
    switch (State().destination) {
    case Destination::Text:
        if (fallbackToSkip_ > 0) {
            --fallbackToSkip_;
            return;
        }
        pendingBytes_ += c;
        return;
    case Destination::FontTable:
        if (c == ';') CommitFont();
        return;
    case Destination::ColourTable:
        if (c == ';') CommitColour();
        return;
    case Destination::Skip:
        return;
    }
}

void RtfReader::ControlWord(std::string_view word, bool hasParam, int param)
{
    Flush();
    GroupState& state = State();
    switch (state.destination) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        FontTableWord(word, param);
        return;
    case Destination::ColourTable:
        ColourTableWord(word, param);
        return;
    case Destination::Text:
        break;
    }
    if (const char32_t symbol = SymbolOfWord(word); symbol != 0) {
        // Words that stand for one character may be the fallback of a \u.
        if (fallbackToSkip_ > 0) {
            --fallbackToSkip_;
        } else {
            AppendCodePoint(symbol);
        }
        return;
    }
    // Any other word ends a fallback: a writer that gave none must not lose a paragraph mark.
    if (word != "u") fallbackToSkip_ = 0;

    const bool on = !hasParam || param != 0;
    if (word == "par" || word == "sect" || word == "page" || word == "row") {
        EndParagraph();
    } else if (word == "line") {
        AppendCodePoint('\n');
    } else if (word == "tab" || word == "cell") {
        AppendCodePoint('\t');
    } else if (word == "u") {
        if (!hasParam) return; // not a character at all
        const int unit = param < 0 ? param + 65536 : param;
        if (unit != 0)
            AppendCodePoint(unit > 0 && unit <= 0xFFFF ? static_cast<char32_t>(unit) : kReplacement);
        fallbackToSkip_ = state.unicodeSkip;
    } else if (word == "uc") {
        state.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
    } else if (word == "b") {
        state.bold = on;
    } else if (word == "i") {
        state.italic = on;
    } else if (word == "ul" || IsUnderlineVariant(word)) {
        state.underline = on;
    } else if (word == "ulnone") {
        state.underline = false;
    } else if (word == "fs") {
        state.halfPoints = hasParam && param > 0 ? std::min(param, kMaxHalfPoints) : kDefaultHalfPoints;
    } else if (word == "cf") {
        state.colourIndex = std::max(param, 0);
    } else if (word == "f") {
        state.font = std::max(param, 0);
    } else if (word == "af") {
        if (state.scope == CharsetScope::DoubleByte) state.doubleByteFont = std::max(param, 0);
    } else if (word == "loch") {
        state.scope = CharsetScope::Low;
    } else if (word == "hich") {
        state.scope = CharsetScope::High;
    } else if (word == "dbch") {
        state.scope = CharsetScope::DoubleByte;
    } else if (word == "plain") {
        state.bold = state.italic = state.underline = false;
        state.halfPoints = kDefaultHalfPoints;
        state.colourIndex = 0;
        state.font = -1;
    } else if (word == "ansicpg") {
        if (param > 0) defaultCodePage_ = param;
    } else if (word == "deff") {
        defaultFont_ = std::max(param, 0);
    } else if (word == "fonttbl") {
        state.destination = Destination::FontTable;
    } else if (word == "colortbl") {
        state.destination = Destination::ColourTable;
        colours_.clear();
    } else if (IsSkippedDestination(word)) {
        state.destination = Destination::Skip;
    }
    // Everything else (paragraph layout, page setup, languages, unknown words) is ignored.
}

void RtfReader::FontTableWord(std::string_view word, int param)
{
    if (word == "f") {
        CommitFont();
        entryFont_ = std::max(param, 0);
    } else if (word == "fcharset") {
        entryCharset_ = param;
    } else if (word == "cpg") {
        entryCodePage_ = param;
    } else if (IsSkippedDestination(word)) {
        State().destination = Destination::Skip;
    }
}

void RtfReader::ColourTableWord(std::string_view word, int param)
{
    const auto component = static_cast<std::uint8_t>(std::clamp(param, 0, 255));
    if (word == "red") {
        entryColour_.red = component;
    } else if (word == "green") {
        entryColour_.green = component;
    } else if (word == "blue") {
        entryColour_.blue = component;
    } else {
        return;
    }
    entryColourSet_ = true;
}

void RtfReader::CommitFont()
{
    if (entryFont_ >= 0) {
        int codePage = entryCodePage_ > 0 ? entryCodePage_ : 0;
        if (codePage == 0 && entryCharset_ >= 0) codePage = CodePageOfCharset(entryCharset_);
        fontCodePages_[entryFont_] = codePage;
    }
    entryFont_ = entryCharset_ = entryCodePage_ = -1;
}

void RtfReader::CommitColour()
{
    // An entry without components is "auto": the control's own text colour.
    colours_.push_back(entryColourSet_ ? std::optional(entryColour_) : std::nullopt);
    entryColour_ = {};
    entryColourSet_ = false;
}

int RtfReader::FontCodePage(int font) const
{
    const auto found = fontCodePages_.find(font);
    return found != fontCodePages_.end() ? found->second : 0;
}

int RtfReader::CurrentCodePage() const
{
    const GroupState& state = stack_.back();
    int codePage = FontCodePage(state.font >= 0 ? state.font : defaultFont_);
    // Writers that mix a Latin font with Japanese text name the Japanese font with \dbch\af.
    if (codePage != 932 && state.doubleByteFont >= 0 && FontCodePage(state.doubleByteFont) == 932) {
        codePage = 932;
    }
    return codePage != 0 ? codePage : defaultCodePage_;
}

RichTextStyle RtfReader::CurrentStyle() const
{
    const GroupState& state = stack_.back();
    RichTextStyle style;
    style.bold = state.bold;
    style.italic = state.italic;
    style.underline = state.underline;
    style.halfPoints = state.halfPoints;
    if (state.colourIndex >= 0 && static_cast<std::size_t>(state.colourIndex) < colours_.size()) {
        style.colour = colours_[static_cast<std::size_t>(state.colourIndex)];
    }
    return style;
}

void RtfReader::Flush()
{
    if (pendingBytes_.empty()) return;
    const std::string text = DecodeBytes(pendingBytes_, CurrentCodePage());
    pendingBytes_.clear();
    AppendUtf8(text);
}

void RtfReader::ResolveHighSurrogate()
{
    if (highSurrogate_ == 0) return;
    highSurrogate_ = 0;
    std::string text;
    platform::AppendUtf8(text, kReplacement);
    AppendUtf8(text);
}

void RtfReader::AppendCodePoint(char32_t cp)
{
    Flush(); // text bytes read before this character come first
    if (cp >= 0xD800 && cp <= 0xDBFF) {
        ResolveHighSurrogate();
        highSurrogate_ = static_cast<char16_t>(cp);
        return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF) {
        if (highSurrogate_ == 0) {
            cp = kReplacement;
        } else {
            cp = 0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xD800) << 10) + (cp - 0xDC00);
            highSurrogate_ = 0;
        }
    }
    std::string text;
    platform::AppendUtf8(text, cp);
    AppendUtf8(text);
}

void RtfReader::AppendUtf8(std::string_view text)
{
    // Control characters other than tab and line break (escaped bytes such as \'00, \u1) are
    // no text: a styled text control may cut the run at a NUL or show the rest as boxes. No
    // byte of a multi-byte UTF-8 sequence lies below 0x80, so dropping bytes is safe.
    const auto isControl = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F;
    };
    std::string kept;
    if (std::ranges::any_of(text, isControl)) {
        std::ranges::remove_copy_if(text, std::back_inserter(kept), isControl);
        text = kept;
    }
    if (text.empty()) return;
    ResolveHighSurrogate();
    RichTextStyle style = CurrentStyle();
    std::vector<RichTextRun>& runs = document_.paragraphs.back().runs;
    if (!runs.empty() && runs.back().style == style) {
        runs.back().text += text;
    } else {
        runs.push_back(RichTextRun{std::string(text), std::move(style)});
    }
}

void RtfReader::EndParagraph()
{
    ResolveHighSurrogate();
    document_.paragraphs.emplace_back();
}

} // namespace

bool LooksLikeRtf(std::string_view bytes)
{
    return bytes.starts_with("{\\rtf") || bytes.starts_with("{\\urtf");
}

std::optional<RichTextDocument> ReadRtf(std::string_view rtf)
{
    if (!LooksLikeRtf(rtf)) return std::nullopt;
    return RtfReader(rtf).Read();
}

} // namespace ui
