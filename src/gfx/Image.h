// A picture read back from a render target: RGBA, 8 bits per channel, top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gfx {

struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // width × height × 4 bytes

    bool empty() const { return width <= 0 || height <= 0; }
    // Outside the picture gives a transparent black pixel rather than reading past the data.
    Pixel At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return {};
        const std::size_t i =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
};

} // namespace gfx
