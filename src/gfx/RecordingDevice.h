// A device that draws nothing and stores every call in order, with the state it leaves behind.
// Tests use it to check what a frame draws without a GPU.
#pragma once

#include "gfx/Device.h"
#include "gfx/RecordedCall.h"

#include <map>
#include <optional>
#include <vector>

namespace gfx {

class RecordingDevice final : public Device {
  public:
    struct Options {
        DeviceOptions device;
        Size main{640, 480};
        std::optional<Size> preview = Size{256, 256};
        bool failCreation = false;
        float maxPointSize = 64.0f;
    };

    static Created<RecordingDevice> Create(const Options& options);
    static Created<RecordingDevice> Create() { return Create(Options{}); }

    // The next n presentations fail, as after a lost device.
    void FailPresents(int n) { failPresents_ = n; }
    // Texture loads fail from now on, as for unreadable files.
    void FailTextureLoads(bool fail) { failTextures_ = fail; }

    const std::vector<RecordedCall>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // The calls of one kind, in order.
    template <class T> std::vector<T> CallsOf() const
    {
        std::vector<T> out;
        for (const RecordedCall& c : calls_)
            if (const T* t = std::get_if<T>(&c)) out.push_back(*t);
        return out;
    }
    template <class T> std::size_t Count() const
    {
        std::size_t n = 0;
        for (const RecordedCall& c : calls_)
            n += std::holds_alternative<T>(c) ? 1 : 0;
        return n;
    }
    bool InScene() const { return inScene_; }

    Caps GetCaps() const override;
    const DeviceState& State() const override { return state_; }
    int SwapInterval() const override { return swapInterval_; }

    bool SetTarget(Target target) override;
    Target CurrentTarget() const override { return target_; }
    Size TargetSize(Target target) const override;
    bool Clear(Color color, float depth) override;
    bool BeginScene() override;
    bool EndScene() override;
    bool Present() override;
    bool Reset(int width, int height) override;
    bool ResetWithCreationParameters() override;
    std::optional<Image> ReadPixels() override { return std::nullopt; }

    void SetTransform(TransformKind kind, const math::Matrix& m) override;
    bool SetViewport(const math::Viewport& viewport) override;
    void SetRenderState(RenderState state, bool on) override;
    void SetCullMode(CullMode mode) override;
    void SetFillMode(FillMode mode) override;
    void SetShadeMode(ShadeMode mode) override;
    void SetBlendFunc(Blend src, Blend dest) override;
    void SetAmbient(Color ambient) override;
    void SetDiffuseMaterialSource(MaterialSource source) override;
    void SetPointParameter(PointParameter parameter, float value) override;
    void SetTextureStage(StageOp colorOp, StageOp alphaOp) override;
    void SetSamplerFilter(Sampler sampler, Filter filter) override;
    void SetMaterial(const Material& material) override;
    void SetLight(int index, const Light& light) override;
    void LightEnable(int index, bool on) override;
    void SetTexture(TextureHandle texture) override;

    // Any existing, non-empty regular file counts as a readable picture; nothing is decoded.
    TextureHandle LoadTexture(const std::string& path) override;
    std::shared_ptr<MeshBuffer> UploadMesh(const MeshData& data) override;

    void DrawSubset(const MeshBuffer& mesh, std::uint32_t subset) override;
    void DrawLineList(std::span<const ColoredVertex> vertices) override;
    void DrawPointList(std::span<const ColoredVertex> vertices) override;
    int DrawText(std::string_view text, const Rect& rect, Color color) override;

  private:
    explicit RecordingDevice(const Options& options);
    void ResetState();
    math::Viewport FullViewport() const;

    Options options_;
    DeviceState state_;
    std::vector<RecordedCall> calls_;
    Target target_ = Target::Main;
    Size main_;
    int swapInterval_;
    int failPresents_ = 0;
    bool failTextures_ = false;
    bool inScene_ = false;
    std::map<std::string, std::weak_ptr<const Texture>> textures_;
};

} // namespace gfx
