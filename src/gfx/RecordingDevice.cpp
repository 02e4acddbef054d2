#include "gfx/RecordingDevice.h"

#include <algorithm>
#include <filesystem>

namespace gfx {

namespace {

class RecordingTexture final : public Texture {
  public:
    using Texture::Texture;
};

class RecordingMeshBuffer final : public MeshBuffer {
  public:
    using MeshBuffer::MeshBuffer;
};

} // namespace

Created<RecordingDevice> RecordingDevice::Create(const Options& options)
{
    if (options.failCreation)
        return {nullptr, "the 3D device could not be created (recording device set to fail)"};
    if (options.main.width <= 0 || options.main.height <= 0) return {nullptr, "the render view has no size"};
    return {std::unique_ptr<RecordingDevice>(new RecordingDevice(options)), {}};
}

RecordingDevice::RecordingDevice(const Options& options)
    : options_(options), main_(options.main),
      swapInterval_(options.device.verticalSync ? kSyncedInterval : kImmediateInterval)
{
    ResetState();
}

void RecordingDevice::ResetState()
{
    state_ = DeviceState{};
    target_ = Target::Main;
    state_.viewport = FullViewport();
    inScene_ = false;
}

math::Viewport RecordingDevice::FullViewport() const
{
    const Size size = TargetSize(target_);
    math::Viewport vp;
    vp.width = size.width;
    vp.height = size.height;
    return vp;
}

Caps RecordingDevice::GetCaps() const
{
    Caps caps;
    caps.maxPointSize = options_.maxPointSize;
    caps.perVertexPointSize = false;
    caps.maxTextureSize = 8192;
    return caps;
}

Size RecordingDevice::TargetSize(Target target) const
{
    if (target == Target::Main) return main_;
    return options_.preview.value_or(Size{});
}

bool RecordingDevice::SetTarget(Target target)
{
    const Size size = TargetSize(target);
    const bool ok = size.width > 0 && size.height > 0;
    calls_.push_back(call::SetTarget{target, ok});
    if (!ok) return false;
    target_ = target;
    state_.viewport = FullViewport();
    return true;
}

bool RecordingDevice::Clear(Color color, float depth)
{
    calls_.push_back(call::Clear{color, depth});
    return true;
}

bool RecordingDevice::BeginScene()
{
    calls_.push_back(call::BeginScene{});
    if (inScene_) return false;
    inScene_ = true;
    return true;
}

bool RecordingDevice::EndScene()
{
    calls_.push_back(call::EndScene{});
    if (!inScene_) return false;
    inScene_ = false;
    return true;
}

bool RecordingDevice::Present()
{
    bool ok = true;
    if (failPresents_ > 0) {
        --failPresents_;
        ok = false;
    }
    calls_.push_back(call::Present{target_, ok});
    return ok;
}

bool RecordingDevice::Reset(int width, int height)
{
    const bool ok = width > 0 && height > 0;
    calls_.push_back(call::Reset{true, width, height, ok});
    if (!ok) return false;
    main_ = {width, height};
    swapInterval_ = kSyncedInterval; // fresh parameters: the default interval
    ResetState();
    return true;
}

bool RecordingDevice::ResetWithCreationParameters()
{
    calls_.push_back(call::Reset{false, main_.width, main_.height, true});
    swapInterval_ = options_.device.verticalSync ? kSyncedInterval : kImmediateInterval;
    ResetState();
    return true;
}

void RecordingDevice::SetTransform(TransformKind kind, const math::Matrix& m)
{
    calls_.push_back(call::SetTransform{kind, m});
    state_.transforms[static_cast<int>(kind)] = m;
}

bool RecordingDevice::SetViewport(const math::Viewport& vp)
{
    const Size size = TargetSize(target_);
    const bool ok = vp.x >= 0 && vp.y >= 0 && vp.width > 0 && vp.height > 0 &&
                    vp.x + vp.width <= size.width && vp.y + vp.height <= size.height;
    calls_.push_back(call::SetViewport{vp, ok});
    if (ok) state_.viewport = vp;
    return ok;
}

void RecordingDevice::SetRenderState(RenderState s, bool on)
{
    calls_.push_back(call::SetRenderState{s, on});
    state_.Set(s, on);
}

void RecordingDevice::SetCullMode(CullMode mode)
{
    calls_.push_back(call::SetCullMode{mode});
    state_.cull = mode;
}

void RecordingDevice::SetFillMode(FillMode mode)
{
    calls_.push_back(call::SetFillMode{mode});
    state_.fill = mode;
}

void RecordingDevice::SetShadeMode(ShadeMode mode)
{
    calls_.push_back(call::SetShadeMode{mode});
    state_.shade = mode;
}

void RecordingDevice::SetBlendFunc(Blend src, Blend dest)
{
    calls_.push_back(call::SetBlendFunc{src, dest});
    state_.srcBlend = src;
    state_.destBlend = dest;
}

void RecordingDevice::SetAmbient(Color ambient)
{
    calls_.push_back(call::SetAmbient{ambient});
    state_.ambient = ambient;
}

void RecordingDevice::SetDiffuseMaterialSource(MaterialSource source)
{
    calls_.push_back(call::SetDiffuseMaterialSource{source});
    state_.diffuseSource = source;
}

void RecordingDevice::SetPointParameter(PointParameter parameter, float value)
{
    calls_.push_back(call::SetPointParameter{parameter, value});
    state_.Set(parameter, value);
}

void RecordingDevice::SetTextureStage(StageOp colorOp, StageOp alphaOp)
{
    calls_.push_back(call::SetTextureStage{colorOp, alphaOp});
    state_.colorOp = colorOp;
    state_.alphaOp = alphaOp;
}

void RecordingDevice::SetSamplerFilter(Sampler sampler, Filter filter)
{
    calls_.push_back(call::SetSamplerFilter{sampler, filter});
    state_.Set(sampler, filter);
}

void RecordingDevice::SetMaterial(const Material& material)
{
    calls_.push_back(call::SetMaterial{material});
    state_.material = material;
}

void RecordingDevice::SetLight(int index, const Light& light)
{
    calls_.push_back(call::SetLight{index, light});
    if (index >= 0 && index < kMaxLights) state_.lights[static_cast<std::size_t>(index)] = light;
}

void RecordingDevice::LightEnable(int index, bool on)
{
    calls_.push_back(call::LightEnable{index, on});
    if (index >= 0 && index < kMaxLights) state_.lightEnabled[static_cast<std::size_t>(index)] = on;
}

void RecordingDevice::SetTexture(TextureHandle texture)
{
    if (texture && texture->DeviceId() != Id()) texture = nullptr;
    calls_.push_back(call::SetTexture{texture});
    state_.texture = std::move(texture);
}

TextureHandle RecordingDevice::LoadTexture(const std::string& path)
{
    TextureHandle result;
    const auto key = TextureFileKey(path);
    std::error_code ec;
    if (!failTextures_ && key && std::filesystem::file_size(path, ec) > 0 && !ec) {
        auto& slot = textures_[*key];
        result = slot.lock();
        if (!result) {
            result = std::make_shared<RecordingTexture>(Id(), path, 1, 1);
            slot = result;
        }
    }
    calls_.push_back(call::LoadTexture{path, result});
    return result;
}

std::shared_ptr<MeshBuffer> RecordingDevice::UploadMesh(const MeshData& data)
{
    auto sorted = SortBySubset(data);
    std::shared_ptr<MeshBuffer> buffer;
    if (sorted)
        buffer = std::make_shared<RecordingMeshBuffer>(Id(), SignatureOf(data), std::move(sorted->ranges));
    calls_.push_back(call::UploadMesh{buffer.get()});
    return buffer;
}

void RecordingDevice::DrawSubset(const MeshBuffer& mesh, std::uint32_t subset)
{
    const std::size_t triangles = mesh.DeviceId() == Id() ? mesh.Range(subset).count / 3 : 0;
    calls_.push_back(call::DrawSubset{&mesh, subset, triangles, state_});
}

void RecordingDevice::DrawLineList(std::span<const ColoredVertex> vertices)
{
    calls_.push_back(call::DrawLineList{{vertices.begin(), vertices.end()}, state_});
}

void RecordingDevice::DrawPointList(std::span<const ColoredVertex> vertices)
{
    calls_.push_back(call::DrawPointList{{vertices.begin(), vertices.end()}, state_});
}

int RecordingDevice::DrawText(std::string_view text, const Rect& rect, Color color)
{
    // Lines go down 16 pixels each; as with the real font, the line that crosses the bottom edge
    // is the last one drawn, and only drawn lines count in the height.
    constexpr int kLineHeight = 16;
    int lines = 0;
    if (!text.empty()) {
        const int span = rect.bottom - rect.top;
        const int reach = span < 0 ? 1 : span / kLineHeight + 1;
        lines = std::min(reach, 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')));
    }
    calls_.push_back(call::DrawText{std::string(text), rect, color, lines * kLineHeight});
    return lines * kLineHeight;
}

} // namespace gfx
