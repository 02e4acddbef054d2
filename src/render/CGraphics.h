// The graphics device of the program and the two kinds of frame drawn with it: the main frame
// in the render view and the object preview in the object dialog. The device is made by a
// factory the caller passes in (OpenGL in the program, the recording device in tests and
// headless runs), so this layer never sees a graphics API. Until a device exists, and when it
// could not be made, every operation here does nothing.
#pragma once

#include "gfx/Device.h"
#include "platform/Result.h"
#include "render/CFrameRate.h"
#include "render/FrameText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace camera {
class CCamera;
}
namespace ui {
class DialogModel;
}

namespace render {

class FrameScene;

// Makes the device for the main window's render view with the given options.
using DeviceFactory = std::function<gfx::Created<gfx::Device>(const gfx::DeviceOptions& options)>;

// Runs after every device reset, once the states are applied again (the key labels reload here).
using ResetHook = std::function<void(gfx::Device& device)>;

// Everything a main frame reads besides the device.
struct MainFrameContext {
    ui::DialogModel& setUp;
    // Its eye and matrices, as this pass's camera rig left them.
    const camera::CCamera& camera;
    FrameScene& scene;
    // Passes the loop has run so far, for their rate beside the frame rate (nothing: none shown).
    std::optional<std::int64_t> passes{};
    // A line below the others while there is something to say, e.g. "一時停止".
    std::string_view stateText{};
};

class CGraphics {
  public:
    // clock: milliseconds for the frame rate; defaults to platform::TimeMilliseconds.
    explicit CGraphics(CFrameRate::Clock clock = {});
    ~CGraphics();
    CGraphics(const CGraphics&) = delete;
    CGraphics& operator=(const CGraphics&) = delete;

    // Makes the device, presenting in step with the display when "同期" (1082) is checked. On
    // failure there is no device and the reason comes back; the caller tells the user. States
    // and lights are not applied here (start-up does that with ApplyDeviceState).
    platform::Status Create(const DeviceFactory& factory, const ui::DialogModel& setUp);
    // The device, or null.
    gfx::Device* Device() const { return device_.get(); }
    bool HasDevice() const { return device_ != nullptr; }
    // Drops the device.
    void ReleaseAll();

    // Texture filtering, the fixed render states and the lights, in that order, as after a reset.
    void ApplyDeviceState(const ui::DialogModel& setUp);

    // Actions run after each reset (key labels). They are kept for the life of this object.
    void AddResetHook(ResetHook hook);

    // After a resize of the main window: the main target takes the new size (at least 1 × 1)
    // and frames are presented with the default (synchronised) interval from now on; the
    // viewport, filtering, states, lights and the reset hooks are applied again. False when
    // there is no device or the reset or the viewport failed (then nothing more is applied).
    bool ResetAfterResize(int width, int height, const ui::DialogModel& setUp);
    // After a failed presentation: reset with the creation parameters (swap interval included)
    // and apply everything again as after a resize. Returns the reset's result.
    bool ResetAfterFailedPresent(const ui::DialogModel& setUp);

    // One main frame, which reads the state and changes none: clear, the camera's matrices,
    // background (first at "背景" 100), trains, placed objects
    // pass 0, aeroplane, helicopter, road car, placed objects pass 1, background (last below
    // 100), unlit lines and key labels, text lines, present. A failed clear returns at once; a
    // failed scene begin skips the drawing but still presents; a failed presentation resets the
    // device with its creation parameters. Returns false on any of these failures or without
    // a device.
    bool RenderMainFrame(const MainFrameContext& context);

    // The object dialog's preview: clear to the background colour, the preview camera and the
    // selected type (only the background when none is selected), present to the preview target.
    // Does nothing without a device or a preview target.
    void RenderPreview(camera::CCamera& camera, const ui::DialogModel& setUp, FrameScene& scene);

    // Row r of the text overlay: the text in grey one pixel right and down, then in white,
    // clipped at x = right.
    void DrawTextLine(std::string_view text, int row, int right = kTextRight);

    CFrameRate& FrameRate() { return frameRate_; }

  private:
    void ApplyAfterReset(const ui::DialogModel& setUp);

    std::unique_ptr<gfx::Device> device_;
    CFrameRate frameRate_;
    std::vector<ResetHook> resetHooks_;
};

} // namespace render
