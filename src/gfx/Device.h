// The fixed-function graphics device every drawing layer talks to. Backends: OpenGL (gfx/gl) for
// windows and off-screen pictures, and RecordingDevice for tests.
//
// State lives in the device and stays until changed, a reset, or the device's end. A reset
// (either kind) brings every state back to the creation defaults of DeviceState: transforms,
// render states, lights, material and the texture binding. Textures and uploaded meshes survive
// it, so only the state has to be set again afterwards.
#pragma once

#include "gfx/DeviceState.h"
#include "gfx/Image.h"
#include "gfx/Material.h"
#include "gfx/MeshBuffer.h"
#include "gfx/Texture.h"
#include "math/Matrix.h"
#include "math/Vector.h"
#include "math/Viewport.h"

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace gfx {

// Where the device's frames go: the main window's render view, or the object dialog's preview.
enum class Target { Main, Preview };

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Pixel rectangle on the current target, right and bottom exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// One vertex of a line or point list: position and 32-bit ARGB colour.
struct ColoredVertex {
    math::Vec3 position;
    std::uint32_t color = 0xFFFFFFFF;
};

struct Caps {
    float maxPointSize = 1.0f;
    // Our backends take point size from the device state only, never per vertex.
    bool perVertexPointSize = false;
    int maxTextureSize = 0;
};

struct DeviceOptions {
    // Present in step with the display ("同期" at start-up); otherwise present immediately.
    bool verticalSync = true;
};

// Swap intervals: 1 waits for the display, 0 presents immediately.
inline constexpr int kSyncedInterval = 1;
inline constexpr int kImmediateInterval = 0;

// A device, or why none could be made. There is never a half-made device.
template <class D> struct Created {
    std::unique_ptr<D> device;
    std::string error;

    Created() = default;
    Created(std::unique_ptr<D> made, std::string why) : device(std::move(made)), error(std::move(why)) {}
    // A backend's result passes as the interface's (Created<GlDevice> to Created<Device>).
    template <class Other>
    requires std::convertible_to<Other*, D*> Created(Created<Other>&& other)
        : device(std::move(other.device)), error(std::move(other.error))
    {
    }

    bool ok() const { return device != nullptr; }
    explicit operator bool() const { return ok(); }
};

class Device {
  public:
    Device();
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Distinguishes devices, so that a texture or mesh buffer of one is never used by another.
    std::uint64_t Id() const { return id_; }

    virtual Caps GetCaps() const = 0;
    virtual const DeviceState& State() const = 0;
    virtual int SwapInterval() const = 0;

    // --- targets and frames
    // Sends the following calls to the given target and sets the viewport to all of it.
    // False (nothing changes) when that target does not exist.
    virtual bool SetTarget(Target target) = 0;
    virtual Target CurrentTarget() const = 0;
    // Size of a target; 0 × 0 when it does not exist.
    virtual Size TargetSize(Target target) const = 0;
    // Clears colour and depth inside the viewport.
    virtual bool Clear(Color color, float depth) = 0;
    virtual bool BeginScene() = 0;
    virtual bool EndScene() = 0;
    // Shows the current target's frame (swaps a window's buffers).
    virtual bool Present() = 0;
    // Reset after a resize of the main window: the main target takes the new size and frames are
    // presented with the default (synchronised) interval from now on.
    virtual bool Reset(int width, int height) = 0;
    // Reset after a failed presentation, with the parameters the device was created with,
    // its swap interval included.
    virtual bool ResetWithCreationParameters() = 0;
    // The current target's pixels; nothing when the backend has none.
    virtual std::optional<Image> ReadPixels() = 0;
    // Waits until everything asked of the device so far is done (a software rasteriser has
    // finished the frame), for timing what a frame really costs. False when the backend has
    // nothing to wait for.
    virtual bool Finish() { return false; }

    // --- state
    virtual void SetTransform(TransformKind kind, const math::Matrix& m) = 0;
    // False (and unchanged) when the rectangle does not fit the current target.
    virtual bool SetViewport(const math::Viewport& viewport) = 0;
    virtual void SetRenderState(RenderState state, bool on) = 0;
    virtual void SetCullMode(CullMode mode) = 0;
    virtual void SetFillMode(FillMode mode) = 0;
    virtual void SetShadeMode(ShadeMode mode) = 0;
    virtual void SetBlendFunc(Blend src, Blend dest) = 0;
    virtual void SetAmbient(Color ambient) = 0;
    virtual void SetDiffuseMaterialSource(MaterialSource source) = 0;
    virtual void SetPointParameter(PointParameter parameter, float value) = 0;
    virtual void SetTextureStage(StageOp colorOp, StageOp alphaOp) = 0;
    virtual void SetSamplerFilter(Sampler sampler, Filter filter) = 0;
    virtual void SetMaterial(const Material& material) = 0;
    // index 0 to kMaxLights - 1; others are ignored.
    virtual void SetLight(int index, const Light& light) = 0;
    virtual void LightEnable(int index, bool on) = 0;
    // Stage 0 only; none (or another device's texture) unbinds.
    virtual void SetTexture(TextureHandle texture) = 0;

    // --- resources
    // The picture file at path as a texture. The same file is loaded once per device while any
    // handle to it lives. A missing or unreadable file gives none, silently.
    virtual TextureHandle LoadTexture(const std::string& path) = 0;
    // Copies the mesh to the device once; none when the data is inconsistent.
    virtual std::shared_ptr<MeshBuffer> UploadMesh(const MeshData& data) = 0;

    // --- drawing
    // The triangles of one subset; nothing for a subset the mesh lacks or another device's buffer.
    virtual void DrawSubset(const MeshBuffer& mesh, std::uint32_t subset) = 0;
    // Pairs of vertices; an odd last vertex is ignored.
    virtual void DrawLineList(std::span<const ColoredVertex> vertices) = 0;
    virtual void DrawPointList(std::span<const ColoredVertex> vertices) = 0;
    // Draws UTF-8 text with the 16-pixel font, top-left aligned in rect, '\n' starting a new
    // line, no wrapping, clipped at the right and bottom edges. Returns the height drawn
    // (lines × 16), 0 for empty text or when no font is available.
    virtual int DrawText(std::string_view text, const Rect& rect, Color color) = 0;

  private:
    std::uint64_t id_;
};

} // namespace gfx
