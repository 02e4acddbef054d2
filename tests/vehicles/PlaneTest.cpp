// The aeroplane: keypad priorities, speed, attitude, the orientation the body builds up, the
// overlay texts, and the model handling that differs from the road car's.
#include "FlyerCarTestSupport.h"
#include "platform/VirtualKeys.h"
#include "vehicles/CPlane.h"
#include "vehicles/VehicleMotion.h"

#include <cmath>

namespace {

namespace vk = platform::vk;
namespace su = ui::setup;
using vehicles::CPlane;
using vehicletest::ExpectUnit;
using vehicletest::ModelFolder;
using vehicletest::Rig;

// A loaded aeroplane at its home, driven by the keypad.
struct PlaneRig : Rig {
    PlaneRig()
    {
        folder.Add("Jet", "操縦席y=0.5\r\n操縦席z=1.5\r\n");
        plane.SetFolder(folder.Path());
        EXPECT_TRUE(plane.LoadModel(device.get(), "Jet", false).ok());
        Check(su::kDrivePlane, true);
    }
    void Step(int frames = 1, bool draw = false)
    {
        for (int i = 0; i < frames; ++i) {
            plane.UpdateControls(input, setUp);
            if (!draw) continue;
            plane.TurnBody();
            plane.Draw(device.get(), setUp, kEye);
        }
    }
    // One frame with only these keys held.
    void StepWith(std::initializer_list<int> codes)
    {
        ReleaseAll();
        Hold(codes);
        Step();
        ReleaseAll();
    }

    ModelFolder folder;
    CPlane plane{ModelFolder::kSection};
};

void ExpectSameAttitude(const CPlane& a, const CPlane& b)
{
    EXPECT_EQ(a.Forward(), b.Forward());
    EXPECT_EQ(a.Up(), b.Up());
    EXPECT_EQ(a.Speed(), b.Speed());
}

TEST(PlaneKeys, TheFirstKeyOfEachPairWins)
{
    const std::initializer_list<std::pair<int, int>> pairs = {{vk::kNumpad8, vk::kNumpad2},
                                                              {vk::kNumpad4, vk::kNumpad6},
                                                              {vk::kNumpad1, vk::kNumpad3},
                                                              {vk::kAdd, vk::kSubtract}};
    for (const auto& [first, second] : pairs) {
        PlaneRig alone, both;
        // Tilt first so that every axis matters.
        alone.StepWith({vk::kNumpad8, vk::kNumpad4});
        both.StepWith({vk::kNumpad8, vk::kNumpad4});
        alone.StepWith({first});
        both.StepWith({first, second});
        ExpectSameAttitude(alone.plane, both.plane);
        EXPECT_NE(alone.plane.Forward(), PlaneRig().plane.Forward());
    }
}

TEST(PlaneKeys, PitchAndTurnFollowTheKeypadLayout)
{
    PlaneRig rig;
    rig.StepWith({vk::kNumpad8});
    EXPECT_LT(rig.plane.Forward().y, 0.0f); // keypad 8 lowers the nose
    EXPECT_NEAR(vehicletest::DegreesBetween(rig.plane.Forward(), {0, 0, 1}), 1.0, 1e-3);
    EXPECT_NEAR(math::Dot(rig.plane.Forward(), rig.plane.Up()), 0.0f, 1e-6f);

    PlaneRig climb;
    climb.StepWith({vk::kNumpad2, vk::kNumpad0}); // fine: a quarter degree
    EXPECT_GT(climb.plane.Forward().y, 0.0f);
    EXPECT_NEAR(vehicletest::DegreesBetween(climb.plane.Forward(), {0, 0, 1}), 0.25, 1e-3);

    PlaneRig left;
    left.StepWith({vk::kNumpad1});
    EXPECT_LT(left.plane.Forward().x, 0.0f);
    EXPECT_NEAR(vehicletest::DegreesBetween(left.plane.Forward(), {0, 0, 1}), 0.4, 1e-3);

    PlaneRig bank;
    bank.StepWith({vk::kNumpad4});
    EXPECT_NEAR(vehicletest::DegreesBetween(bank.plane.Up(), {0, 1, 0}), 4.0, 1e-3);
}

TEST(PlaneKeys, RollingNeverChangesTheFlightDirection)
{
    PlaneRig rig;
    rig.StepWith({vk::kNumpad8});
    rig.StepWith({vk::kNumpad3});
    const math::Vec3 forward = rig.plane.Forward();
    rig.Hold({vk::kNumpad4});
    rig.Step(500);
    rig.ReleaseAll();
    rig.Hold({vk::kNumpad6, vk::kNumpad0});
    rig.Step(77);
    EXPECT_EQ(rig.plane.Forward(), forward);
    ExpectUnit(rig.plane.Up());
}

TEST(PlaneSpeed, PlusAndMinusStepTheSpeedAndKeypadFiveStops)
{
    PlaneRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.StepWith({vk::kAdd});
    EXPECT_FLOAT_EQ(rig.plane.Speed(), 0.02f);
    rig.StepWith({vk::kAdd, vk::kNumpad0});
    EXPECT_FLOAT_EQ(rig.plane.Speed(), 0.025f);
    rig.StepWith({vk::kSubtract});
    EXPECT_FLOAT_EQ(rig.plane.Speed(), 0.005f);
    // Plus is added first, then keypad 5 stops.
    rig.StepWith({vk::kAdd, vk::kNumpad5});
    EXPECT_EQ(rig.plane.Speed(), 0.0f);
}

TEST(PlaneSpeed, WithDecelerationTheSpeedDiesAwayAfterAboutTwoHundredFrames)
{
    PlaneRig rig;
    rig.StepWith({vk::kAdd});
    int frames = 0;
    while (rig.plane.Speed() > 0.0f && frames < 1000) {
        rig.Step();
        ++frames;
    }
    EXPECT_NEAR(frames, 199, 2);

    PlaneRig forever;
    forever.Check(su::kNoDeceleration, true);
    forever.StepWith({vk::kAdd});
    forever.Step(1000);
    EXPECT_FLOAT_EQ(forever.plane.Speed(), 0.02f);
}

TEST(PlaneFlight, KeysActOnlyWhileThePlaneIsDrivenButItAlwaysFlies)
{
    PlaneRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.StepWith({vk::kAdd});
    rig.Check(su::kDriveCamera, true);
    rig.Hold({vk::kNumpad8, vk::kAdd});
    rig.Step(100);
    EXPECT_EQ(rig.plane.Forward(), (math::Vec3{0, 0, 1}));
    EXPECT_FLOAT_EQ(rig.plane.Speed(), 0.02f);
    EXPECT_NEAR(rig.plane.Position().z, CPlane::kInitialHome.z + 2.02f, 1e-4f);
}

TEST(PlaneFlight, ClimbsWithKeypadTwoAndSpeedsUpWithPlus)
{
    // Frame by frame as a run drives it: plus for ten frames, then keypad 2 for thirty.
    PlaneRig rig;
    float lastY = rig.plane.Position().y;
    for (int frame = 0; frame < 100; ++frame) {
        rig.ReleaseAll();
        if (frame < 10) rig.Hold({vk::kAdd});
        if (frame >= 10 && frame < 40) rig.Hold({vk::kNumpad2});
        rig.Step(1, true);
        if (frame >= 11 && frame < 40) {
            EXPECT_GT(rig.plane.Position().y, lastY) << frame;
        }
        lastY = rig.plane.Position().y;
    }
    EXPECT_GT(rig.plane.Speed(), 0.1f);
    EXPECT_GT(rig.plane.Position().y, CPlane::kInitialHome.y + 1.0f);
    EXPECT_EQ(rig.plane.SpeedText(), std::to_string(static_cast<int>(rig.plane.Speed() * 200.0)) + "km/h");
}

// Row r of the orientation (the image of model axis r) without the model's own scale and turn.
math::Vec3 Row(const math::Matrix& m, int r)
{
    return {m(r, 0), m(r, 1), m(r, 2)};
}

TEST(PlaneBody, EveryFramesRotationReachesTheOrientationDrawnOrNot)
{
    PlaneRig drawn, undrawn;
    const std::initializer_list<std::initializer_list<int>> script = {
        {vk::kNumpad8, vk::kNumpad4, vk::kNumpad3},
        {vk::kNumpad2},
        {vk::kNumpad6, vk::kNumpad1},
        {vk::kNumpad8}};
    for (int round = 0; round < 40; ++round) {
        for (const auto& keys : script) {
            drawn.ReleaseAll();
            undrawn.ReleaseAll();
            drawn.Hold(keys);
            undrawn.Hold(keys);
            drawn.Step(1, true);
            undrawn.Step(1, round % 3 == 0); // drawn only now and then
        }
    }
    drawn.plane.TurnBody();
    undrawn.plane.TurnBody();
    for (const PlaneRig* rig : {&drawn, &undrawn}) {
        const math::Matrix& m = rig->plane.Body().Orientation();
        // The body's axes are where the attitude vectors point.
        const math::Vec3 forward = Row(m, 2) - rig->plane.Forward();
        const math::Vec3 up = Row(m, 1) - rig->plane.Up();
        EXPECT_LT(math::Length(forward), 1e-4f);
        EXPECT_LT(math::Length(up), 1e-4f);
    }
    EXPECT_EQ(drawn.plane.Body().Orientation(), undrawn.plane.Body().Orientation());
}

TEST(PlaneBody, TheFramesRotationsComposePitchRollYawInThatOrder)
{
    PlaneRig rig;
    rig.Hold({vk::kNumpad8, vk::kNumpad4, vk::kNumpad1});
    rig.plane.UpdateControls(rig.input, rig.setUp);
    const auto& body = rig.plane.Body();
    const math::Matrix expected =
        math::RotationQuaternion(math::Multiply(math::Multiply(body.Pitch(), body.Roll()), body.Yaw()));
    rig.plane.TurnBody();
    EXPECT_EQ(body.Orientation(), expected);
    EXPECT_EQ(body.Pitch(), math::Quaternion{});
    EXPECT_EQ(body.Yaw(), math::Quaternion{});
}

TEST(PlaneBody, TheWorldIsTheOrientationMovedToThePosition)
{
    PlaneRig rig;
    rig.folder.Add("Big", "拡大率=3\r\n回転角度=180\r\n");
    ASSERT_TRUE(rig.plane.LoadModel(rig.device.get(), "Big", false).ok());
    rig.Hold({vk::kAdd, vk::kNumpad3});
    rig.Step(5);
    rig.plane.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    const auto draws = rig.device->CallsOf<gfx::call::DrawSubset>();
    ASSERT_EQ(draws.size(), 1u);
    const math::Vec3 p = rig.plane.Position();
    EXPECT_EQ(draws[0].state.Transform(gfx::TransformKind::World),
              rig.plane.Body().Orientation() * math::Translation(p.x, p.y, p.z));
    // The model's own scale is in the orientation.
    EXPECT_NEAR(math::Length(Row(rig.plane.Body().Orientation(), 0)), 3.0f, 1e-5f);

    // Beyond the culling distance it is not drawn.
    rig.device->ClearCalls();
    rig.setUp.SetPosition(su::kCulling, 100);
    rig.plane.Draw(rig.device.get(), rig.setUp, {0, 0, -200});
    EXPECT_EQ(rig.Draws(), 0u);
}

TEST(PlaneTexts, AngleShowsTruncatedWholeDegreesWithAnApostrophe)
{
    EXPECT_EQ(vehicles::AngleText({0, 0, 1}), "0'");
    EXPECT_EQ(vehicles::AngleText({1, 0, 0}), "89'");
    EXPECT_EQ(vehicles::AngleText({-1, 0, 0}), "-89'");
    EXPECT_EQ(vehicles::AngleText({0, 0, -1}), "179'");
    EXPECT_EQ(vehicles::AngleText({-0.0f, 0, -1}), "-179'");
    EXPECT_EQ(PlaneRig().plane.AngleText(), "0'");
}

TEST(PlaneTexts, AltitudeAndSpeedAreSafeForAnyFloat)
{
    EXPECT_EQ(vehicles::AltitudeText(6.9f), "6m");
    EXPECT_EQ(vehicles::AltitudeText(-0.5f), "0m");
    EXPECT_EQ(vehicles::AltitudeText(1e12f), "2147483647m");
    EXPECT_EQ(vehicles::AltitudeText(-1e12f), "-2147483648m");
    EXPECT_EQ(vehicles::AltitudeText(std::nanf("")), "0m");
    EXPECT_EQ(vehicles::SpeedText(1e12f), "2147483647km/h");
    EXPECT_EQ(vehicles::SpeedText(-INFINITY), "-2147483648km/h");
    EXPECT_EQ(PlaneRig().plane.AltitudeText(), "6m");
}

TEST(PlaneModel, AFolderWithoutModelsLeavesNoAeroplane)
{
    PlaneRig rig;
    rig.plane.ScanFolder(rig.setUp, rig.device.get());
    EXPECT_EQ(rig.setUp.Items(su::kPlaneModel), (std::vector<std::string>{"Jet"}));
    EXPECT_TRUE(rig.plane.Body().Model().HasMesh());

    ModelFolder empty;
    rig.plane.SetFolder(empty.Path());
    rig.plane.ScanFolder(rig.setUp, rig.device.get());
    EXPECT_EQ(rig.setUp.ItemCount(su::kPlaneModel), 0);
    EXPECT_FALSE(rig.plane.Body().Model().HasMesh()); // unlike the road car
    EXPECT_FALSE(rig.plane.Loaded());
    rig.device->ClearCalls();
    rig.plane.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(rig.Draws(), 0u);
}

TEST(PlaneModel, ABrokenMeshIsNotDrawnButItsIniIsReadAndLoadingPutsItAtHome)
{
    PlaneRig rig;
    rig.folder.Add("Wreck", "操縦席y=2\r\n操縦席z=-3\r\n回転角度=inf\r\n",
                   "xof 0303txt 0032\nMesh { 4; 0.0;");
    rig.plane.SetHome({1, 2, 3});
    rig.Hold({vk::kAdd, vk::kNumpad8});
    rig.Step(3);
    ASSERT_TRUE(rig.plane.LoadModel(rig.device.get(), "Wreck", false).ok());
    EXPECT_FALSE(rig.plane.Body().Model().HasMesh());
    EXPECT_EQ(rig.plane.CockpitY(), 2.0f);
    EXPECT_EQ(rig.plane.CockpitZ(), -3.0f);
    EXPECT_EQ(rig.plane.Body().Orientation(), math::Identity()); // "inf" read as the default 0
    EXPECT_EQ(rig.plane.Position(), (math::Vec3{1, 2, 3}));
    EXPECT_EQ(rig.plane.Forward(), (math::Vec3{0, 0, 1}));
    EXPECT_EQ(rig.plane.Up(), (math::Vec3{0, 1, 0}));
    EXPECT_EQ(rig.plane.Speed(), 0.0f);
    rig.device->ClearCalls();
    rig.plane.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(rig.Draws(), 0u);

    EXPECT_FALSE(rig.plane.LoadModel(nullptr, "Jet", false).ok());
    EXPECT_FALSE(rig.plane.Loaded());
}

TEST(PlaneGround, ADiveStopsAtTheGroundAndLevelsOutWhileFlightAboveItIsUntouched)
{
    PlaneRig rig, free;
    for (PlaneRig* r : {&rig, &free}) {
        for (int i = 0; i < 30; ++i)
            r->StepWith({vk::kNumpad8, vk::kNumpad4});
        r->Hold({vk::kAdd});
        r->Step(20);
        r->ReleaseAll();
    }
    // Above the ground nothing changes.
    rig.plane.StayAbove(rig.plane.Position().y - 0.5f);
    ExpectSameAttitude(rig.plane, free.plane);
    EXPECT_EQ(rig.plane.Position(), free.plane.Position());

    const float ground = rig.plane.Position().y - 0.1f;
    for (int frame = 0; frame < 200; ++frame) {
        rig.Step();
        rig.plane.TurnBody();
        rig.plane.StayAbove(ground);
        ASSERT_GE(rig.plane.Position().y, ground) << frame;
    }
    // Levelled at the ground, flying on with its speed and bank.
    EXPECT_EQ(rig.plane.Position().y, ground);
    EXPECT_NEAR(rig.plane.Forward().y, 0.0f, 1e-6f);
    ExpectUnit(rig.plane.Forward());
    EXPECT_NEAR(math::Dot(rig.plane.Forward(), rig.plane.Up()), 0.0f, 1e-4f);
    EXPECT_GT(rig.plane.Speed(), 0.0f);
}

} // namespace
