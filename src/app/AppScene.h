// Everything a frame and the object preview draw, as the application has it: the layout's
// background, placed objects, line overlay and preview type, the trains' cars, the three
// vehicles, the key labels over the trains and turnouts, and the vehicles' read-outs of the text
// lines. Drawing only reads: poses, speeds and texts are the pass's (CSimulatorApp::RunPass).
#pragma once

#include "layout/LayoutRenderer.h"
#include "render/CSpriteLabels.h"
#include "render/FrameScene.h"

#include <vector>

namespace layout {
class CLayout;
}

namespace app {

class AppVehicles;
class CSimulatorApp;

class AppScene final : public render::FrameScene {
  public:
    // All three must outlive the scene; app's parts are read at each call.
    AppScene(CSimulatorApp& app, const layout::CLayout& layout, const AppVehicles& vehicles);

    void DrawBackground(gfx::Device& device) override;
    // The slot's cars inside the device's current view and the culling distance.
    void DrawCars(gfx::Device& device, int slot) override;
    void DrawPlacedObjects(gfx::Device& device, int pass) override;
    void DrawPlane(gfx::Device& device) override;
    void DrawHelicopter(gfx::Device& device) override;
    void DrawRoadCar(gfx::Device& device) override;
    void DrawLineOverlay(gfx::Device& device) override;
    bool HasCheckMarkers() const override;
    void DrawCheckMarkers(gfx::Device& device) override;
    void DrawKeyLabels(gfx::Device& device, float pointSize) override;

    // "100km/h"; an unknown slot reads as standing.
    std::string TrainSpeedText(int slot) const override;
    std::string TrainStateText(int slot) const override;
    std::string CarSpeedText() const override;
    std::string PlaneSpeedText() const override;
    std::string PlaneAltitudeText() const override;
    std::string PlaneAngleText() const override;
    std::string HelicopterSpeedText() const override;
    std::string HelicopterAltitudeText() const override;

    // The catalogue type chosen in the object dialog, or nothing when none is.
    std::optional<render::PreviewSubject> PreviewType() const override;
    void DrawPreview(gfx::Device& device) override;

    // The key-label textures of style (the selection of the style box), at start-up, on a style
    // change and after every device reset; the old style's are released first.
    void LoadKeyLabels(gfx::Device& device, int style);

  private:
    CSimulatorApp& app_;
    const layout::CLayout& layout_;
    const AppVehicles& vehicles_;
    render::CSpriteLabels labels_;
    layout::PlacedDrawCache placedDraw_; // kept between frames
};

} // namespace app
