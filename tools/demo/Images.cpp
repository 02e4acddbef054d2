#include "demo/Images.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace demo {

namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Value noise on a periodic lattice: smooth, and the same at opposite edges.
class TiledNoise {
  public:
    TiledNoise(int period, std::uint32_t seed)
        : period_(period), values_(static_cast<std::size_t>(period) * period)
    {
        std::uint32_t state = seed;
        for (float& v : values_) {
            state = state * 1664525u + 1013904223u;
            v = static_cast<float>(state >> 8) / static_cast<float>(1u << 24);
        }
    }
    // x and y in lattice cells.
    float At(double x, double y) const
    {
        const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
        const double fx = x - x0, fy = y - y0;
        const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        const double a = Cell(x0, y0), b = Cell(x0 + 1, y0), c = Cell(x0, y0 + 1), d = Cell(x0 + 1, y0 + 1);
        return static_cast<float>((a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy);
    }

  private:
    float Cell(int x, int y) const
    {
        const int px = ((x % period_) + period_) % period_, py = ((y % period_) + period_) % period_;
        return values_[static_cast<std::size_t>(py) * period_ + px];
    }
    int period_;
    std::vector<float> values_;
};

} // namespace

std::string BmpBytes(const Picture& picture)
{
    const int rowBytes = (picture.width * 3 + 3) & ~3;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(rowBytes) * picture.height;
    std::string out = "BM";
    PutLe(out, 14 + 40 + dataSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 14 + 40, 4);
    PutLe(out, 40, 4); // BITMAPINFOHEADER
    PutLe(out, static_cast<std::uint32_t>(picture.width), 4);
    PutLe(out, static_cast<std::uint32_t>(picture.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4); // uncompressed
    PutLe(out, dataSize, 4);
    PutLe(out, 2835, 4); // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &picture.rgb[static_cast<std::size_t>(y) * picture.width * 3];
        for (int x = 0; x < picture.width; ++x) {
            out += static_cast<char>(row[x * 3 + 2]); // BGR
            out += static_cast<char>(row[x * 3 + 1]);
            out += static_cast<char>(row[x * 3 + 0]);
        }
        out.append(static_cast<std::size_t>(rowBytes - picture.width * 3), '\0');
    }
    return out;
}

std::string PngBytes(const Picture& picture)
{
    std::string out;
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                   static_cast<std::size_t>(size));
    };
    stbi_write_png_to_func(append, &out, picture.width, picture.height, 3, picture.rgb.data(),
                           picture.width * 3);
    return out;
}

Picture GrassTexture(int size)
{
    Picture picture(size, size);
    const TiledNoise coarse(4, 7), medium(16, 11), fine(64, 13);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
            const double n = 0.45 * coarse.At(u * 4, v * 4) + 0.35 * medium.At(u * 16, v * 16) +
                             0.2 * fine.At(u * 64, v * 64);
            // Blades: a little extra light and dark at pixel scale.
            const std::uint32_t h =
                (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u);
            const double speck = ((h >> 7) % 100) / 100.0 - 0.5;
            const double shade = 0.86 + 0.22 * (n - 0.5) + 0.09 * speck;
            // A touch of drier olive where the coarse noise is high.
            const double dry = std::clamp((coarse.At(u * 4, v * 4) - 0.6) * 1.2, 0.0, 0.35);
            const double r = (84 + 50 * dry) * shade, g = (134 + 8 * dry) * shade, b = (56 + 6 * dry) * shade;
            picture.Set(x, y, static_cast<std::uint8_t>(std::clamp(r, 0.0, 255.0)),
                        static_cast<std::uint8_t>(std::clamp(g, 0.0, 255.0)),
                        static_cast<std::uint8_t>(std::clamp(b, 0.0, 255.0)));
        }
    }
    return picture;
}

} // namespace demo
