// Colours and the fixed-function material, as the device takes them.
#pragma once

namespace gfx {

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

struct Material {
    Color diffuse;
    Color ambient;
    Color specular;
    Color emissive;
    float power = 0;
    friend bool operator==(const Material&, const Material&) = default;
};

}  // namespace gfx
