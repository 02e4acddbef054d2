#include "render/CGraphics.h"

#include "camera/CCamera.h"
#include "render/CLighting.h"
#include "render/CRenderStates.h"
#include "render/CameraTransforms.h"
#include "render/FrameScene.h"
#include "render/FrameText.h"
#include "platform/Translation.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"

#include <algorithm>
#include <string>
#include <utility>

namespace render {

namespace su = ui::setup;

CGraphics::CGraphics(CFrameRate::Clock clock) : frameRate_(std::move(clock)) {}

CGraphics::~CGraphics() = default;

platform::Status CGraphics::Create(const DeviceFactory& factory, const ui::DialogModel& setUp)
{
    device_.reset();
    if (!factory) return platform::Fail("no way to make a 3D device");
    gfx::DeviceOptions options;
    // Read once here; changing the box later takes effect at the next start.
    options.verticalSync = setUp.IsChecked(su::kSync);
    gfx::Created<gfx::Device> created = factory(options);
    if (!created.device)
        return platform::Fail(created.error.empty() ? "the 3D device could not be made" : created.error);
    device_ = std::move(created.device);
    return platform::Ok{};
}

void CGraphics::ReleaseAll()
{
    device_.reset();
}

void CGraphics::ApplyDeviceState(const ui::DialogModel& setUp)
{
    if (!device_) return;
    const CRenderStates states;
    states.ApplyTextureFiltering(device_.get());
    states.ApplyFixedStates(device_.get(), setUp);
    CLighting().ApplyLights(device_.get(), setUp);
}

void CGraphics::AddResetHook(ResetHook hook)
{
    if (hook) resetHooks_.push_back(std::move(hook));
}

void CGraphics::ApplyAfterReset(const ui::DialogModel& setUp)
{
    ApplyDeviceState(setUp);
    for (const ResetHook& hook : resetHooks_)
        hook(*device_);
}

bool CGraphics::ResetAfterResize(int width, int height, const ui::DialogModel& setUp)
{
    if (!device_) return false;
    // A render view squeezed to nothing still keeps one pixel, so that the projection stays finite.
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!device_->Reset(width, height)) return false;
    if (device_->CurrentTarget() != gfx::Target::Main && !device_->SetTarget(gfx::Target::Main)) return false;
    const gfx::Size size = device_->TargetSize(gfx::Target::Main);
    math::Viewport viewport;
    viewport.width = size.width;
    viewport.height = size.height;
    viewport.minZ = 0.0f;
    viewport.maxZ = 1.0f;
    if (!device_->SetViewport(viewport)) return false;
    ApplyAfterReset(setUp);
    return true;
}

bool CGraphics::ResetAfterFailedPresent(const ui::DialogModel& setUp)
{
    if (!device_) return false;
    const bool ok = device_->ResetWithCreationParameters();
    // The reset dropped every state: without them the next frame would be drawn unlit and opaque.
    if (ok) ApplyAfterReset(setUp);
    return ok;
}

void CGraphics::DrawTextLine(std::string_view text, int row, int right)
{
    if (!device_) return;
    const int top = kTextRowHeight * row;
    const std::string shown = platform::Tr(text);
    // The lines' width was made for the Japanese texts; a translation is often longer and gets
    // the frame rate's width rather than being cut ("Plane:1495km/h").
    if (shown != text) right = std::max(right, kFrameRateRight);
    device_->DrawText(shown, gfx::Rect{3, top + 1, right, top + kTextRowHeight},
                      gfx::ColorFromArgb(kTextShadowArgb));
    device_->DrawText(shown, gfx::Rect{2, top, right, top + kTextRowHeight}, gfx::ColorFromArgb(kTextArgb));
}

bool CGraphics::RenderMainFrame(const MainFrameContext& context)
{
    if (!device_) return false;
    gfx::Device& device = *device_;
    ui::DialogModel& setUp = context.setUp;
    FrameScene& scene = context.scene;

    // The preview may have left the device on its own target.
    if (device.CurrentTarget() != gfx::Target::Main && !device.SetTarget(gfx::Target::Main)) return false;

    if (!device.Clear(BackgroundColor(setUp.Position(su::kLight)), 1.0f)) return false;

    const bool began = device.BeginScene();
    if (began) {
        SetViewProjection(&device, context.camera);

        const bool backgroundOpaque = setUp.Position(su::kBackgroundAlpha) >= 100;
        if (backgroundOpaque) scene.DrawBackground(device);
        for (int slot = 1; slot <= 6; ++slot)
            scene.DrawCars(device, slot);
        scene.DrawPlacedObjects(device, 0);
        scene.DrawPlane(device);
        scene.DrawHelicopter(device);
        scene.DrawRoadCar(device);
        scene.DrawPlacedObjects(device, 1);
        // A translucent background goes last so that it blends over the scene.
        if (!backgroundOpaque) scene.DrawBackground(device);

        const bool lineOverlay = setUp.IsChecked(su::kLines);
        const bool sprites = setUp.IsChecked(su::kSprites);
        const bool markers = scene.HasCheckMarkers();
        if (lineOverlay || sprites || markers) {
            device.SetRenderState(gfx::RenderState::Lighting, false);
            if (lineOverlay) scene.DrawLineOverlay(device);
            if (markers) scene.DrawCheckMarkers(device);
            if (sprites) scene.DrawKeyLabels(device, 16.0f);
            device.SetRenderState(gfx::RenderState::Lighting, true);
        }

        if (setUp.IsChecked(su::kText)) {
            const std::array<std::string, kTextRows> texts = TextLines(frameRate_.Next(context.passes), scene);
            DrawTextLine(texts[0], 0, kFrameRateRight);
            for (int row = 1; row < kTextRows; ++row)
                DrawTextLine(texts[static_cast<std::size_t>(row)], row);
            if (!context.stateText.empty()) DrawTextLine(context.stateText, kTextRows);
        }
        device.EndScene();
    }

    if (!device.Present()) {
        ResetAfterFailedPresent(setUp);
        // The frame was lost whatever the reset gave.
        return false;
    }
    return began;
}

void CGraphics::RenderPreview(camera::CCamera& camera, const ui::DialogModel& setUp, FrameScene& scene)
{
    if (!device_) return;
    gfx::Device& device = *device_;
    if (!device.SetTarget(gfx::Target::Preview)) return;

    if (device.Clear(BackgroundColor(setUp.Position(su::kLight)), 1.0f)) {
        if (device.BeginScene()) {
            // With nothing selected (an empty object folder) only the background shows.
            if (const std::optional<PreviewSubject> subject = scene.PreviewType()) {
                SetPreviewViewProjection(&device, camera, setUp, subject->centre, subject->radius);
                scene.DrawPreview(device);
            }
            device.EndScene();
        }
        if (!device.Present()) ResetAfterFailedPresent(setUp);
    }
    // Everything else (the main frame, picking) expects the render view.
    if (device.CurrentTarget() != gfx::Target::Main) device.SetTarget(gfx::Target::Main);
}

} // namespace render
