// The graphics device over legacy OpenGL (2.1 fixed function in a compatibility context), drawing
// into a window or off screen through GlSurface. The notes at the top of the .cpp give the mapping.
// ReadPixels reads the back buffer: call it before Present on a window surface.
#pragma once

#include "gfx/Device.h"
#include "gfx/gl/GlContext.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gfx::gl {

class GlFont;
class GlTexture;

class GlDevice final : public Device {
  public:
    // A device drawing into main with context. Fails, with the reason, when the context cannot be
    // made current or offers less than OpenGL 2.1.
    static Created<GlDevice> Create(std::shared_ptr<GlContext> context, std::unique_ptr<GlSurface> main,
                                    const DeviceOptions& options);
    // A device with its own display-less context drawing into a width × height framebuffer.
    static Created<GlDevice> CreateOffscreen(int width, int height, const DeviceOptions& options);
    ~GlDevice() override;

    // The object dialog's preview: a window surface from the front end, or one off screen.
    void AttachPreview(std::unique_ptr<GlSurface> surface);
    bool CreateOffscreenPreview(int width, int height);
    const std::shared_ptr<GlContext>& Context() const { return context_; }
    // Empty when the text font loaded; otherwise why text is not drawn.
    const std::string& FontError() const { return fontError_; }
    std::string Renderer() const { return renderer_; }

    Caps GetCaps() const override { return caps_; }
    const DeviceState& State() const override { return state_; }
    int SwapInterval() const override { return swapInterval_; }

    bool SetTarget(Target target) override;
    Target CurrentTarget() const override { return target_; }
    Size TargetSize(Target target) const override;
    bool Clear(Color color, float depth) override;
    bool BeginScene() override;
    bool EndScene() override;
    bool Present() override;
    bool Finish() override;
    bool Reset(int width, int height) override;
    bool ResetWithCreationParameters() override;
    std::optional<Image> ReadPixels() override;

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

    TextureHandle LoadTexture(const std::string& path) override;
    std::shared_ptr<MeshBuffer> UploadMesh(const MeshData& data) override;

    void DrawSubset(const MeshBuffer& mesh, std::uint32_t subset) override;
    void DrawLineList(std::span<const ColoredVertex> vertices) override;
    void DrawPointList(std::span<const ColoredVertex> vertices) override;
    int DrawText(std::string_view text, const Rect& rect, Color color) override;

  private:
    GlDevice(std::shared_ptr<GlContext> context, std::unique_ptr<GlSurface> main,
             const DeviceOptions& options);

    GlSurface* Surface(Target target) const;
    bool EnsureCurrent();
    void ResetState(int interval);
    void ApplyAll();
    void ApplyFlag(RenderState state);
    void ApplyCull();
    void ApplyViewport();
    void ApplyProjection();
    void ApplyTextureStage();
    void BindTexture();
    void ApplyMaterial();
    void ApplyLights();
    void PrepareDraw(bool hasNormals, bool hasColors);
    // Leaves the mesh whose arrays are bound, before anything else points the arrays elsewhere,
    // changes the buffer bindings or the frame ends.
    void ReleaseMesh();
    void DrawVertices(std::span<const ColoredVertex> vertices, unsigned mode);

    std::shared_ptr<GlContext> context_;
    std::unique_ptr<GlSurface> main_;
    std::unique_ptr<GlSurface> preview_;
    DeviceOptions options_;
    DeviceState state_;
    Target target_ = Target::Main;
    int swapInterval_ = kSyncedInterval;
    Caps caps_;
    bool provokingFirst_ = false;
    bool inScene_ = false;
    bool currentInScene_ = false; // the context was found current since the scene began
    bool lightsDirty_ = true;
    bool modelviewDirty_ = true;
    bool materialDirty_ = true;
    // The mesh buffer whose arrays are bound (its serial; 0 none), so that the subsets of one
    // mesh drawn one after another bind it once.
    std::uint64_t boundMesh_ = 0;
    // The texture stage holds state_.texture with its filters; false after anything else bound
    // a texture (the font's pages).
    bool textureBound_ = false;
    std::unique_ptr<GlFont> font_;
    std::string fontError_;
    std::string renderer_;
    std::map<std::string, std::weak_ptr<const Texture>> textures_;
    // Line and point vertices as GL takes them, kept between calls.
    struct LineVertex {
        float x, y, z;
        std::uint8_t rgba[4];
    };
    std::vector<LineVertex> lineVertices_;
};

} // namespace gfx::gl
