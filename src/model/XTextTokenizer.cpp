// Text .x tokens: white space is space, tab, CR, LF and NUL; "//" and "#" start comments where a
// token could start; names are any run of bytes up to a separator (exporters write '.', '-'
// and Shift-JIS bytes in them).
#include "model/XTextTokenizer.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace model {
namespace {

constexpr bool IsBlank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0' || c == '\f' || c == '\v';
}

// Bytes that end an unquoted run.
constexpr std::array<bool, 256> MakeStopTable()
{
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = IsBlank(static_cast<unsigned char>(c));
    for (char c : std::string_view("{}[]()<>,;\""))
        table[static_cast<unsigned char>(c)] = true;
    return table;
}
constexpr std::array<bool, 256> kStop = MakeStopTable();

bool EqualsAsciiNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::string Quote(std::string_view run)
{
    constexpr std::size_t kMax = 40;
    std::string text(run.substr(0, kMax));
    if (run.size() > kMax) text += "...";
    return "'" + text + "'";
}

} // namespace

bool ParseXFloat(std::string_view text, float& out)
{
    if (text.empty()) return false;
    if (text[0] == '+') text.remove_prefix(1);
    if (text.empty() || text[0] == '+') return false;
    const char* first = text.data();
    const char* last = first + text.size();
    float value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        double wide = 0;
        auto [wptr, wec] = std::from_chars(first, last, wide, std::chars_format::general);
        if (wptr != last) return false;
        if (wec == std::errc()) {
            if (std::fabs(wide) > std::numeric_limits<float>::max()) {
                out = std::copysign(std::numeric_limits<float>::infinity(),
                                    static_cast<float>(wide > 0 ? 1 : -1));
            } else {
                out = static_cast<float>(wide); // below the float range: becomes zero or denormal
            }
            return true;
        }
        // Beyond even double: the sign of the exponent says whether it overflows or underflows.
        const bool negative = text[0] == '-';
        const auto e = text.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
        out = tiny ? 0.0f : std::numeric_limits<float>::infinity();
        if (negative) out = -out;
        return true;
    }
    if (ec != std::errc()) return false;
    if (ptr == last) {
        out = value;
        return true;
    }
    // The Windows C runtime prints infinities and NaNs as "1.#INF00", "-1.#IND00", "1.#QNAN0".
    const std::string_view rest(ptr, static_cast<std::size_t>(last - ptr));
    for (char c : rest.substr(1)) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    if (StartsWith(rest, "#INF")) {
        out = std::copysign(std::numeric_limits<float>::infinity(), value);
        return true;
    }
    if (StartsWith(rest, "#IND") || StartsWith(rest, "#QNAN") || StartsWith(rest, "#SNAN") ||
        StartsWith(rest, "#NAN")) {
        out = std::numeric_limits<float>::quiet_NaN();
        return true;
    }
    return false;
}

void XTextTokenizer::SkipBlank(bool separators)
{
    const std::size_t n = data_.size();
    while (pos_ < n) {
        const char c = data_[pos_];
        if (IsBlank(static_cast<unsigned char>(c)) || (separators && (c == ',' || c == ';'))) {
            ++pos_;
        } else if (c == '#' || (c == '/' && pos_ + 1 < n && data_[pos_ + 1] == '/')) {
            const std::size_t eol = data_.find('\n', pos_);
            pos_ = eol == std::string_view::npos ? n : eol + 1;
        } else {
            break;
        }
    }
}

std::string_view XTextTokenizer::TakeRun()
{
    const std::size_t n = data_.size();
    const std::size_t start = pos_;
    while (pos_ < n) {
        const char c = data_[pos_];
        if (kStop[static_cast<unsigned char>(c)]) break;
        if (c == '/' && pos_ + 1 < n && data_[pos_ + 1] == '/') break;
        ++pos_;
    }
    return data_.substr(start, pos_ - start);
}

XToken XTextTokenizer::Next()
{
    if (Failed()) return {XTokenKind::Error, {}};
    SkipBlank(true);
    if (pos_ >= data_.size()) return {XTokenKind::End, {}};
    const char c = data_[pos_];
    switch (c) {
    case '{':
        ++pos_;
        return {XTokenKind::OpenBrace, {}};
    case '}':
        ++pos_;
        return {XTokenKind::CloseBrace, {}};
    case '"': {
        const std::size_t close = data_.find('"', pos_ + 1);
        if (close == std::string_view::npos) {
            Fail("unterminated string");
            return {XTokenKind::Error, {}};
        }
        XToken token{XTokenKind::String, data_.substr(pos_ + 1, close - pos_ - 1)};
        pos_ = close + 1;
        return token;
    }
    case '<': {
        // A GUID is 36 characters; allow some slack for spaces, but never scan the whole file.
        const std::size_t close = data_.find('>', pos_ + 1);
        if (close == std::string_view::npos || close - pos_ > 64) {
            Fail("malformed GUID");
            return {XTokenKind::Error, {}};
        }
        XToken token{XTokenKind::Guid, data_.substr(pos_ + 1, close - pos_ - 1)};
        pos_ = close + 1;
        return token;
    }
    case '[':
    case ']':
    case '(':
    case ')':
    case '>':
        ++pos_;
        return {XTokenKind::Other, data_.substr(pos_ - 1, 1)};
    default:
        break;
    }
    const std::string_view run = TakeRun();
    if (EqualsAsciiNoCase(run, "template")) return {XTokenKind::Template, run};
    return {XTokenKind::Word, run};
}

bool XTextTokenizer::ReadUInt(std::uint32_t& out)
{
    if (Failed()) return false;
    SkipBlank(true);
    std::string_view run = TakeRun();
    if (run.empty()) return Fail(pos_ >= data_.size() ? "unexpected end of file" : "expected an integer");
    const std::string_view digits = run[0] == '+' ? run.substr(1) : run;
    const char* last = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), last, out);
    if (ec != std::errc() || ptr != last) return Fail("expected an integer, found " + Quote(run));
    return true;
}

bool XTextTokenizer::ReadFloat(float& out)
{
    if (Failed()) return false;
    SkipBlank(true);
    const std::string_view run = TakeRun();
    if (run.empty()) return Fail(pos_ >= data_.size() ? "unexpected end of file" : "expected a number");
    if (!ParseXFloat(run, out)) return Fail("expected a number, found " + Quote(run));
    return true;
}

bool XTextTokenizer::ReadString(std::string_view& out)
{
    if (Failed()) return false;
    SkipBlank(true);
    if (pos_ >= data_.size() || data_[pos_] != '"') return Fail("expected a string");
    const XToken token = Next();
    if (token.kind != XTokenKind::String) return false;
    out = token.text;
    return true;
}

bool XTextTokenizer::SkipGuid()
{
    if (Failed()) return false;
    SkipBlank(true);
    if (pos_ < data_.size() && data_[pos_] == '<') Next();
    return !Failed();
}

std::size_t XTextTokenizer::MaxValuesLeft() const
{
    // Every value but the last needs at least one byte after it to end it.
    return (data_.size() - pos_) / 2 + 1;
}

} // namespace model
