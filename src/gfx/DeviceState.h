// The fixed-function state a device holds, with the values a freshly created or reset device has.
#pragma once

#include "gfx/Material.h"
#include "gfx/Texture.h"
#include "math/Matrix.h"
#include "math/Vector.h"
#include "math/Viewport.h"

#include <array>
#include <cstdint>

namespace gfx {

enum class TransformKind { World, View, Projection };

// On/off render states.
enum class RenderState {
    Lighting,
    ZEnable,
    ZWriteEnable,
    AlphaBlendEnable,
    SpecularEnable,
    NormalizeNormals,
    DitherEnable,
    PointSpriteEnable,
    PointScaleEnable,
    ColorVertex,
};
inline constexpr int kRenderStateCount = 10;

// Faces culled: None, those clockwise on screen (Cw), those counter-clockwise (Ccw, the default,
// since front faces are clockwise).
enum class CullMode { None, Cw, Ccw };
enum class FillMode { Solid, Wireframe };
enum class ShadeMode { Flat, Gouraud };
enum class Blend {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColor,
    InvDestColor
};
// Where the lit diffuse colour comes from: the material, or the vertex colour when the mesh has one.
enum class MaterialSource { Material, Color1 };

enum class PointParameter { Size, SizeMin, SizeMax, ScaleA, ScaleB, ScaleC };
inline constexpr int kPointParameterCount = 6;

// Stage 0 combines argument 1 (the texture) with argument 2 (the diffuse colour).
enum class StageOp { Disable, SelectTexture, SelectDiffuse, Modulate };

enum class Sampler { Min, Mag, Mip };
enum class Filter { None, Point, Linear };

// A directional light; the direction is in world space and need not be normalised.
struct Light {
    Color diffuse;
    Color specular;
    Color ambient;
    math::Vec3 direction{0, 0, 1};
    friend bool operator==(const Light&, const Light&) = default;
};

inline constexpr int kMaxLights = 8;

struct DeviceState {
    DeviceState();

    bool Get(RenderState s) const { return flags[static_cast<int>(s)]; }
    void Set(RenderState s, bool on) { flags[static_cast<int>(s)] = on; }
    float Get(PointParameter p) const { return point[static_cast<int>(p)]; }
    void Set(PointParameter p, float v) { point[static_cast<int>(p)] = v; }
    void Set(Sampler s, Filter f);
    const math::Matrix& Transform(TransformKind k) const { return transforms[static_cast<int>(k)]; }

    std::array<bool, kRenderStateCount> flags{};
    CullMode cull = CullMode::Ccw;
    FillMode fill = FillMode::Solid;
    ShadeMode shade = ShadeMode::Gouraud;
    Blend srcBlend = Blend::One;
    Blend destBlend = Blend::Zero;
    Color ambient; // the global ambient light, 0 unless a caller sets it
    MaterialSource diffuseSource = MaterialSource::Color1;
    std::array<float, kPointParameterCount> point{};
    StageOp colorOp = StageOp::Modulate;
    StageOp alphaOp = StageOp::SelectTexture;
    Filter minFilter = Filter::Point;
    Filter magFilter = Filter::Point;
    Filter mipFilter = Filter::None;
    std::array<math::Matrix, 3> transforms;
    math::Viewport viewport;
    Material material;
    std::array<Light, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnabled{};
    TextureHandle texture;
};

} // namespace gfx
