#include "platform/Utf8.h"

namespace platform {

namespace {

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Length of the valid sequence at pos and its code point, or 0 when the byte there does not
// start one.
std::size_t DecodeAt(std::string_view text, std::size_t pos, char32_t& cp)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const std::size_t left = text.size() - pos;
    const unsigned char b0 = byte(0);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;  // overlong
        if (b0 == 0xED) high = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;  // overlong
        if (b0 == 0xF4) high = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (left < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!IsContinuation(byte(i))) return 0;
    char32_t value = b0 & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i)
        value = (value << 6) | (byte(i) & 0x3F);
    cp = value;
    return length;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    std::size_t pos = 0;
    char32_t cp;
    while (pos < text.size()) {
        const std::size_t length = DecodeAt(text, pos, cp);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

bool NextCodePoint(std::string_view text, std::size_t& pos, char32_t& cp)
{
    if (pos >= text.size()) return false;
    const std::size_t length = DecodeAt(text, pos, cp);
    if (length == 0) {
        cp = kReplacementChar;
        pos += 1;
    } else {
        pos += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementChar;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string MakeValidUtf8(std::string_view text)
{
    if (IsValidUtf8(text)) return std::string(text);
    return FilterChars(text, [](char32_t) { return true; });
}

std::size_t CountChars(std::string_view text)
{
    std::size_t count = 0, pos = 0;
    char32_t cp;
    while (NextCodePoint(text, pos, cp))
        ++count;
    return count;
}

std::string CutToChars(std::string_view text, std::size_t maxChars)
{
    std::string out;
    std::size_t pos = 0, count = 0;
    char32_t cp;
    while (count < maxChars && NextCodePoint(text, pos, cp)) {
        AppendUtf8(out, cp);
        ++count;
    }
    return out;
}

std::string FilterChars(std::string_view text, const std::function<bool(char32_t)>& keep)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    char32_t cp;
    while (NextCodePoint(text, pos, cp))
        if (keep(cp)) AppendUtf8(out, cp);
    return out;
}

char32_t ToUpperSimple(char32_t cp)
{
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
    if (cp == 0xFF) return 0x178;
    if (cp == 0xB5) return 0x39C;
    if (cp >= 0x100 && cp <= 0x17F) {
        // Latin Extended-A pairs upper/lower; the parity of the lower-case letter changes at
        // U+0138 and again at U+0149.
        if ((cp <= 0x12F || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) && (cp & 1))
            return cp - 1;
        if (((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) && !(cp & 1)) return cp - 1;
        return cp;
    }
    if (cp >= 0x3AC && cp <= 0x3CE) {
        if (cp == 0x3AC) return 0x386;
        if (cp >= 0x3AD && cp <= 0x3AF) return cp - 37;
        if (cp == 0x3C2) return 0x3A3;
        if (cp >= 0x3B1 && cp <= 0x3CB) return cp - 32;
        if (cp == 0x3CC) return 0x38C;
        if (cp >= 0x3CD) return cp - 63;
        return cp;
    }
    if (cp >= 0x430 && cp <= 0x44F) return cp - 32;
    if (cp >= 0x450 && cp <= 0x45F) return cp - 80;
    if (cp >= 0xFF41 && cp <= 0xFF5A) return cp - 32;
    return cp;
}

namespace {

// Like NextCodePoint, but a byte that is not valid UTF-8 keeps its identity (a value above the
// Unicode range), so two different invalid names never compare equal.
bool NextForCompare(std::string_view text, std::size_t& pos, char32_t& cp)
{
    if (pos >= text.size()) return false;
    const std::size_t length = DecodeAt(text, pos, cp);
    if (length == 0) {
        cp = 0x110000 + static_cast<unsigned char>(text[pos]);
        pos += 1;
    } else {
        cp = ToUpperSimple(cp);
        pos += length;
    }
    return true;
}

} // namespace

int CompareNoCase(std::string_view a, std::string_view b)
{
    std::size_t pa = 0, pb = 0;
    char32_t ca, cb;
    for (;;) {
        const bool moreA = NextForCompare(a, pa, ca);
        const bool moreB = NextForCompare(b, pb, cb);
        if (!moreA || !moreB) return moreA ? 1 : (moreB ? -1 : 0);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return CompareNoCase(a, b) == 0;
}

bool NameLess(std::string_view a, std::string_view b)
{
    const int order = CompareNoCase(a, b);
    return order != 0 ? order < 0 : a < b;
}

std::string JsonQuoted(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string valid = MakeValidUtf8(text);
    std::string out;
    out.reserve(valid.size() + 2);
    out += '"';
    for (const char c : valid) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 0x0F];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

} // namespace platform
