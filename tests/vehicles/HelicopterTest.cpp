// The helicopter: its velocity relative to the heading, the lean that builds up and levels out
// inside the speed bands, turning with the motion, and that undefined speeds (no horizontal
// motion, a vertical nose) never reach its pose.
#include "FlyerCarTestSupport.h"
#include "platform/VirtualKeys.h"
#include "vehicles/CHelicopter.h"
#include "vehicles/VehicleMotion.h"

#include <cmath>

namespace {

namespace vk = platform::vk;
namespace su = ui::setup;
using vehicles::CHelicopter;
using vehicles::ForwardSpeed;
using vehicles::LateralSpeed;
using vehicletest::ExpectUnit;
using vehicletest::ModelFolder;
using vehicletest::Rig;

constexpr math::Vec3 kUp{0, 1, 0};

struct HelicopterRig : Rig {
    HelicopterRig()
    {
        folder.Add("Heli", "操縦席y=1\r\n操縦席z=0.5\r\n");
        helicopter.SetFolder(folder.Path());
        EXPECT_TRUE(helicopter.LoadModel(device.get(), "Heli", false).ok());
        Check(su::kDriveHelicopter, true);
    }
    void Step(int frames = 1, bool draw = false)
    {
        for (int i = 0; i < frames; ++i) {
            helicopter.UpdateControls(input, setUp);
            if (!draw) continue;
            helicopter.TurnBody();
            helicopter.Draw(device.get(), setUp, kEye);
        }
    }
    void StepWith(std::initializer_list<int> codes, int frames = 1)
    {
        ReleaseAll();
        Hold(codes);
        Step(frames);
        ReleaseAll();
    }
    // Degrees the nose points below the horizon.
    double Lean() const
    {
        return -std::asin(static_cast<double>(helicopter.Forward().y)) * 180.0 / 3.14159265358979;
    }
    float Forward() const { return ForwardSpeed(helicopter.Velocity(), helicopter.Forward()).value_or(NAN); }

    ModelFolder folder;
    CHelicopter helicopter{ModelFolder::kSection};
};

TEST(HelicopterSpeeds, ForwardAndLateralSpeedsRelativeToTheHeading)
{
    const math::Vec3 ahead{0, 0, 1};
    EXPECT_FLOAT_EQ(*ForwardSpeed({0, 0.5f, 0.3f}, ahead), 0.3f);
    EXPECT_FLOAT_EQ(*ForwardSpeed({0, 0, -0.3f}, ahead), -0.3f);
    EXPECT_NEAR(*ForwardSpeed({0.3f, 0, 0.3f}, {0, -0.6f, 0.8f}), 0.3f, 1e-6f); // the lean does not count
    // Towards the keypad-4 side (-x when facing +z) the signed lateral speed is negative.
    EXPECT_FLOAT_EQ(*LateralSpeed({-0.2f, 0, 0}, ahead), 0.2f);
    EXPECT_FLOAT_EQ(*LateralSpeed({-0.2f, 0, 0}, ahead, &kUp), -0.2f);
    EXPECT_FLOAT_EQ(*LateralSpeed({0.2f, 0, 0}, ahead, &kUp), 0.2f);
    EXPECT_NEAR(*LateralSpeed({0, 0, 0.2f}, ahead, &kUp), 0.0f, 1e-6f);
}

TEST(HelicopterSpeeds, AreUndefinedWithoutHorizontalMotionOrHorizontalForward)
{
    EXPECT_FALSE(ForwardSpeed({0, 0.3f, 0}, {0, 0, 1}));
    EXPECT_FALSE(LateralSpeed({0, 0, 0}, {0, 0, 1}, &kUp));
    EXPECT_FALSE(ForwardSpeed({0.1f, 0, 0}, {0, -1, 0}));
    EXPECT_FALSE(LateralSpeed({0.1f, 0, 0}, {0, -1, 0}, &kUp));
}

TEST(HelicopterLean, NoseDipsATenthOfADegreePerFrameUntilTheForwardSpeedReachesPointThree)
{
    HelicopterRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.Hold({vk::kNumpad8});
    int leaning = 0;
    for (int frame = 0; frame < 300; ++frame) {
        const double before = rig.Lean();
        rig.Step(1, true);
        const double change = rig.Lean() - before;
        if (change != 0.0) {
            ++leaning;
            EXPECT_NEAR(change, 0.1, 1e-3) << frame;
            EXPECT_LT(rig.Forward(), 0.3f + 1e-6f) << frame;
        }
    }
    EXPECT_NEAR(leaning, 150, 1);
    EXPECT_NEAR(rig.Lean(), 15.0, 0.15);
    EXPECT_NEAR(rig.Forward(), 0.6f, 1e-3f); // the speed kept rising
    ExpectUnit(rig.helicopter.Forward());
    EXPECT_EQ(rig.helicopter.Up(), kUp);
}

TEST(HelicopterLean, LevelsAHundredthOfADegreePerFrameAsTheDragSlowsIt)
{
    HelicopterRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.StepWith({vk::kNumpad8}, 20);
    ASSERT_NEAR(rig.Lean(), 2.0, 1e-3);
    ASSERT_NEAR(rig.Forward(), 0.04f, 1e-6f);

    rig.Check(su::kNoDeceleration, false);
    rig.Step(100);
    EXPECT_NEAR(rig.Lean(), 1.0, 1e-3);
    EXPECT_NEAR(rig.Forward(), 0.02f, 1e-5f);
}

TEST(HelicopterLean, KeypadFiveStopsTheMotionButKeepsTheLean)
{
    HelicopterRig rig;
    rig.StepWith({vk::kNumpad8}, 30);
    const double lean = rig.Lean();
    ASSERT_GT(lean, 2.0);
    rig.StepWith({vk::kNumpad5});
    EXPECT_EQ(rig.helicopter.Velocity(), (math::Vec3{}));
    const math::Vec3 forward = rig.helicopter.Forward();
    const math::Vec3 position = rig.helicopter.Position();
    // No motion, no levelling, no drift: the undefined speeds change nothing.
    rig.Step(500, true);
    EXPECT_EQ(rig.helicopter.Forward(), forward);
    EXPECT_EQ(rig.helicopter.Position(), position);
}

TEST(HelicopterLean, PlusAndMinusNeverTiltTheBodyAndTheClimbDecays)
{
    HelicopterRig rig;
    rig.StepWith({vk::kAdd}, 10);
    EXPECT_NEAR(rig.helicopter.Velocity().y, 0.019f, 1e-6f); // 0.002 up, 0.0001 decay per frame
    rig.Step(1);
    EXPECT_NEAR(rig.helicopter.Velocity().y, 0.0189f, 1e-6f);
    rig.StepWith({vk::kSubtract}, 30);
    rig.Step(1000, true);
    EXPECT_EQ(rig.helicopter.Velocity(), (math::Vec3{}));
    EXPECT_EQ(rig.helicopter.Forward(), (math::Vec3{0, 0, 1}));
    EXPECT_EQ(rig.helicopter.Body().Orientation(), math::Identity());
}

TEST(HelicopterMotion, TurningCarriesTheVelocityWithTheHelicopter)
{
    HelicopterRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.StepWith({vk::kNumpad8}, 50);
    const float speed = rig.Forward();
    rig.StepWith({vk::kNumpad1}, 180); // a quarter turn to the left
    EXPECT_NEAR(rig.helicopter.Heading(), -3.14159265f / 2, 1e-3f);
    EXPECT_NEAR(rig.Forward(), speed, 1e-5f);
    EXPECT_NEAR(*LateralSpeed(rig.helicopter.Velocity(), rig.helicopter.Forward()), 0.0f, 1e-3f);
    EXPECT_LT(rig.helicopter.Velocity().x, -0.09f);
}

TEST(HelicopterMotion, BackwardsGivesANegativeForwardSpeedAndRaisesTheNose)
{
    HelicopterRig rig;
    // Without the drag, whose rounding residue would push it sideways a little.
    rig.Check(su::kNoDeceleration, true);
    rig.StepWith({vk::kNumpad2});
    const math::Vec3 v = rig.helicopter.Velocity();
    EXPECT_FLOAT_EQ(rig.Forward(), -std::sqrt(v.x * v.x + v.z * v.z));
    EXPECT_GT(rig.helicopter.Forward().y, 0.0f);
    EXPECT_LT(rig.helicopter.Position().z, CHelicopter::kInitialHome.z);
}

TEST(HelicopterMotion, SidewaysPushesAcrossTheHeadingAndBanksOnlyTheBody)
{
    HelicopterRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.Hold({vk::kNumpad4});
    rig.helicopter.UpdateControls(rig.input, rig.setUp);
    EXPECT_LT(rig.helicopter.Velocity().x, 0.0f);
    EXPECT_EQ(rig.helicopter.Forward(), (math::Vec3{0, 0, 1}));
    EXPECT_NE(rig.helicopter.Body().Roll(), math::Quaternion{});
    rig.helicopter.TurnBody();
    // The body's up axis leans to the keypad-4 side.
    EXPECT_LT(rig.helicopter.Body().Orientation()(1, 0), 0.0f);
}

TEST(HelicopterMotion, AtRestNothingMovesAndNothingBecomesUndefined)
{
    HelicopterRig rig;
    rig.Step(1000, true);
    EXPECT_EQ(rig.helicopter.Position(), CHelicopter::kInitialHome);
    EXPECT_EQ(rig.helicopter.Forward(), (math::Vec3{0, 0, 1}));
    EXPECT_EQ(rig.helicopter.Body().Orientation(), math::Identity());
    EXPECT_EQ(rig.helicopter.SpeedText(), "0km/h");
    EXPECT_EQ(rig.helicopter.AltitudeText(), "6m");
}

TEST(HelicopterMotion, AResidualDragKeepsFlippingWithoutTurningTheBody)
{
    // Kept as designed: the drag does not stop at zero, so a speed below one drag step changes
    // sign every frame and its levelling rotations cancel.
    HelicopterRig rig;
    rig.StepWith({vk::kNumpad8});
    rig.Step(30);
    const double lean = rig.Lean();
    for (int frame = 0; frame < 20; ++frame) {
        rig.Step(1, true);
        EXPECT_LT(std::fabs(rig.Forward()), 0.0002f + 1e-7f);
        EXPECT_NEAR(rig.Lean(), lean, 0.011);
    }
}

TEST(HelicopterLean, AVerticalNoseStaysFiniteAndUnitLength)
{
    // Keypad 5 zeroes the speed each frame, so the nose dips on and on towards the vertical.
    HelicopterRig rig;
    rig.Hold({vk::kNumpad8, vk::kNumpad5});
    for (int frame = 0; frame < 3000; ++frame) {
        rig.Step(1, true);
        const math::Vec3 f = rig.helicopter.Forward();
        ASSERT_TRUE(std::isfinite(f.x) && std::isfinite(f.y) && std::isfinite(f.z)) << frame;
    }
    // The lean stopped just short of the vertical, still facing where it faced.
    ExpectUnit(rig.helicopter.Forward());
    EXPECT_LT(rig.helicopter.Forward().y, -0.999f);
    EXPECT_GT(rig.helicopter.Forward().z, 0.0f);
    EXPECT_FLOAT_EQ(rig.helicopter.Heading(), 0.0f);
    const math::Vec3 stopped = rig.helicopter.Forward();
    rig.Step(10, true);
    EXPECT_EQ(rig.helicopter.Forward(), stopped);
    const math::Matrix& m = rig.helicopter.Body().Orientation();
    for (int r = 0; r < 3; ++r)
        ExpectUnit({m(r, 0), m(r, 1), m(r, 2)}, 1e-3f);
    EXPECT_TRUE(std::isfinite(rig.helicopter.Heading()));
    EXPECT_EQ(rig.helicopter.Position(), CHelicopter::kInitialHome);

    // And it levels out again once it moves.
    rig.ReleaseAll();
    rig.StepWith({vk::kNumpad2}, 20);
    EXPECT_LT(rig.Lean(), 89.0);
    ExpectUnit(rig.helicopter.Forward());
}

TEST(HelicopterTexts, SpeedCountsTheClimbAndAltitudeIsTruncated)
{
    HelicopterRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.StepWith({vk::kAdd, vk::kNumpad8}, 25);
    const math::Vec3 v = rig.helicopter.Velocity();
    EXPECT_EQ(rig.helicopter.SpeedText(),
              std::to_string(static_cast<int>(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z) * 200.0)) +
                  "km/h");
    EXPECT_EQ(rig.helicopter.SpeedText(), "14km/h"); // sqrt(0.05² + 0.05²) × 200
    EXPECT_EQ(rig.helicopter.AltitudeText(),
              std::to_string(static_cast<int>(rig.helicopter.Position().y)) + "m");
}

TEST(HelicopterModel, AFolderWithoutModelsLeavesNoHelicopterAndLoadingResetsThePose)
{
    HelicopterRig rig;
    rig.StepWith({vk::kNumpad8, vk::kNumpad3}, 40);
    rig.helicopter.SetHome({7, 8, 9});
    ASSERT_TRUE(rig.helicopter.LoadModel(rig.device.get(), "Heli", false).ok());
    EXPECT_EQ(rig.helicopter.Position(), (math::Vec3{7, 8, 9}));
    EXPECT_EQ(rig.helicopter.Velocity(), (math::Vec3{}));
    EXPECT_EQ(rig.helicopter.Forward(), (math::Vec3{0, 0, 1}));
    EXPECT_EQ(rig.helicopter.CockpitY(), 1.0f);
    EXPECT_EQ(rig.helicopter.CockpitZ(), 0.5f);

    ModelFolder empty;
    rig.helicopter.SetFolder(empty.Path());
    rig.helicopter.ScanFolder(rig.setUp, rig.device.get());
    EXPECT_EQ(rig.setUp.ItemCount(su::kHelicopterModel), 0);
    EXPECT_FALSE(rig.helicopter.Body().Model().HasMesh());
    rig.device->ClearCalls();
    rig.helicopter.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(rig.Draws(), 0u);
}

TEST(HelicopterGround, ADescentLandsOnTheGround)
{
    HelicopterRig rig;
    rig.StepWith({vk::kSubtract, vk::kNumpad8}, 40);
    const math::Vec3 before = rig.helicopter.Position();
    rig.helicopter.StayAbove(before.y - 1.0f); // above the ground: untouched
    EXPECT_EQ(rig.helicopter.Position(), before);
    for (int frame = 0; frame < 400; ++frame) {
        rig.Step();
        rig.helicopter.StayAbove(0.0f);
        ASSERT_GE(rig.helicopter.Position().y, 0.0f) << frame;
    }
    EXPECT_EQ(rig.helicopter.Position().y, 0.0f);
    // Landed: a pass later it has not sunk and does not climb.
    rig.Step();
    EXPECT_EQ(rig.helicopter.Position().y, 0.0f);
}

} // namespace
