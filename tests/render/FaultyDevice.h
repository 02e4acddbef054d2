// A recording device whose clears, scene begins and resets can be made to fail, for the failure
// paths of a frame. Every call is passed on to (and recorded by) a RecordingDevice.
#pragma once

#include "gfx/RecordingDevice.h"

#include <memory>

namespace testing_render {

class FaultyDevice final : public gfx::Device {
  public:
    explicit FaultyDevice(gfx::RecordingDevice::Options options = {})
        : inner_(std::move(gfx::RecordingDevice::Create(options).device))
    {
    }

    gfx::RecordingDevice& Recorder() { return *inner_; }

    bool failClear = false;
    bool failBegin = false;
    bool failReset = false;

    gfx::Caps GetCaps() const override { return inner_->GetCaps(); }
    const gfx::DeviceState& State() const override { return inner_->State(); }
    int SwapInterval() const override { return inner_->SwapInterval(); }
    bool SetTarget(gfx::Target t) override { return inner_->SetTarget(t); }
    gfx::Target CurrentTarget() const override { return inner_->CurrentTarget(); }
    gfx::Size TargetSize(gfx::Target t) const override { return inner_->TargetSize(t); }
    bool Clear(gfx::Color c, float depth) override { return inner_->Clear(c, depth) && !failClear; }
    bool BeginScene() override
    {
        if (failBegin) return false;
        return inner_->BeginScene();
    }
    bool EndScene() override { return inner_->EndScene(); }
    bool Present() override { return inner_->Present(); }
    bool Reset(int w, int h) override { return !failReset && inner_->Reset(w, h); }
    bool ResetWithCreationParameters() override
    {
        return !failReset && inner_->ResetWithCreationParameters();
    }
    std::optional<gfx::Image> ReadPixels() override { return inner_->ReadPixels(); }
    void SetTransform(gfx::TransformKind k, const math::Matrix& m) override { inner_->SetTransform(k, m); }
    bool SetViewport(const math::Viewport& v) override { return inner_->SetViewport(v); }
    void SetRenderState(gfx::RenderState s, bool on) override { inner_->SetRenderState(s, on); }
    void SetCullMode(gfx::CullMode m) override { inner_->SetCullMode(m); }
    void SetFillMode(gfx::FillMode m) override { inner_->SetFillMode(m); }
    void SetShadeMode(gfx::ShadeMode m) override { inner_->SetShadeMode(m); }
    void SetBlendFunc(gfx::Blend s, gfx::Blend d) override { inner_->SetBlendFunc(s, d); }
    void SetAmbient(gfx::Color c) override { inner_->SetAmbient(c); }
    void SetDiffuseMaterialSource(gfx::MaterialSource s) override { inner_->SetDiffuseMaterialSource(s); }
    void SetPointParameter(gfx::PointParameter p, float v) override { inner_->SetPointParameter(p, v); }
    void SetTextureStage(gfx::StageOp c, gfx::StageOp a) override { inner_->SetTextureStage(c, a); }
    void SetSamplerFilter(gfx::Sampler s, gfx::Filter f) override { inner_->SetSamplerFilter(s, f); }
    void SetMaterial(const gfx::Material& m) override { inner_->SetMaterial(m); }
    void SetLight(int i, const gfx::Light& l) override { inner_->SetLight(i, l); }
    void LightEnable(int i, bool on) override { inner_->LightEnable(i, on); }
    void SetTexture(gfx::TextureHandle t) override { inner_->SetTexture(std::move(t)); }
    gfx::TextureHandle LoadTexture(const std::string& path) override { return inner_->LoadTexture(path); }
    std::shared_ptr<gfx::MeshBuffer> UploadMesh(const gfx::MeshData& data) override
    {
        return inner_->UploadMesh(data);
    }
    void DrawSubset(const gfx::MeshBuffer& mesh, std::uint32_t subset) override
    {
        inner_->DrawSubset(mesh, subset);
    }
    void DrawLineList(std::span<const gfx::ColoredVertex> v) override { inner_->DrawLineList(v); }
    void DrawPointList(std::span<const gfx::ColoredVertex> v) override { inner_->DrawPointList(v); }
    int DrawText(std::string_view text, const gfx::Rect& rect, gfx::Color color) override
    {
        return inner_->DrawText(text, rect, color);
    }

  private:
    std::unique_ptr<gfx::RecordingDevice> inner_;
};

} // namespace testing_render
