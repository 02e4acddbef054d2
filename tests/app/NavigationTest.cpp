// The camera's mouse and keypad navigation as the main loop drives it, and the edit focus set
// by the editing tools and by the object dialog.
#include "ObjectSelectTestSupport.h"
#include "camera/CameraSources.h"
#include "math/Numeric.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"

#include <cmath>

namespace {

using objseltest::LayoutAppTest;
namespace cmd = ui::cmd;
namespace entry = camera::entry;
namespace os = ui::objsel;
namespace su = ui::setup;
namespace vk = platform::vk;

bool Near(math::Vec3 a, math::Vec3 b, float tolerance = 1e-4f)
{
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
           std::fabs(a.z - b.z) <= tolerance;
}

class Navigation : public LayoutAppTest {
  protected:
    void SetUp() override
    {
        Start({"box"});
        ASSERT_TRUE(app->PressStart());
    }

    void Pass() { ASSERT_TRUE(app->RunPass()); }
    camera::CCamera& Camera() { return app->Camera(); }
    ui::DialogModel& Settings() { return app->SetUp().Model(); }
};

TEST_F(Navigation, TheRightButtonTurnsTheOrbitAndThePreviewByHalfTheCounts)
{
    keys.Press(vk::kRButton);
    mouse.main = {.dx = -2, .dy = 400};
    mouse.preview = {.dx = 4, .dy = -3};
    Pass();
    EXPECT_FLOAT_EQ(Camera().Yaw(), 1.0f);
    EXPECT_FLOAT_EQ(Camera().Pitch(), 89.5f);
    EXPECT_FLOAT_EQ(Camera().PreviewYaw(), 358.0f);
    EXPECT_FLOAT_EQ(Camera().PreviewPitch(), -1.5f);
    EXPECT_EQ(mouse.mainReads, 1);
    EXPECT_EQ(mouse.previewReads, 1);

    // With every button up both readers stop.
    keys.Release(vk::kRButton);
    Pass();
    EXPECT_EQ(mouse.unacquires, 1);
    EXPECT_EQ(mouse.mainReads, 1);
}

TEST_F(Navigation, TheMiddleButtonMovesTheDistanceSliderAndItsLabel)
{
    ASSERT_EQ(Settings().Position(su::kDistance), 50);
    keys.Press(vk::kMButton);
    mouse.main = {.dy = 1};
    Pass();
    EXPECT_EQ(Settings().Position(su::kDistance), 50);
    mouse.main = {.dy = -3};
    Pass();
    EXPECT_EQ(Settings().Position(su::kDistance), 49);
    mouse.main = {.dy = 3};
    mouse.preview = {.dx = 40};
    Pass();
    EXPECT_EQ(Settings().Position(su::kDistance), 50);
    EXPECT_EQ(mouse.previewReads, 0) << "the middle button does not turn the preview";
    EXPECT_FLOAT_EQ(Camera().Yaw(), 0.0f);
}

TEST_F(Navigation, KeypadMovesTheEditFocusWhileEditingAndTheCameraPointOtherwise)
{
    app->SetUp().SelectDriveCamera();
    Settings().SetSelection(su::kViewPointList, entry::kFree);
    ASSERT_TRUE(app->ClickTool(cmd::kToolCreateMap));
    const math::Vec3 focus = Camera().EditFocus();
    const math::Vec3 point = Camera().CameraPoint();

    // Keypad 8 moves the focus away from the eye: along +z at yaw 0.
    keys.Press(vk::kNumpad8);
    Pass();
    EXPECT_TRUE(Near(Camera().EditFocus(), focus + math::Vec3{0, 0, 0.5f}));
    EXPECT_EQ(Camera().CameraPoint(), point);
    keys.Release(vk::kNumpad8);

    // Keypad 3 with keypad 0 turns by four degrees a frame.
    keys.Press(vk::kNumpad3);
    keys.Press(vk::kNumpad0);
    Pass();
    EXPECT_FLOAT_EQ(Camera().Yaw(), 4.0f);
    keys.Release(vk::kNumpad3);
    keys.Release(vk::kNumpad0);

    // Out of the editing mode the same key moves the free camera point where the camera looks.
    ASSERT_TRUE(app->ClickTool(cmd::kToolCreateMap));
    const math::Vec3 focusAfter = Camera().EditFocus();
    keys.Press(vk::kNumpad8);
    Pass();
    const float yaw = 4.0f * math::kDegToRad;
    EXPECT_TRUE(
        Near(Camera().CameraPoint(), point + math::Vec3{0.5f * std::sin(yaw), 0, -0.5f * std::cos(yaw)}));
    EXPECT_EQ(Camera().EditFocus(), focusAfter);
}

TEST_F(Navigation, SwitchingAnEditingToolPutsTheFocusOnTheCurrentTarget)
{
    // The camera orbits the free camera point, so the target is that point.
    Camera().SetCameraPoint({3, 1, 4});
    Settings().SetSelection(su::kPositionList, entry::kCameraPoint);
    Settings().SetSelection(su::kViewPointList, entry::kCameraPoint);
    Pass();
    ASSERT_EQ(Camera().Target(), (math::Vec3{3, 1, 4}));

    ASSERT_TRUE(app->ClickTool(cmd::kToolMoveCar));
    EXPECT_EQ(Camera().EditFocus(), (math::Vec3{3, 1, 4}));
    // The picture does not jump: the next pass orbits the same point.
    Pass();
    EXPECT_EQ(Camera().Target(), (math::Vec3{3, 1, 4}));
}

TEST_F(Navigation, ChoosingAnObjectWithFocusOnFollowsItInBothModes)
{
    ASSERT_TRUE(Core().Placed().Append({.type = 0, .x = 7, .y = 2, .z = 9}).ok());
    ASSERT_TRUE(Core().Placed().Append({.type = 0, .x = -5, .y = 0, .z = 1}).ok());
    ASSERT_TRUE(Dialog().Click(os::kFocusOnSelection));

    // Map creation on: the edit focus jumps to the chosen object.
    ASSERT_TRUE(app->ClickTool(cmd::kToolCreateMap));
    Dialog().OnListSelection({0});
    Dialog().OnRowClick(0);
    EXPECT_EQ(Camera().EditFocus(), (math::Vec3{7, 2, 9}));
    Pass();
    EXPECT_EQ(Camera().Target(), (math::Vec3{7, 2, 9}));

    // Map creation off: both camera lists follow the selected object instead.
    ASSERT_TRUE(app->ClickTool(cmd::kToolCreateMap));
    Dialog().OnListSelection({1});
    Dialog().OnRowClick(1);
    EXPECT_EQ(Settings().Selection(su::kPositionList), entry::kSelectedObject);
    EXPECT_EQ(Settings().Selection(su::kViewPointList), entry::kSelectedObject);
    Pass();
    EXPECT_EQ(Camera().Target(), (math::Vec3{-5, 0, 1}));
}

} // namespace
