// The calls a RecordingDevice stores, one type per device operation, with its arguments.
#pragma once

#include "gfx/Device.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace gfx::call {

struct SetTarget {
    Target target;
    bool ok;
};
struct Clear {
    Color color;
    float depth;
};
struct BeginScene {};
struct EndScene {};
struct Present {
    Target target;
    bool ok;
};
// A resize reset (width and height given) or a reset with the creation parameters.
struct Reset {
    bool resize;
    int width;
    int height;
    bool ok;
};
struct SetTransform {
    TransformKind kind;
    math::Matrix matrix;
};
struct SetViewport {
    math::Viewport viewport;
    bool ok;
};
struct SetRenderState {
    RenderState state;
    bool on;
};
struct SetCullMode {
    CullMode mode;
};
struct SetFillMode {
    FillMode mode;
};
struct SetShadeMode {
    ShadeMode mode;
};
struct SetBlendFunc {
    Blend src;
    Blend dest;
};
struct SetAmbient {
    Color ambient;
};
struct SetDiffuseMaterialSource {
    MaterialSource source;
};
struct SetPointParameter {
    PointParameter parameter;
    float value;
};
struct SetTextureStage {
    StageOp colorOp;
    StageOp alphaOp;
};
struct SetSamplerFilter {
    Sampler sampler;
    Filter filter;
};
struct SetMaterial {
    Material material;
};
struct SetLight {
    int index;
    Light light;
};
struct LightEnable {
    int index;
    bool on;
};
struct SetTexture {
    TextureHandle texture;
};
struct LoadTexture {
    std::string path;
    TextureHandle result;
};
struct UploadMesh {
    const MeshBuffer* buffer;
};
// The state in force when the draw happened is kept with it, so tests can ask what a draw used.
struct DrawSubset {
    const MeshBuffer* mesh;
    std::uint32_t subset;
    std::size_t triangles;
    DeviceState state;
};
struct DrawLineList {
    std::vector<ColoredVertex> vertices;
    DeviceState state;
};
struct DrawPointList {
    std::vector<ColoredVertex> vertices;
    DeviceState state;
};
struct DrawText {
    std::string text;
    Rect rect;
    Color color;
    int height; // what the call returned
};

} // namespace gfx::call

namespace gfx {

using RecordedCall =
    std::variant<call::SetTarget, call::Clear, call::BeginScene, call::EndScene, call::Present, call::Reset,
                 call::SetTransform, call::SetViewport, call::SetRenderState, call::SetCullMode,
                 call::SetFillMode, call::SetShadeMode, call::SetBlendFunc, call::SetAmbient,
                 call::SetDiffuseMaterialSource, call::SetPointParameter, call::SetTextureStage,
                 call::SetSamplerFilter, call::SetMaterial, call::SetLight, call::LightEnable,
                 call::SetTexture, call::LoadTexture, call::UploadMesh, call::DrawSubset, call::DrawLineList,
                 call::DrawPointList, call::DrawText>;

} // namespace gfx
