// MSZIP through zlib: raw inflate per block, each block started over with the last 32 KiB of
// the output as preset dictionary. That reads both kinds of writers: those that reset the
// compressor per block and those that keep the window across blocks.
#include "model/MsZip.h"

#include <algorithm>
#include <cstdint>
#include <zlib.h>

namespace model {
namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMaxBlock = 32768;

std::uint32_t Get16(std::string_view data, std::size_t pos)
{
    return static_cast<unsigned char>(data[pos]) | (static_cast<unsigned char>(data[pos + 1]) << 8);
}

std::uint32_t Get32(std::string_view data, std::size_t pos)
{
    return Get16(data, pos) | (Get16(data, pos + 2) << 16);
}

struct InflateStream {
    z_stream z{};
    bool open = false;
    InflateStream() { open = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
    ~InflateStream()
    {
        if (open) inflateEnd(&z);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

// zlib's interfaces take non-const pointers to input it never writes.
Bytef* In(std::string_view data, std::size_t pos)
{
    return reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + pos));
}

} // namespace

platform::Result<std::string> InflateMsZip(std::string_view data, std::size_t maxSize)
{
    if (data.size() < 4) return platform::Fail("compressed data is cut short");
    const std::uint32_t declared = Get32(data, 0);
    if (declared < 16) return platform::Fail("compressed data states an impossible size");
    const std::size_t bodySize = declared - 16;
    if (bodySize > maxSize) {
        return platform::Fail("compressed data would expand to " + std::to_string(declared) +
                              " bytes, more than allowed");
    }
    InflateStream stream;
    if (!stream.open) return platform::Fail("cannot start decompression");

    std::string out;
    std::size_t pos = 4;
    while (pos < data.size()) {
        if (data.size() - pos < 6) return platform::Fail("compressed block header is cut short");
        const std::uint32_t rawSize = Get16(data, pos);
        const std::uint32_t packedSize = Get16(data, pos + 2);
        pos += 4;
        if (packedSize < 2 || packedSize > data.size() - pos)
            return platform::Fail("compressed block is cut short");
        if (data[pos] != 'C' || data[pos + 1] != 'K')
            return platform::Fail("compressed block lacks its signature");
        if (rawSize > kMaxBlock) return platform::Fail("compressed block is larger than allowed");
        if (rawSize > bodySize - out.size())
            return platform::Fail("compressed data expands past its stated size");

        z_stream& z = stream.z;
        if (inflateReset(&z) != Z_OK) return platform::Fail("decompression failed");
        if (!out.empty()) {
            const std::size_t history = std::min(out.size(), kWindow);
            const auto* dict = reinterpret_cast<const Bytef*>(out.data() + out.size() - history);
            if (inflateSetDictionary(&z, dict, static_cast<uInt>(history)) != Z_OK) {
                return platform::Fail("decompression failed");
            }
        }
        // One byte more room than the block's size tells a block that ends exactly at its size
        // from one that would go on.
        const std::size_t start = out.size();
        out.resize(start + rawSize + 1);
        z.next_in = In(data, pos + 2);
        z.avail_in = packedSize - 2;
        z.next_out = reinterpret_cast<Bytef*>(out.data() + start);
        z.avail_out = rawSize + 1;
        const int rc = inflate(&z, Z_FINISH);
        const std::size_t produced = rawSize + 1 - z.avail_out;
        out.resize(start + std::min<std::size_t>(produced, rawSize));
        if (rc != Z_STREAM_END && produced > rawSize)
            return platform::Fail("compressed block expands past its size");
        if (rc != Z_STREAM_END) return platform::Fail("compressed block is corrupt");
        if (produced != rawSize) return platform::Fail("compressed block does not expand to its stated size");
        pos += packedSize;
    }
    if (out.size() != bodySize) return platform::Fail("compressed data expands to less than its stated size");
    return out;
}

} // namespace model
