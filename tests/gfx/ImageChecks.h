// Checks on pictures read back from a device or painted from recorded calls.
#pragma once

#include "gfx/Device.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace imagecheck {

inline gfx::Pixel Rgb(int r, int g, int b)
{
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 255};
}

inline ::testing::AssertionResult Near(gfx::Pixel p, gfx::Pixel want, int tolerance = 3)
{
    if (std::abs(p.r - want.r) <= tolerance && std::abs(p.g - want.g) <= tolerance &&
        std::abs(p.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ") is not near ("
           << int(want.r) << ", " << int(want.g) << ", " << int(want.b) << ")";
}

// Bounding box of the pixels that are not black; all zero when there are none.
inline gfx::Rect Extent(const gfx::Image& image)
{
    gfx::Rect r{image.width, image.height, 0, 0};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const gfx::Pixel p = image.At(x, y);
            if ((p.r | p.g | p.b) == 0) continue;
            r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                 std::max(r.bottom, y + 1)};
        }
    return r.right == 0 ? gfx::Rect{} : r;
}

inline bool Empty(const gfx::Rect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

// Edges within a pixel of each other: rasterisers differ on a pixel centre that lies on an edge.
inline ::testing::AssertionResult About(const gfx::Rect& got, const gfx::Rect& want)
{
    if (std::abs(got.left - want.left) <= 1 && std::abs(got.top - want.top) <= 1 &&
        std::abs(got.right - want.right) <= 1 && std::abs(got.bottom - want.bottom) <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "drawn {" << got.left << ", " << got.top << ", " << got.right
                                         << ", " << got.bottom << "}, expected about {" << want.left << ", "
                                         << want.top << ", " << want.right << ", " << want.bottom << "}";
}

inline bool Inside(const gfx::Rect& inner, const gfx::Rect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace imagecheck
