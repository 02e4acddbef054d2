// Colours and the fixed-function material, as the device takes them.
#pragma once

#include <cstdint>

namespace gfx {

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

// 32-bit ARGB (as the files and vertex colours store it) to floating-point channels.
constexpr Color ColorFromArgb(std::uint32_t argb)
{
    return {static_cast<float>((argb >> 16) & 0xFF) / 255.0f, static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f};
}

struct Material {
    Color diffuse;
    Color ambient;
    Color specular;
    Color emissive;
    float power = 0;
    friend bool operator==(const Material&, const Material&) = default;
};

} // namespace gfx
