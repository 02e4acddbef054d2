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

void RecordingDevice::Record(RecordedCall call)
{
    ++totals_[call.index()];
    if (options_.keep == Keep::NoCalls) return;
    if (options_.keep == Keep::LastFrame && frameEnded_) {
        calls_.clear(); // keeps its capacity: a frame like the last costs no allocation
        frameEnded_ = false;
    }
    frameEnded_ = std::holds_alternative<call::Present>(call);
    calls_.push_back(std::move(call));
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
    Record(call::SetTarget{target, ok});
    if (!ok) return false;
    target_ = target;
    state_.viewport = FullViewport();
    return true;
}

bool RecordingDevice::Clear(Color color, float depth)
{
    Record(call::Clear{color, depth});
    return true;
}

bool RecordingDevice::BeginScene()
{
    Record(call::BeginScene{});
    if (inScene_) return false;
    inScene_ = true;
    return true;
}

bool RecordingDevice::EndScene()
{
    Record(call::EndScene{});
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
    Record(call::Present{target_, ok});
    return ok;
}

bool RecordingDevice::Reset(int width, int height)
{
    const bool ok = width > 0 && height > 0;
    Record(call::Reset{true, width, height, ok});
    if (!ok) return false;
    main_ = {width, height};
    swapInterval_ = kSyncedInterval; // fresh parameters: the default interval
    ResetState();
    return true;
}

bool RecordingDevice::ResetWithCreationParameters()
{
    Record(call::Reset{false, main_.width, main_.height, true});
    swapInterval_ = options_.device.verticalSync ? kSyncedInterval : kImmediateInterval;
    ResetState();
    return true;
}

void RecordingDevice::SetTransform(TransformKind kind, const math::Matrix& m)
{
    Record(call::SetTransform{kind, m});
    state_.transforms[static_cast<int>(kind)] = m;
}

bool RecordingDevice::SetViewport(const math::Viewport& vp)
{
    const Size size = TargetSize(target_);
    const bool ok = vp.x >= 0 && vp.y >= 0 && vp.width > 0 && vp.height > 0 &&
                    vp.x + vp.width <= size.width && vp.y + vp.height <= size.height;
    Record(call::SetViewport{vp, ok});
    if (ok) state_.viewport = vp;
    return ok;
}

void RecordingDevice::SetRenderState(RenderState s, bool on)
{
    Record(call::SetRenderState{s, on});
    state_.Set(s, on);
}

void RecordingDevice::SetCullMode(CullMode mode)
{
    Record(call::SetCullMode{mode});
    state_.cull = mode;
}

void RecordingDevice::SetFillMode(FillMode mode)
{
    Record(call::SetFillMode{mode});
    state_.fill = mode;
}

void RecordingDevice::SetShadeMode(ShadeMode mode)
{
    Record(call::SetShadeMode{mode});
    state_.shade = mode;
}

void RecordingDevice::SetBlendFunc(Blend src, Blend dest)
{
    Record(call::SetBlendFunc{src, dest});
    state_.srcBlend = src;
    state_.destBlend = dest;
}

void RecordingDevice::SetAmbient(Color ambient)
{
    Record(call::SetAmbient{ambient});
    state_.ambient = ambient;
}

void RecordingDevice::SetDiffuseMaterialSource(MaterialSource source)
{
    Record(call::SetDiffuseMaterialSource{source});
    state_.diffuseSource = source;
}

void RecordingDevice::SetPointParameter(PointParameter parameter, float value)
{
    Record(call::SetPointParameter{parameter, value});
    state_.Set(parameter, value);
}

void RecordingDevice::SetTextureStage(StageOp colorOp, StageOp alphaOp)
{
    Record(call::SetTextureStage{colorOp, alphaOp});
    state_.colorOp = colorOp;
    state_.alphaOp = alphaOp;
}

void RecordingDevice::SetSamplerFilter(Sampler sampler, Filter filter)
{
    Record(call::SetSamplerFilter{sampler, filter});
    state_.Set(sampler, filter);
}

void RecordingDevice::SetMaterial(const Material& material)
{
    Record(call::SetMaterial{material});
    state_.material = material;
}

void RecordingDevice::SetLight(int index, const Light& light)
{
    Record(call::SetLight{index, light});
    if (index >= 0 && index < kMaxLights) state_.lights[static_cast<std::size_t>(index)] = light;
}

void RecordingDevice::LightEnable(int index, bool on)
{
    Record(call::LightEnable{index, on});
    if (index >= 0 && index < kMaxLights) state_.lightEnabled[static_cast<std::size_t>(index)] = on;
}

void RecordingDevice::SetTexture(TextureHandle texture)
{
    if (texture && texture->DeviceId() != Id()) texture = nullptr;
    Record(call::SetTexture{texture});
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
    Record(call::LoadTexture{path, result});
    return result;
}

std::shared_ptr<MeshBuffer> RecordingDevice::UploadMesh(const MeshData& data)
{
    auto sorted = SortBySubset(data);
    std::shared_ptr<MeshBuffer> buffer;
    if (sorted)
        buffer = std::make_shared<RecordingMeshBuffer>(Id(), SignatureOf(data), std::move(sorted->ranges));
    Record(call::UploadMesh{buffer.get()});
    return buffer;
}

void RecordingDevice::DrawSubset(const MeshBuffer& mesh, std::uint32_t subset)
{
    const std::size_t triangles = mesh.DeviceId() == Id() ? mesh.Range(subset).count / 3 : 0;
    Record(call::DrawSubset{&mesh, subset, triangles, state_});
}

void RecordingDevice::DrawLineList(std::span<const ColoredVertex> vertices)
{
    Record(call::DrawLineList{{vertices.begin(), vertices.end()}, state_});
}

void RecordingDevice::DrawPointList(std::span<const ColoredVertex> vertices)
{
    Record(call::DrawPointList{{vertices.begin(), vertices.end()}, state_});
}

int RecordingDevice::DrawText(std::string_view text, const Rect& rect, Color color)
{
    Record(call::DrawText{std::string(text), rect, color});
    if (text.empty()) return 0;
    const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return lines * 16;
}

} // namespace gfx
