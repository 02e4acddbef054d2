#include "CameraTestSupport.h"
#include "math/Numeric.h"
#include "platform/VirtualKeys.h"

namespace {

using camera_test::AllFinite;
using camera_test::Near;
namespace entry = camera::entry;
namespace su = ui::setup;

class CameraRig : public camera_test::CameraFixture {
  protected:
    // Train 1's lead car: front end at (10, 4, 20), roof 3 high, so the target is (10, 2.5, 20).
    void PlaceTrain1()
    {
        camera::TrainSource& t = sources.trains[0];
        t.present = true;
        t.leadPoint = {10, 4, 20};
        t.leadRoofHeight = 3;
        t.leadPosition = {10, 2, 18};
    }
};

TEST_F(CameraRig, StatusPanesNameBothChoices)
{
    Choose(1, entry::kFront);
    Rig();
    EXPECT_EQ(status.Text(1), "位置(F5)：電車－１");
    EXPECT_EQ(status.Text(2), "視点(F6)：前方");
    Choose(entry::kSelectedObject, entry::kFree);
    Rig();
    EXPECT_EQ(status.Text(1), "位置(F5)：選択ｵﾌﾞｼﾞｪｸﾄ");
    EXPECT_EQ(status.Text(2), "視点(F6)：フリー");
}

TEST_F(CameraRig, NoSelectionKeepsEyeAndTargetButResetsUp)
{
    sources.plane = {true, {0, 10, 0}, {1, 0, 0}, {0, 0.6f, 0.8f}, 0, 0, 0};
    Choose(entry::kPlane, entry::kFront);
    Rig();
    const math::Vec3 eye = cam.Eye(), target = cam.Target();
    ASSERT_TRUE(Near(cam.Up(), {0, 0.6f, 0.8f}));

    setUp.SetSelection(su::kViewPointList, -1);
    Rig();
    EXPECT_EQ(cam.Eye(), eye);
    EXPECT_EQ(cam.Target(), target);
    EXPECT_EQ(cam.Up(), (math::Vec3{0, 1, 0}));
    EXPECT_EQ(status.Text(2), "視点(F6)：");
    // A fresh camera with neither list chosen stays at its start.
    camera::CCamera fresh;
    fresh.UpdateRig(setUp, status, sources, false, input);
    EXPECT_EQ(fresh.Eye(), (math::Vec3{}));
}

TEST_F(CameraRig, OrbitFollowsTheFormula)
{
    cam.SetYaw(90);
    cam.SetPitch(30);
    // 50 along +x turned up by 30 degrees: (50 cos 30, 50 sin 30, 0) around the centre.
    EXPECT_TRUE(Near(cam.Orbit({1, 2, 3}, 50, 1), {1 + 43.30127f, 2 + 25, 3}));
    EXPECT_TRUE(Near(cam.Orbit({1, 2, 3}, 50, -1), {1 + 43.30127f, 2 - 25, 3}));
    cam.SetYaw(0);
    cam.SetPitch(0);
    EXPECT_TRUE(Near(cam.Orbit({1, 2, 3}, 50, 1), {1, 2, -47}));
}

TEST_F(CameraRig, OrbitAroundTheLoweredFrontOfATrain)
{
    PlaceTrain1();
    Choose(1, 1);
    Rig();
    EXPECT_TRUE(Near(cam.Target(), {10, 2.5f, 20}));
    EXPECT_TRUE(Near(cam.Eye(), {10, 2.5f, -30}));

    // The distance slider and the angles move the eye round the same target.
    setUp.SetPosition(su::kDistance, 10);
    cam.SetYaw(90);
    cam.SetPitch(30);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {10 + 8.660254f, 7.5f, 20}));
}

TEST_F(CameraRig, OrbitAroundTheOriginTheCameraPointAndTheSelectedObject)
{
    Choose(entry::kOrigin, entry::kOrigin);
    Rig();
    EXPECT_TRUE(Near(cam.Target(), {0, 0, 0}));
    EXPECT_TRUE(Near(cam.Eye(), {0, 0, -50}));

    cam.SetCameraPoint({3, 4, 5});
    Choose(entry::kCameraPoint, entry::kCameraPoint);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {3, 4, -45}));

    sources.selected = {true, {7, 0, 7}};
    Choose(entry::kSelectedObject, entry::kSelectedObject);
    Rig();
    EXPECT_TRUE(Near(cam.Target(), {7, 0, 7}));
    EXPECT_TRUE(Near(cam.Eye(), {7, 0, -43}));

    // Nothing selected: the orbit keeps eye and target where they were.
    sources.selected = {};
    Rig();
    EXPECT_TRUE(Near(cam.Target(), {7, 0, 7}));
    EXPECT_TRUE(Near(cam.Eye(), {7, 0, -43}));
}

TEST_F(CameraRig, LookAtUsesTheEyePointOfThePositionAndTheTargetOfTheView)
{
    PlaceTrain1();
    Choose(entry::kOrigin, 1);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {0, 1, 0}));
    EXPECT_TRUE(Near(cam.Target(), {10, 2.5f, 20}));

    // A train stands at its front end, not lowered.
    Choose(1, entry::kOrigin);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {10, 4, 20}));
    EXPECT_TRUE(Near(cam.Target(), {0, 0, 0}));

    sources.car = {true, {3, 0, 4}, 0, {}};
    Choose(entry::kCar, entry::kOrigin);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {3, 1, 4}));
    Choose(entry::kOrigin, entry::kCar);
    Rig();
    EXPECT_TRUE(Near(cam.Target(), {3, 0, 4}));

    sources.plane = {true, {-4, 6, 0}, {0, 0, 1}, {0, 1, 0}, 0, 0, 0};
    sources.helicopter = {true, {4, 8, 2}, {0, 0, 1}, {0, 1, 0}, 0, 0, 0};
    Choose(entry::kPlane, entry::kHelicopter);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {-4, 6, 0}));
    EXPECT_TRUE(Near(cam.Target(), {4, 8, 2}));

    sources.selected = {true, {5, 0, 5}};
    Choose(entry::kSelectedObject, entry::kOrigin);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {5, 1, 5}));
    sources.selected = {};
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {0, 1, 0}));
}

TEST_F(CameraRig, LookingAtNoSelectedObjectKeepsTheTargetButMovesTheEye)
{
    PlaceTrain1();
    Choose(entry::kOrigin, 1);
    Rig();
    Choose(1, entry::kSelectedObject);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {10, 4, 20}));
    EXPECT_TRUE(Near(cam.Target(), {10, 2.5f, 20}));
}

TEST_F(CameraRig, FreeViewLooksFromTheSourceAlongTheCameraAngles)
{
    PlaceTrain1();
    cam.SetPitch(30);
    Choose(1, entry::kFree);
    Rig();
    // A train's eye is raised by one more unit; a positive pitch looks down.
    EXPECT_TRUE(Near(cam.Eye(), {10, 5, 20}));
    EXPECT_TRUE(Near(cam.Target(), {10, 5 - 25, 20 - 43.30127f}));

    Choose(entry::kOrigin, entry::kFree);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {0, 1, 0}));
}

TEST_F(CameraRig, FrontAndRearTurnTheCameraRoundTheVehicle)
{
    PlaceTrain1();
    Choose(1, entry::kFront);
    Rig();
    // Facing +z: the camera turns to 180 and stands d ahead, looking back.
    EXPECT_FLOAT_EQ(cam.Yaw(), 180.0f);
    EXPECT_TRUE(Near(cam.Target(), {10, 2.5f, 20}));
    EXPECT_TRUE(Near(cam.Eye(), {10, 2.5f, 70}));

    sources.trains[0].leadYaw = 1.5707963705062866f; // facing +x
    Choose(1, entry::kRear);
    Rig();
    EXPECT_NEAR(cam.Yaw(), 270.0f, 1e-3f); // -90 brought into [0, 360)
    EXPECT_TRUE(Near(cam.Eye(), {10 - 50, 2.5f, 20}));
    Choose(1, entry::kFront);
    Rig();
    EXPECT_NEAR(cam.Yaw(), 90.0f, 1e-3f);
    EXPECT_TRUE(Near(cam.Eye(), {10 + 50, 2.5f, 20}));

    sources.helicopter = {true, {5, 6, 7}, {0, 0, 1}, {0, 1, 0}, 0, 0, 0};
    Choose(entry::kHelicopter, entry::kFront);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {5, 6, 57}));
    EXPECT_TRUE(Near(cam.Target(), {5, 6, 7}));

    sources.car = {true, {1, 0, 1}, 0, {}};
    Choose(entry::kCar, entry::kRear);
    Rig();
    EXPECT_TRUE(Near(cam.Target(), {1, 0, 1}));
    EXPECT_TRUE(Near(cam.Eye(), {1, 0, -49}));
}

TEST_F(CameraRig, AeroplaneFrontRearAndCockpitFollowItsUpVector)
{
    // Flying along +x, banked so that its up vector leans towards +z.
    sources.plane = {true, {0, 10, 0}, {1, 0, 0}, {0, 0.6f, 0.8f}, 0, 1.5f, 2};
    Choose(entry::kPlane, entry::kFront);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {50, 11.2f, 1.6f}));
    EXPECT_TRUE(Near(cam.Target(), {0, 10, 0}));
    EXPECT_TRUE(Near(cam.Up(), {0, 0.6f, 0.8f}));

    Choose(entry::kPlane, entry::kRear);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {-50, 11.2f, 1.6f}));

    Choose(entry::kPlane, entry::kDriverSeat);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {2, 10.9f, 1.2f}));
    EXPECT_TRUE(Near(cam.Target(), {1000, 10, 0}));
    EXPECT_TRUE(Near(cam.Up(), {0, 0.6f, 0.8f}));
    // The camera's own yaw is left alone by the aeroplane's views.
    EXPECT_FLOAT_EQ(cam.Yaw(), 0.0f);
}

TEST_F(CameraRig, DriverSeatOfATrainLooksAlongTheLeadCar)
{
    camera::TrainSource& t = sources.trains[2];
    t.present = true;
    t.leadPosition = {1, 2, 3};
    t.leadYaw = 1.5707963705062866f;
    t.seatZ = 2;
    t.seatY = 1.5f;
    Choose(3, entry::kDriverSeat);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {3, 3.5f, 3}));
    EXPECT_TRUE(Near(cam.Target(), {5, 3.5f, 3}));

    // Nose up by 0.5 rad: the seat moves up the slope and the view climbs with it.
    t.leadYaw = 0;
    t.leadPitch = 0.5f;
    Rig();
    const math::Vec3 ahead{0, 2 * 0.4794255f, 2 * 0.8775826f};
    EXPECT_TRUE(Near(cam.Eye(), math::Vec3{1, 3.5f, 3} + ahead));
    EXPECT_TRUE(Near(cam.Target(), math::Vec3{1, 3.5f, 3} + ahead * 2.0f));
}

TEST_F(CameraRig, DriverSeatWithNoSeatDistanceKeepsAFiniteView)
{
    PlaceTrain1();
    Choose(1, 1);
    Rig();
    cam.BuildViewProjection(setUp, 640, 480);
    const math::Matrix before = cam.View();

    Choose(1, entry::kDriverSeat);
    Rig();
    ASSERT_EQ(cam.Eye(), cam.Target());
    cam.BuildViewProjection(setUp, 640, 480);
    EXPECT_TRUE(AllFinite(cam.View()));
    EXPECT_EQ(cam.View(), before);
}

TEST_F(CameraRig, CockpitOfTheHelicopterAndDriverSeatOfTheCarTurnWithTheirYaw)
{
    sources.helicopter = {true, {1, 2, 3}, {1, 0, 0}, {0, 1, 0}, 1.5707963705062866f, 2, 3};
    Choose(entry::kHelicopter, entry::kDriverSeat);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {4, 4, 3}));
    EXPECT_TRUE(Near(cam.Target(), {5, 4, 3}));

    // Facing -z: the seat offset (0.5, 1, 2) comes out at (-0.5, 1, -2).
    sources.car = {true, {0, 0, 0}, 3.1415927410125732f, {0.5f, 1, 2}};
    Choose(entry::kCar, entry::kDriverSeat);
    Rig();
    EXPECT_TRUE(Near(cam.Eye(), {-0.5f, 1, -2}));
    EXPECT_TRUE(Near(cam.Target(), {-0.5f, 1, -12}));
}

TEST_F(CameraRig, SourcesWithoutAFrontSwitchTheViewPointToFree)
{
    cam.SetCameraPoint({3, 3, 3});
    Choose(entry::kCameraPoint, entry::kOrigin);
    Rig();
    const math::Vec3 eye = cam.Eye(), target = cam.Target();

    for (int position : {entry::kOrigin, entry::kCameraPoint, entry::kSelectedObject}) {
        for (int view : {entry::kFront, entry::kRear, entry::kDriverSeat}) {
            Choose(position, view);
            Rig();
            EXPECT_EQ(ViewPoint(), entry::kFree) << position << "/" << view;
            EXPECT_EQ(cam.Eye(), eye);
            EXPECT_EQ(cam.Target(), target);
        }
    }
}

TEST_F(CameraRig, SteppingWithF6GoesOnToTheFirstEntryInstead)
{
    Choose(entry::kOrigin, entry::kRear);
    keys.Press(platform::vk::kF6);
    Rig();
    EXPECT_EQ(ViewPoint(), entry::kOrigin);

    // With Shift the step goes backwards, so the free entry is the way out.
    Choose(entry::kOrigin, entry::kRear);
    keys.Press(platform::vk::kShift);
    Rig();
    EXPECT_EQ(ViewPoint(), entry::kFree);
}

TEST_F(CameraRig, EditToolsOrbitTheEditFocusWhateverTheLists)
{
    PlaceTrain1();
    Choose(1, entry::kFront);
    cam.SetEditFocusPoint({1, 2, 3});
    Rig(true);
    EXPECT_TRUE(Near(cam.Target(), {1, 2, 3}));
    EXPECT_TRUE(Near(cam.Eye(), {1, 2, -47}));
    EXPECT_FLOAT_EQ(cam.Yaw(), 0.0f); // the front rule did not run

    setUp.SetSelection(su::kPositionList, -1);
    Rig(true);
    EXPECT_TRUE(Near(cam.Target(), {1, 2, 3}));
}

TEST_F(CameraRig, AnEmptySlotReadsAsZeros)
{
    camera::TrainSource& t = sources.trains[5];
    t.leadPoint = {100, 100, 100};
    t.leadRoofHeight = 8;
    t.present = false;
    Choose(6, 6);
    Rig();
    EXPECT_TRUE(Near(cam.Target(), {0, 0, 0}));
    EXPECT_TRUE(Near(cam.Eye(), {0, 0, -50}));
}

} // namespace
