// Pictures the generator writes: the ground texture and the key-label bitmaps.
#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// An RGB picture, top row first, three bytes per pixel.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;

    Picture(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}
    std::uint8_t* At(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        std::uint8_t* p = At(x, y);
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
};

// A 24-bit uncompressed Windows bitmap (bottom-up rows, as every reader expects).
std::string BmpBytes(const Picture& picture);
// PNG bytes of the picture.
std::string PngBytes(const Picture& picture);

// Grass seen from above, repeating seamlessly in both directions.
Picture GrassTexture(int size);

} // namespace demo
