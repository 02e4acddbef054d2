// The trains' items of a frame: the per-car pass of each slot, the key labels over the trains
// and the turnouts, and the trains' speed read-outs; with the key labels' loading at start-up,
// on a style change and after a device reset. Every other item draws nothing here (AppScene
// and AppVehicles draw them).
#pragma once

#include "app/SceneHooks.h"
#include "render/CSpriteLabels.h"
#include "render/FrameScene.h"

namespace layout {
class CLayout;
}

namespace app {

class AppTrains;
class CSimulatorApp;

class AppTrainScene final : public render::FrameScene, public SceneHooks {
  public:
    // All three must outlive the scene; app's executable folder is read when the labels load.
    AppTrainScene(CSimulatorApp& app, AppTrains& trains, const layout::CLayout& layout);

    void DrawCars(gfx::Device& device, int slot) override;
    void DrawKeyLabels(gfx::Device& device, float pointSize) override;
    std::string TrainSpeedText(int slot) const override;

    // Releases the labels of the old style, then loads those of style.
    void LoadKeyLabels(gfx::Device& device, int style) override;
    // Before the device goes away.
    void ReleaseKeyLabels() { labels_.Release(); }
    const render::CSpriteLabels& Labels() const { return labels_; }

  private:
    CSimulatorApp& app_;
    AppTrains& trains_;
    const layout::CLayout& layout_;
    render::CSpriteLabels labels_;
};

} // namespace app
