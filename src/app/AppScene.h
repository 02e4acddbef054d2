// The frame's items as the application draws them: the layout's background, placed objects,
// line overlay and object preview from the application's layout, and everything else (trains,
// vehicles, key labels and their text read-outs) from the scene given for them.
#pragma once

#include "render/FrameScene.h"

namespace layout {
class CLayout;
}

namespace app {

class CSimulatorApp;

class AppScene final : public render::FrameScene {
  public:
    // All three must outlive the scene; app's parts are read at each call.
    AppScene(CSimulatorApp& app, const layout::CLayout& layout, render::FrameScene& others);

    void DrawBackground(gfx::Device& device) override;
    void DrawCars(gfx::Device& device, int slot) override { others_.DrawCars(device, slot); }
    void DrawPlacedObjects(gfx::Device& device, int pass) override;
    void DrawPlane(gfx::Device& device) override { others_.DrawPlane(device); }
    void DrawHelicopter(gfx::Device& device) override { others_.DrawHelicopter(device); }
    void DrawRoadCar(gfx::Device& device) override { others_.DrawRoadCar(device); }
    void DrawLineOverlay(gfx::Device& device) override;
    bool HasCheckMarkers() const override;
    void DrawCheckMarkers(gfx::Device& device) override;
    void DrawKeyLabels(gfx::Device& device, float pointSize) override
    {
        others_.DrawKeyLabels(device, pointSize);
    }

    std::string TrainSpeedText(int slot) const override { return others_.TrainSpeedText(slot); }
    std::string CarSpeedText() const override { return others_.CarSpeedText(); }
    std::string PlaneSpeedText() const override { return others_.PlaneSpeedText(); }
    std::string PlaneAltitudeText() const override { return others_.PlaneAltitudeText(); }
    std::string PlaneAngleText() const override { return others_.PlaneAngleText(); }
    std::string HelicopterSpeedText() const override { return others_.HelicopterSpeedText(); }
    std::string HelicopterAltitudeText() const override { return others_.HelicopterAltitudeText(); }

    // The catalogue type chosen in the object dialog, or nothing when none is.
    std::optional<render::PreviewSubject> PreviewType() const override;
    void DrawPreview(gfx::Device& device) override;

  private:
    CSimulatorApp& app_;
    const layout::CLayout& layout_;
    render::FrameScene& others_;
};

} // namespace app
