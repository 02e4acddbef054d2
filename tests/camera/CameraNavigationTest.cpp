#include "CameraTestSupport.h"
#include "platform/VirtualKeys.h"

namespace {

using camera_test::Near;
namespace entry = camera::entry;
namespace su = ui::setup;
namespace vk = platform::vk;

class CameraNavigation : public camera_test::CameraFixture {
  protected:
    void Hold(std::initializer_list<int> codes)
    {
        for (int c : codes)
            keys.Press(c);
    }
};

TEST_F(CameraNavigation, OrbitDragKeepsThePitchShortOfStraightUpOrDown)
{
    cam.OrbitDrag(0, 400);
    EXPECT_FLOAT_EQ(cam.Pitch(), 89.5f);
    cam.OrbitDrag(0, -800);
    EXPECT_FLOAT_EQ(cam.Pitch(), -89.5f);
    // Between 89.5 and 90 is left as it is.
    cam.SetPitch(89.0f);
    cam.OrbitDrag(0, 1);
    EXPECT_FLOAT_EQ(cam.Pitch(), 89.5f);
    cam.OrbitDrag(0, 0);
    cam.SetPitch(89.75f);
    cam.OrbitDrag(0, 0);
    EXPECT_FLOAT_EQ(cam.Pitch(), 89.75f);
}

TEST_F(CameraNavigation, OrbitDragWrapsTheYaw)
{
    cam.SetYaw(359.5f);
    cam.OrbitDrag(-2, 0);
    EXPECT_FLOAT_EQ(cam.Yaw(), 0.5f);
    cam.OrbitDrag(2, 0);
    EXPECT_FLOAT_EQ(cam.Yaw(), 359.5f);
    // However far the mouse went in one frame.
    cam.OrbitDrag(-2000, 0);
    EXPECT_GE(cam.Yaw(), 0.0f);
    EXPECT_LT(cam.Yaw(), 360.0f);
}

TEST_F(CameraNavigation, PreviewOrbitDragTurnsOnlyThePreviewAngles)
{
    cam.PreviewOrbitDrag(-2, 400);
    EXPECT_FLOAT_EQ(cam.PreviewYaw(), 1.0f);
    EXPECT_FLOAT_EQ(cam.PreviewPitch(), 89.5f);
    EXPECT_FLOAT_EQ(cam.Yaw(), 0.0f);
    EXPECT_FLOAT_EQ(cam.Pitch(), 0.0f);
}

TEST_F(CameraNavigation, DistanceDragMovesTheSliderByHalfTheCountsTruncated)
{
    cam.DistanceDrag(1, setUp);
    EXPECT_EQ(setUp.Position(su::kDistance), 50);
    cam.DistanceDrag(3, setUp);
    EXPECT_EQ(setUp.Position(su::kDistance), 51);
    cam.DistanceDrag(-3, setUp);
    EXPECT_EQ(setUp.Position(su::kDistance), 50);
    cam.DistanceDrag(5000, setUp);
    EXPECT_EQ(setUp.Position(su::kDistance), 500);
    cam.DistanceDrag(-5000, setUp);
    EXPECT_EQ(setUp.Position(su::kDistance), 1);
}

TEST_F(CameraNavigation, WheelStepsTheViewAngleAndStopsAtTheSliderEnds)
{
    int refreshes = 0;
    // The dialog's refresh stores the slider back into the camera, as it does for a real drag.
    const auto refresh = [&] {
        ++refreshes;
        cam.SetWheelAngle(static_cast<float>(setUp.Position(su::kFieldOfView)));
    };
    for (int i = 0; i < 30; ++i)
        cam.WheelZoom(120, setUp, refresh);
    EXPECT_EQ(setUp.Position(su::kFieldOfView), 1);
    EXPECT_FLOAT_EQ(cam.WheelAngle(), 1.0f);
    EXPECT_EQ(refreshes, 30);

    cam.WheelZoom(-120, setUp);
    EXPECT_EQ(setUp.Position(su::kFieldOfView), 2);
    for (int i = 0; i < 300; ++i)
        cam.WheelZoom(-1, setUp);
    EXPECT_EQ(setUp.Position(su::kFieldOfView), 179);
    EXPECT_FLOAT_EQ(cam.WheelAngle(), 179.0f);
    cam.WheelZoom(0, setUp);
    EXPECT_FLOAT_EQ(cam.WheelAngle(), 179.0f);
}

TEST_F(CameraNavigation, EditFocusMovesAwayFromTheEyeAndTurnsWithKeypadOneAndThree)
{
    cam.SetEditFocusPoint({0, 0, 0});
    Hold({vk::kNumpad8});
    cam.MoveEditFocus(input);
    // Yaw 0 puts the eye on the -z side, so forward is +z.
    EXPECT_TRUE(Near(cam.EditFocus(), {0, 0, 0.5f}));
    keys.ReleaseAll();

    Hold({vk::kNumpad3, vk::kNumpad0});
    cam.MoveEditFocus(input);
    EXPECT_FLOAT_EQ(cam.Yaw(), 4.0f);
    keys.ReleaseAll();
    Hold({vk::kNumpad1});
    cam.MoveEditFocus(input);
    cam.MoveEditFocus(input);
    cam.MoveEditFocus(input);
    cam.MoveEditFocus(input);
    cam.MoveEditFocus(input);
    EXPECT_FLOAT_EQ(cam.Yaw(), 359.0f);
    keys.ReleaseAll();

    // Plus wins over minus, and over the turns.
    Hold({vk::kAdd, vk::kSubtract, vk::kNumpad1});
    cam.MoveEditFocus(input);
    EXPECT_TRUE(Near(cam.EditFocus(), {0, 0.5f, 0.5f}));
    EXPECT_FLOAT_EQ(cam.Yaw(), 359.0f);
}

TEST_F(CameraNavigation, CameraPointMovesOnlyWhileTheKeyboardDrivesTheCamera)
{
    setUp.SetSelection(su::kViewPointList, entry::kFree);
    Hold({vk::kNumpad8});
    cam.MoveCameraPoint(input, setUp);
    EXPECT_TRUE(Near(cam.CameraPoint(), {0, 1, 0}));

    setUp.SetCheck(su::kDriveCamera, 1);
    cam.MoveCameraPoint(input, setUp);
    // The free view at yaw 0 looks along -z; keypad 8 moves that way.
    EXPECT_TRUE(Near(cam.CameraPoint(), {0, 1, -0.5f}));
}

TEST_F(CameraNavigation, KeypadEightAndSixInTheFreeViewMoveForwardRight)
{
    setUp.SetCheck(su::kDriveCamera, 1);
    setUp.SetSelection(su::kViewPointList, entry::kFree);
    cam.SetYaw(90); // looking along +x, so right is -z
    Hold({vk::kNumpad8, vk::kNumpad6});
    cam.MoveCameraPoint(input, setUp);
    EXPECT_TRUE(Near(cam.CameraPoint(), {0.35355f, 1, -0.35355f}));
}

TEST_F(CameraNavigation, CameraPointDirectionsDependOnTheViewPoint)
{
    setUp.SetCheck(su::kDriveCamera, 1);

    // Orbiting the camera point: keypad 8 moves it away from the eye.
    setUp.SetSelection(su::kViewPointList, entry::kCameraPoint);
    Hold({vk::kNumpad8});
    cam.MoveCameraPoint(input, setUp);
    EXPECT_TRUE(Near(cam.CameraPoint(), {0, 1, 0.5f}));
    keys.ReleaseAll();

    // Any other view: world directions, 8 towards +z and 6 towards +x, whatever the yaw.
    cam.SetCameraPoint({0, 0, 0});
    cam.SetYaw(123);
    setUp.SetSelection(su::kViewPointList, entry::kOrigin);
    Hold({vk::kNumpad6, vk::kNumpad0});
    cam.MoveCameraPoint(input, setUp);
    EXPECT_TRUE(Near(cam.CameraPoint(), {2, 0, 0}));
    keys.ReleaseAll();
    Hold({vk::kNumpad1});
    cam.MoveCameraPoint(input, setUp);
    EXPECT_FLOAT_EQ(cam.Yaw(), 123.0f);
    keys.ReleaseAll();

    // The turns go opposite ways in the free view and round the camera point.
    setUp.SetSelection(su::kViewPointList, entry::kFree);
    Hold({vk::kNumpad1});
    cam.MoveCameraPoint(input, setUp);
    EXPECT_FLOAT_EQ(cam.Yaw(), 124.0f);
    setUp.SetSelection(su::kViewPointList, entry::kCameraPoint);
    cam.MoveCameraPoint(input, setUp);
    cam.MoveCameraPoint(input, setUp);
    EXPECT_FLOAT_EQ(cam.Yaw(), 122.0f);
    keys.ReleaseAll();

    Hold({vk::kSubtract});
    cam.MoveCameraPoint(input, setUp);
    EXPECT_TRUE(Near(cam.CameraPoint(), {2, -0.5f, 0}));
}

TEST_F(CameraNavigation, EditFocusJumpsToTheSelectionOrTheCurrentTarget)
{
    Choose(entry::kOrigin, entry::kCameraPoint);
    cam.SetCameraPoint({4, 5, 6});
    Rig();
    cam.SetEditFocus(false, sources);
    EXPECT_TRUE(Near(cam.EditFocus(), {4, 5, 6}));

    sources.selected = {true, {7, 8, 9}};
    cam.SetEditFocus(true, sources);
    EXPECT_TRUE(Near(cam.EditFocus(), {7, 8, 9}));
    sources.selected = {};
    cam.SetEditFocus(true, sources);
    EXPECT_TRUE(Near(cam.EditFocus(), {0, 0, 0}));
}

} // namespace
