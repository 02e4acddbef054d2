// Writing .x files for the tests: binary tokens and the MSZIP container, built here with zlib
// directly so that the reader is checked against an independent writer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace xsamples {

// Binary .x token stream (little-endian 16-bit token codes).
class BinaryWriter {
  public:
    explicit BinaryWriter(int floatSize = 4) : floatSize_(floatSize) {}

    BinaryWriter& Name(std::string_view name)
    {
        Token(1);
        Dword(static_cast<std::uint32_t>(name.size()));
        out_ += name;
        return *this;
    }
    BinaryWriter& String(std::string_view text)
    {
        Token(2);
        Dword(static_cast<std::uint32_t>(text.size()));
        out_ += text;
        Token(20); // ';' terminator
        return *this;
    }
    BinaryWriter& Integer(std::uint32_t value)
    {
        Token(3);
        Dword(value);
        return *this;
    }
    BinaryWriter& Guid()
    {
        Token(5);
        out_.append(16, '\x11');
        return *this;
    }
    BinaryWriter& Ints(const std::vector<std::uint32_t>& values)
    {
        Token(6);
        Dword(static_cast<std::uint32_t>(values.size()));
        for (std::uint32_t v : values)
            Dword(v);
        return *this;
    }
    BinaryWriter& Floats(const std::vector<double>& values)
    {
        Token(7);
        Dword(static_cast<std::uint32_t>(values.size()));
        for (double v : values) {
            if (floatSize_ == 8) {
                std::uint64_t bits = 0;
                std::memcpy(&bits, &v, 8);
                Dword(static_cast<std::uint32_t>(bits));
                Dword(static_cast<std::uint32_t>(bits >> 32));
            } else {
                const float f = static_cast<float>(v);
                std::uint32_t bits = 0;
                std::memcpy(&bits, &f, 4);
                Dword(bits);
            }
        }
        return *this;
    }
    BinaryWriter& Open()
    {
        Token(10);
        return *this;
    }
    BinaryWriter& Close()
    {
        Token(11);
        return *this;
    }
    BinaryWriter& Token(std::uint16_t token)
    {
        out_.push_back(static_cast<char>(token & 0xFF));
        out_.push_back(static_cast<char>(token >> 8));
        return *this;
    }
    BinaryWriter& Dword(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        return *this;
    }

    // The whole file: header and tokens.
    std::string File() const
    {
        return std::string("xof 0303bin ") + (floatSize_ == 8 ? "0064" : "0032") + out_;
    }

  private:
    int floatSize_;
    std::string out_;
};

inline void Put16(std::string& out, std::uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

// Compresses the body of an uncompressed .x file (everything after its 16-byte header) into
// MSZIP blocks of blockSize bytes; with history, each block is compressed with the bytes before
// it as preset dictionary, so blocks refer back into earlier ones.
inline std::string MsZip(std::string_view body, std::size_t blockSize = 32768, bool history = true)
{
    std::string out;
    const auto total = static_cast<std::uint32_t>(body.size() + 16);
    Put16(out, total & 0xFFFF);
    Put16(out, total >> 16);
    for (std::size_t pos = 0; pos < body.size(); pos += blockSize) {
        const std::size_t raw = std::min(blockSize, body.size() - pos);
        z_stream z{};
        deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        if (history && pos > 0) {
            const std::size_t dict = std::min<std::size_t>(pos, 32768);
            deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(body.data() + pos - dict),
                                 static_cast<uInt>(dict));
        }
        std::string packed(deflateBound(&z, static_cast<uLong>(raw)) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data() + pos));
        z.avail_in = static_cast<uInt>(raw);
        z.next_out = reinterpret_cast<Bytef*>(packed.data());
        z.avail_out = static_cast<uInt>(packed.size());
        deflate(&z, Z_FINISH);
        packed.resize(packed.size() - z.avail_out);
        deflateEnd(&z);
        Put16(out, static_cast<std::uint32_t>(raw));
        Put16(out, static_cast<std::uint32_t>(packed.size() + 2));
        out += "CK";
        out += packed;
    }
    return out;
}

// An uncompressed file turned into its compressed twin ("txt " → "tzip", "bin " → "bzip").
inline std::string Compress(std::string_view file, std::size_t blockSize = 32768, bool history = true)
{
    std::string header(file.substr(0, 16));
    header.replace(8, 4, header.substr(8, 3) == "txt" ? "tzip" : "bzip");
    return header + MsZip(file.substr(16), blockSize, history);
}

} // namespace xsamples
