#include "gfx/gl/ImageFile.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

// The decoders are third-party code; their own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace gfx::gl {

namespace {

// Files larger than this cannot be a texture we would accept anyway.
constexpr std::uintmax_t kMaxFileBytes = 512ull * 1024 * 1024;

std::optional<std::vector<unsigned char>> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::uintmax_t>(size) > kMaxFileBytes) return std::nullopt;
    in.seekg(0, std::ios::beg);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return bytes;
}

std::uint32_t ReadLe(const std::vector<unsigned char>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

// A 32-bit BMP with the plain 40-byte header and no bit fields stores X8R8G8B8: no alpha.
bool IsBmpWithoutAlpha(const std::vector<unsigned char>& b)
{
    if (b.size() < 34 || b[0] != 'B' || b[1] != 'M') return false;
    const std::uint32_t headerSize = ReadLe(b, 14, 4);
    const std::uint32_t bitsPerPixel = ReadLe(b, 28, 2);
    const std::uint32_t compression = ReadLe(b, 30, 4);
    return headerSize == 40 && bitsPerPixel == 32 && compression == 0;
}

} // namespace

std::optional<Image> LoadImageFile(const std::string& path)
{
    auto bytes = ReadFile(path);
    if (!bytes || bytes->size() > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;
    const int length = static_cast<int>(bytes->size());
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(bytes->data(), length, &w, &h, &channels)) return std::nullopt;
    if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide ||
        static_cast<long long>(w) * h > kMaxImagePixels)
        return std::nullopt;
    stbi_uc* pixels = stbi_load_from_memory(bytes->data(), length, &w, &h, &channels, 4);
    if (!pixels) return std::nullopt;
    Image image;
    image.width = w;
    image.height = h;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    image.rgba.assign(pixels, pixels + count);
    stbi_image_free(pixels);
    if (IsBmpWithoutAlpha(*bytes))
        for (std::size_t i = 3; i < count; i += 4)
            image.rgba[i] = 255;
    return image;
}

bool WritePngFile(const Image& image, const std::string& path)
{
    if (image.empty() || image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        return false;
    return stbi_write_png(path.c_str(), image.width, image.height, 4, image.rgba.data(), image.width * 4) !=
           0;
}

} // namespace gfx::gl
