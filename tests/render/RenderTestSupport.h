// Shared set-up of the rendering tests: a CGraphics whose device is a FaultyDevice, the settings
// dialog, the camera and a scene that logs what the frame asks it to draw.
#pragma once

#include "FaultyDevice.h"
#include "camera/CCamera.h"
#include "input/CInput.h"
#include "platform/KeyState.h"
#include "render/CGraphics.h"
#include "render/FrameScene.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"
#include "ui/StatusBarModel.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace testing_render {

class LoggingScene : public render::FrameScene {
  public:
    std::vector<std::string> log;
    // Whether lighting was on when the overlay and the labels were drawn.
    std::vector<bool> lightingWhileUnlit;
    float labelSize = 0;
    // What the view transform was when the first item was drawn.
    std::optional<math::Matrix> viewAtFirstDraw;
    std::optional<render::PreviewSubject> subject;
    bool customTexts = false;

    void DrawBackground(gfx::Device& d) override { Note(d, "background"); }
    void DrawCars(gfx::Device& d, int slot) override { Note(d, "cars" + std::to_string(slot)); }
    void DrawPlacedObjects(gfx::Device& d, int pass) override { Note(d, "objects" + std::to_string(pass)); }
    void DrawPlane(gfx::Device& d) override { Note(d, "plane"); }
    void DrawHelicopter(gfx::Device& d) override { Note(d, "helicopter"); }
    void DrawRoadCar(gfx::Device& d) override { Note(d, "car"); }
    void DrawLineOverlay(gfx::Device& d) override
    {
        Note(d, "lines");
        lightingWhileUnlit.push_back(d.State().Get(gfx::RenderState::Lighting));
    }
    void DrawKeyLabels(gfx::Device& d, float pointSize) override
    {
        Note(d, "labels");
        labelSize = pointSize;
        lightingWhileUnlit.push_back(d.State().Get(gfx::RenderState::Lighting));
    }
    std::string TrainSpeedText(int slot) const override
    {
        return customTexts ? std::to_string(slot * 10) + "km/h" : FrameScene::TrainSpeedText(slot);
    }
    std::string HelicopterAltitudeText() const override
    {
        return customTexts ? "12m" : FrameScene::HelicopterAltitudeText();
    }
    std::optional<render::PreviewSubject> PreviewType() const override { return subject; }
    void DrawPreview(gfx::Device& d) override { Note(d, "preview"); }

  private:
    void Note(gfx::Device& d, std::string what)
    {
        if (!viewAtFirstDraw) viewAtFirstDraw = d.State().Transform(gfx::TransformKind::View);
        log.push_back(std::move(what));
    }
};

class GraphicsFixture : public ::testing::Test {
  protected:
    ui::DialogModel setUp{ui::SetUpTemplate()};
    ui::StatusBarModel status;
    platform::KeyState keys;
    input::CInput input{keys};
    camera::CameraSources sources;
    camera::CCamera cam;
    LoggingScene scene;
    std::uint32_t now = 0;
    render::CGraphics graphics{[this] { return now; }};
    FaultyDevice* device = nullptr;
    gfx::RecordingDevice::Options options;
    gfx::DeviceOptions optionsSeen;

    render::DeviceFactory Factory()
    {
        return [this](const gfx::DeviceOptions& o) {
            optionsSeen = o;
            gfx::RecordingDevice::Options made = options;
            made.device = o;
            auto d = std::make_unique<FaultyDevice>(made);
            device = d.get();
            return gfx::Created<gfx::Device>(std::move(d), {});
        };
    }
    void Create() { ASSERT_TRUE(graphics.Create(Factory(), setUp).ok()); }
    gfx::RecordingDevice& Recorder() { return device->Recorder(); }
    // The camera step of a pass, then the frame.
    bool RenderFrame(bool editTool = false)
    {
        cam.UpdateRig(setUp, status, sources, editTool, input);
        cam.BuildViewProjection(setUp, 640, 480);
        return graphics.RenderMainFrame({setUp, cam, scene});
    }
};

} // namespace testing_render
