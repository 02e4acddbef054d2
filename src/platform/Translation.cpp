#include "platform/Translation.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace platform {

namespace {

constexpr std::string_view kPlaceholder = "%s";
// A pattern's parts may themselves be composed texts, but never deeply.
constexpr int kMaxDepth = 3;

struct Speaking {
    std::string language{kSourceLanguage};
    std::shared_ptr<const Catalogue> catalogue;
};

// Installed once at start-up, before any thread but the main one exists; read from then on.
Speaking& Installed()
{
    static Speaking speaking;
    return speaking;
}

std::vector<std::string_view> SplitPattern(std::string_view pattern)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t at = pattern.find(kPlaceholder); at != std::string_view::npos;
         at = pattern.find(kPlaceholder, start)) {
        pieces.push_back(pattern.substr(start, at - start));
        start = at + kPlaceholder.size();
    }
    pieces.push_back(pattern.substr(start));
    return pieces;
}

std::size_t FixedLength(std::string_view pattern)
{
    std::size_t length = 0;
    for (const std::string_view piece : SplitPattern(pattern))
        length += piece.size();
    return length;
}

// Fills captures with the parts of text that the placeholders between pieces[index..] stand
// for, trying every position of each fixed piece; false when text does not fit.
bool MatchFrom(const std::vector<std::string_view>& pieces, std::size_t index, std::string_view text,
               std::vector<std::string_view>& captures)
{
    if (index + 1 == pieces.size()) {
        // The last fixed piece closes the text; the part before it is the last capture.
        const std::string_view last = pieces[index];
        if (text.size() <= last.size() || !text.ends_with(last)) return false;
        captures.push_back(text.substr(0, text.size() - last.size()));
        return true;
    }
    const std::string_view next = pieces[index];
    for (std::size_t at = text.find(next, 1); at != std::string_view::npos; at = text.find(next, at + 1)) {
        captures.push_back(text.substr(0, at));
        if (MatchFrom(pieces, index + 1, text.substr(at + next.size()), captures)) return true;
        captures.pop_back();
    }
    return false;
}

std::string Fill(std::string_view translation, const std::vector<std::string>& parts)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < translation.size(); ++i) {
        if (translation[i] != '%' || i + 1 >= translation.size()) {
            out += translation[i];
            continue;
        }
        const char c = translation[i + 1];
        if (c == '%') {
            out += '%';
            ++i;
        } else if (c == 's') {
            if (next < parts.size()) out += parts[next++];
            ++i;
        } else if (c >= '1' && c <= '9' && i + 3 < translation.size() && translation.substr(i + 2, 2) == "$s") {
            const std::size_t which = static_cast<std::size_t>(c - '1');
            if (which < parts.size()) out += parts[which];
            i += 3;
        } else {
            out += '%';
        }
    }
    return out;
}

std::uint32_t Word(std::string_view bytes, std::size_t at, bool swapped)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
        value |= static_cast<std::uint32_t>(byte) << (swapped ? 8 * (3 - i) : 8 * i);
    }
    return value;
}

} // namespace

Result<Catalogue> Catalogue::ReadMo(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail("cannot open " + path);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 20) return Fail(path + " is not a message catalogue");
    const std::uint32_t magic = Word(bytes, 0, false);
    if (magic != 0x950412deu && magic != 0xde120495u) return Fail(path + " is not a message catalogue");
    const bool swapped = magic == 0xde120495u;
    const std::uint32_t count = Word(bytes, 8, swapped);
    const std::uint32_t originals = Word(bytes, 12, swapped);
    const std::uint32_t translations = Word(bytes, 16, swapped);

    // Every offset is checked against the file: a damaged catalogue fails, it never reads past.
    const auto text = [&](std::uint32_t table, std::uint32_t index) -> std::optional<std::string_view> {
        const std::uint64_t entry = std::uint64_t{table} + std::uint64_t{index} * 8;
        if (entry + 8 > bytes.size()) return std::nullopt;
        const std::uint32_t length = Word(bytes, entry, swapped);
        const std::uint32_t offset = Word(bytes, entry + 4, swapped);
        if (std::uint64_t{offset} + length > bytes.size()) return std::nullopt;
        return std::string_view(bytes).substr(offset, length);
    };

    Catalogue catalogue;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto msgid = text(originals, i);
        const auto msgstr = text(translations, i);
        if (!msgid || !msgstr) return Fail(path + " is damaged");
        if (msgid->empty() || msgstr->empty()) continue;
        // Plural forms are NUL-separated; the program has none, the first form serves.
        const std::string_view id = msgid->substr(0, msgid->find('\0'));
        const std::string_view str = msgstr->substr(0, msgstr->find('\0'));
        catalogue.Add(std::string(id), std::string(str));
    }
    return catalogue;
}

void Catalogue::Add(std::string msgid, std::string msgstr)
{
    if (msgid.find(kPlaceholder) != std::string::npos && !entries_.contains(msgid)) {
        const auto more = [](const std::string& a, const std::string& b) { return FixedLength(a) > FixedLength(b); };
        patterns_.insert(std::upper_bound(patterns_.begin(), patterns_.end(), msgid, more), msgid);
    }
    entries_.insert_or_assign(std::move(msgid), std::move(msgstr));
}

std::string Catalogue::Translate(std::string_view text) const
{
    return TranslateAt(text, 0);
}

std::string Catalogue::TranslateAt(std::string_view text, int depth) const
{
    if (text.empty()) return {};
    if (const auto found = entries_.find(text); found != entries_.end()) return found->second;
    if (depth >= kMaxDepth) return std::string(text);
    for (const std::string& pattern : patterns_) {
        if (auto filled = MatchPattern(pattern, entries_.find(pattern)->second, text, depth)) return *filled;
    }
    // A message with the system's reason added on further lines: the longest leading lines
    // that are an entry are translated, the rest follows as it is.
    for (std::size_t line = text.rfind('\n'); line != std::string_view::npos && line > 0;
         line = text.rfind('\n', line - 1)) {
        if (const auto found = entries_.find(text.substr(0, line)); found != entries_.end())
            return found->second + std::string(text.substr(line));
    }
    return std::string(text);
}

std::optional<std::string> Catalogue::MatchPattern(std::string_view pattern, std::string_view translation,
                                                   std::string_view text, int depth) const
{
    const std::vector<std::string_view> pieces = SplitPattern(pattern);
    if (!text.starts_with(pieces.front())) return std::nullopt;
    std::vector<std::string_view> captures;
    if (!MatchFrom(pieces, 1, text.substr(pieces.front().size()), captures)) return std::nullopt;
    std::vector<std::string> parts;
    for (const std::string_view capture : captures)
        parts.push_back(TranslateAt(capture, depth + 1));
    return Fill(translation, parts);
}

void InstallLanguage(std::string language, std::shared_ptr<const Catalogue> catalogue)
{
    Installed() = Speaking{std::move(language), std::move(catalogue)};
}

std::string CurrentLanguage()
{
    return Installed().language;
}

std::string Tr(std::string_view text)
{
    const Speaking& speaking = Installed();
    return speaking.catalogue ? speaking.catalogue->Translate(text) : std::string(text);
}

bool IsLanguage(std::string_view name)
{
    return std::find(std::begin(kLanguages), std::end(kLanguages), name) != std::end(kLanguages);
}

std::string ChooseLanguage(std::string_view override, const std::function<const char*(const char*)>& getenv)
{
    if (IsLanguage(override)) return std::string(override);
    // "ja_JP.UTF-8" → "ja"; "C", "POSIX" and empty say nothing.
    const auto language = [](std::string_view locale) -> std::string {
        locale = locale.substr(0, locale.find_first_of("_.@"));
        if (locale.empty() || locale == "C" || locale == "POSIX") return {};
        return std::string(locale);
    };
    const auto value = [&getenv](const char* name) -> std::string_view {
        const char* text = getenv(name);
        return text ? std::string_view(text) : std::string_view();
    };
    // LANGUAGE, a list in order of preference, names the first choice: "LANGUAGE=en korvela"
    // speaks English even under a "C" locale.
    std::string_view list = value("LANGUAGE");
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string wanted = language(list.substr(0, colon));
        if (IsLanguage(wanted)) return wanted;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    // Then the first of LC_ALL, LC_MESSAGES and LANG that is set.
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = value(name);
        if (!locale.empty()) break;
    }
    const std::string fromLocale = language(locale);
    if (fromLocale.empty()) return std::string(kSourceLanguage);
    return IsLanguage(fromLocale) ? fromLocale : std::string("en");
}

} // namespace platform
