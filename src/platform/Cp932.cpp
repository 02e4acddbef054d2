#include "platform/Cp932.h"

#include "platform/Utf8.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace platform {

namespace {

// One iconv conversion, opened once per thread and reset before each use.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t Reset()
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

  private:
    iconv_t cd_;
};

Converter& Decoder()
{
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& Encoder()
{
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

bool IsLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrailByte(unsigned char b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

constexpr char32_t kKatakanaMiddleDot = 0x30FB;

// Code points that stand for the single bytes glibc's table leaves out (see Cp932ToUtf8).
int SingleByteFor(char32_t cp)
{
    if (cp == 0x80) return 0x80;
    if (cp == 0xF8F0) return 0xA0;
    if (cp >= 0xF8F1 && cp <= 0xF8F3) return static_cast<int>(0xFD + (cp - 0xF8F1));
    return -1;
}

// Runs the converter over in, calling onError(in, position) at every sequence it rejects;
// onError appends its own output and returns how many input bytes it consumed (0 = give up).
template <class OnError>
bool Convert(Converter& converter, std::string_view in, std::string& out, OnError onError)
{
    iconv_t cd = converter.Reset();
    char* inPtr = const_cast<char*>(in.data()); // iconv's signature; the input is not written
    std::size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
        const std::size_t pos = static_cast<std::size_t>(inPtr - in.data());
        const std::size_t used = onError(in, pos);
        if (used == 0) return false;
        inPtr += used;
        inLeft -= used;
        cd = converter.Reset();
    }
    return true;
}

// Encodes text; unrepresentable characters give '?' when lossy, or make it fail.
std::optional<std::string> Encode(std::string_view text, bool lossy)
{
    std::string out;
    out.reserve(text.size());
    const bool ok = Convert(Encoder(), text, out, [&](std::string_view in, std::size_t pos) -> std::size_t {
        std::size_t next = pos;
        char32_t cp;
        NextCodePoint(in, next, cp);
        if (const int single = SingleByteFor(cp); single >= 0) {
            out += static_cast<char>(single);
        } else {
            if (!lossy) return 0;
            out += '?';
        }
        return next - pos;
    });
    if (!ok) return std::nullopt;
    return out;
}

} // namespace

std::string Cp932ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    Convert(Decoder(), bytes, out, [&](std::string_view in, std::size_t pos) -> std::size_t {
        const auto b = static_cast<unsigned char>(in[pos]);
        if (b == 0x80) {
            AppendUtf8(out, 0x80);
        } else if (b == 0xA0) {
            AppendUtf8(out, 0xF8F0);
        } else if (b >= 0xFD) {
            AppendUtf8(out, 0xF8F1 + (b - 0xFD));
        } else if (IsLeadByte(b) && pos + 1 < in.size() &&
                   IsTrailByte(static_cast<unsigned char>(in[pos + 1]))) {
            AppendUtf8(out, kKatakanaMiddleDot); // a well-formed pair with no character assigned
            return 2;
        } else {
            // A lead byte without its trail byte: keep whatever follows (a line end, say).
            AppendUtf8(out, kKatakanaMiddleDot);
        }
        return 1;
    });
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view text)
{
    return Encode(text, false);
}

std::string Utf8ToCp932Lossy(std::string_view text)
{
    return *Encode(text, true);
}

bool FitsCp932(std::string_view text)
{
    return Encode(text, false).has_value();
}

std::string ShiftJisBytes(std::string_view text)
{
    return Utf8ToCp932Lossy(text);
}

int CompareShiftJis(std::string_view a, std::string_view b)
{
    // std::string compares through char_traits<char>, which orders bytes as unsigned values.
    const int order = ShiftJisBytes(a).compare(ShiftJisBytes(b));
    if (order != 0) return order;
    return a.compare(b);
}

std::string CutToCp932Bytes(std::string_view text, std::size_t maxBytes)
{
    std::string out;
    std::size_t used = 0, pos = 0;
    char32_t cp;
    while (NextCodePoint(text, pos, cp)) {
        std::string one;
        AppendUtf8(one, cp);
        const std::size_t size = cp < 0x80 ? 1 : Utf8ToCp932Lossy(one).size();
        if (used + size > maxBytes) break;
        used += size;
        out += one;
    }
    return out;
}

} // namespace platform
