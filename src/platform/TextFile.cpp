#include "platform/TextFile.h"

#include "platform/Cp932.h"
#include "platform/SafeFile.h"
#include "platform/Utf8.h"

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

bool IsAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string DecodeUtf16Le(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    const auto unit = [&](std::size_t at) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[at]) |
                                     (static_cast<unsigned char>(bytes[at + 1]) << 8));
    };
    while (i + 1 < bytes.size()) {
        const char32_t u = unit(i);
        i += 2;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < bytes.size()) {
            const char32_t low = unit(i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                i += 2;
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        AppendUtf8(out, u); // an unpaired surrogate becomes the replacement character
    }
    if (i < bytes.size()) AppendUtf8(out, kReplacementChar); // odd byte at the end
    return out;
}

std::string EncodeUtf16Le(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    std::size_t pos = 0;
    char32_t cp;
    while (NextCodePoint(text, pos, cp)) {
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

} // namespace

TextEncoding DetectEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf16LeBom)) return TextEncoding::Utf16LeBom;
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8Bom;
    if (IsAscii(bytes)) return TextEncoding::Ascii;
    if (IsValidUtf8(bytes)) return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

LineEnd DetectLineEnd(std::string_view text)
{
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return LineEnd::CrLf;
    if (text[at] == '\n') return LineEnd::Lf;
    return at + 1 < text.size() && text[at + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
}

std::string_view LineEndChars(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::Lf:
        return "\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::CrLf:
        break;
    }
    return "\r\n";
}

std::string_view ByteOrderMark(TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8Bom) return kUtf8Bom;
    if (encoding == TextEncoding::Utf16LeBom) return kUtf16LeBom;
    return {};
}

std::string DecodeBody(std::string_view bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Ascii:
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return MakeValidUtf8(bytes);
    case TextEncoding::Utf16LeBom:
        return DecodeUtf16Le(bytes);
    case TextEncoding::Cp932:
        break;
    }
    return Cp932ToUtf8(bytes);
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding)
{
    if (const std::string_view bom = ByteOrderMark(encoding); !bom.empty() && bytes.starts_with(bom))
        bytes.remove_prefix(bom.size());
    return DecodeBody(bytes, encoding);
}

std::string EncodeBody(std::string_view text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return MakeValidUtf8(text);
    case TextEncoding::Utf16LeBom:
        return EncodeUtf16Le(text);
    case TextEncoding::Ascii:
    case TextEncoding::Cp932:
        break;
    }
    return Utf8ToCp932Lossy(text);
}

std::string EncodeText(std::string_view text, TextEncoding encoding)
{
    return std::string(ByteOrderMark(encoding)) + EncodeBody(text, encoding);
}

TextEncoding EncodingForNewFile(std::string_view text)
{
    return FitsCp932(text) ? TextEncoding::Cp932 : TextEncoding::Utf8Bom;
}

TextEncoding EncodingForRewrite(TextEncoding original, std::string_view newText)
{
    switch (original) {
    case TextEncoding::Ascii:
        return IsAscii(newText) ? TextEncoding::Ascii : EncodingForNewFile(newText);
    case TextEncoding::Cp932:
        return FitsCp932(newText) ? TextEncoding::Cp932 : TextEncoding::Utf8Bom;
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf16LeBom:
        break;
    }
    return original;
}

TextFile DecodeTextFile(std::string_view bytes)
{
    TextFile file;
    file.encoding = DetectEncoding(bytes);
    file.text = DecodeText(bytes, file.encoding);
    file.lineEnd = DetectLineEnd(file.text);
    return file;
}

namespace {

// Reads up to limit bytes; tooLong is set when the file holds more. With refuseLonger a plain
// file that is known to be longer is not read at all.
Result<std::string> ReadUpTo(const std::string& path, std::size_t limit, bool refuseLonger, bool& tooLong)
{
    tooLong = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail("cannot open " + path + ": " + std::strerror(errno));
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return Fail("cannot read " + path + ": not a file");
    }
    std::string bytes;
    if (S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::size_t>(info.st_size);
        tooLong = size > limit;
        if (tooLong && refuseLonger) {
            ::close(fd);
            return bytes;
        }
        bytes.reserve(std::min(size, limit));
    }
    char buffer[65536];
    while (bytes.size() <= limit) {
        // One byte past the limit tells a file that is exactly limit long from a longer one.
        const std::size_t want = std::min(sizeof buffer, limit - bytes.size() + 1);
        const ssize_t got = ::read(fd, buffer, want);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return Fail("cannot read " + path + ": " + std::strerror(error));
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (bytes.size() > limit) {
        tooLong = true;
        bytes.resize(limit);
    }
    return bytes;
}

} // namespace

Result<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes)
{
    if (maxBytes == static_cast<std::size_t>(-1)) maxBytes = static_cast<std::size_t>(-1) - 1;
    bool tooLong = false;
    auto bytes = ReadUpTo(path, maxBytes, true, tooLong);
    if (bytes && tooLong) return Fail(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    return bytes;
}

Result<std::string> ReadFileStart(const std::string& path, std::size_t count)
{
    bool tooLong = false;
    return ReadUpTo(path, count, false, tooLong);
}

Result<TextFile> ReadTextFile(const std::string& path)
{
    auto bytes = ReadFileBytes(path);
    if (!bytes) return Fail(bytes.error());
    return DecodeTextFile(*bytes);
}

Status WriteTextFile(const std::string& path, std::string_view text, TextEncoding encoding)
{
    return ReplaceFile(path, EncodeText(text, encoding));
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

} // namespace platform
