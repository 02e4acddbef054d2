// Trains on generated layouts: the per-car pass settles every car onto the track under its
// probes, round curves, up slopes, over bridges and through turnouts.
#include "gfx/RecordingDevice.h"
#include "vehicles/TrainTestSupport.h"

#include <cmath>

namespace {

using surfacetest::OffCircle;
using tracks::CurveLine;
using tracks::StraightLine;
using traintest::TrainTest;

constexpr double kRadians = tracks::kPi / 180.0;

TEST_F(TrainTest, ProbesOnSurfacesHalfAUnitApartGiveTheMeanHeightAndThePitch)
{
    WriteSolid("plate", tracks::BoxText(-1, 1, -0.3, 0, -1, 1));
    Scan();
    Place(Type("plate"), 0, 0.0f, -1.0f); // under the rear probe
    Place(Type("plate"), 0, 0.5f, 1.0f);  // under the front probe
    WriteCar("car", 3.0);                 // probes 1.0 and 1.0
    WriteConsist("t", "car", 1);
    train.SetHome({0, 0.2f, 0}, 0.0f);
    Load("t");
    train.FollowTrack(surface, {.heightDetection = true, .curveDetection = false, .editTool = true});
    EXPECT_NEAR(train.Car(0).position.y, 0.25f, 1e-5f);
    EXPECT_NEAR(train.Car(0).pitch, std::atan2(0.5f, 2.0f), 1e-6f);
    EXPECT_EQ(train.Car(0).below, 1);
    EXPECT_EQ(train.Car(0).belowRear, 0);

    // Unequal probes weigh the two heights by their distances.
    WriteCar("lever", 3.0, {"判定位置前方=1.5", "判定位置後方=0.5"});
    WriteConsist("u", "lever", 1);
    Load("u");
    train.FollowTrack(surface, {.heightDetection = true, .curveDetection = false, .editTool = true});
    EXPECT_NEAR(train.Car(0).position.y, 0.0f + 0.5f * 0.5f / 2.0f, 1e-5f);
}

TEST_F(TrainTest, AStandingTrainKeepsItsPoseUntilItMoves)
{
    WriteTrack("straight", {StraightLine(40.0)});
    Scan();
    Place(Type("straight"), 0, 0, 0);
    WriteCar("car", 4.0);
    WriteConsist("t", "car", 2);
    train.SetHome({0.3f, 0.4f, 20}, 0.1f);
    Load("t");
    Pass();
    EXPECT_FLOAT_EQ(train.Car(0).position.y, 0.4f);
    EXPECT_FLOAT_EQ(train.Car(0).position.x, 0.3f);
    EXPECT_FLOAT_EQ(train.Car(0).yaw, 0.1f);
    EXPECT_EQ(train.Car(0).below, 0); // the probes still look

    // An edit tool makes the following run at speed 0: the car snaps onto the track.
    train.FollowTrack(surface, {.editTool = true});
    EXPECT_NEAR(train.Car(0).position.y, 0.0f, 1e-5f);
    EXPECT_NEAR(train.Car(0).position.x, 0.0f, 1e-4f);
    EXPECT_NEAR(train.Car(0).yaw, 0.0f, 1e-4f);
}

TEST_F(TrainTest, ProbesWithoutALeverLeaveTheCarWhereDrivingPutsItAndHugeProbesStayFinite)
{
    WriteTrack("straight", {StraightLine(400.0)});
    Scan();
    Place(Type("straight"), 0, 0, 0);
    // Both probes at one point: settling there would jump the car one unit ahead each frame.
    WriteCar("odd", 4.0, {"判定位置前方=1", "判定位置後方=-1"});
    WriteConsist("t", "odd", 2);
    train.SetHome({0.2f, 0.1f, 20}, 0.0f);
    Load("t");
    train.FollowTrack(surface, {.editTool = true});
    EXPECT_FLOAT_EQ(train.Car(0).position.x, 0.2f);
    EXPECT_FLOAT_EQ(train.Car(0).position.y, 0.1f);
    EXPECT_FLOAT_EQ(train.Car(0).position.z, 20.0f);
    drive.noDeceleration = true;
    train.SetSpeed(0.05f);
    for (int frame = 0; frame < 100; ++frame)
        Pass();
    EXPECT_NEAR(train.Car(0).position.z, 25.0f, 0.01f);

    // Distances whose sum overflows a float are held to 10000 when read.
    WriteCar("huge", 4.0, {"判定位置前方=3e38", "判定位置後方=2e38"});
    WriteConsist("h", "huge", 2);
    Load("h");
    EXPECT_FLOAT_EQ(train.Car(0).frontProbe, 10000.0f);
    EXPECT_FLOAT_EQ(train.Car(1).rearProbe, 10000.0f);
    for (int frame = 0; frame < 10; ++frame)
        Pass({.heightDetection = true, .curveDetection = true});
    for (const vehicles::TrainCar& car : train.Cars()) {
        EXPECT_TRUE(std::isfinite(car.position.x) && std::isfinite(car.position.y) &&
                    std::isfinite(car.position.z) && std::isfinite(car.pitch) && std::isfinite(car.yaw));
    }
}

TEST_F(TrainTest, RoundACircleOfCurvesForTenLapsTheTrainKeepsToTheCentreLine)
{
    constexpr double radius = 40.0;
    constexpr int pieces = 12;
    WriteTrack("curve", {CurveLine(radius, 360.0 / pieces)});
    Scan();
    for (int j = 0; j < pieces; ++j) {
        const double heading = 360.0 / pieces * j * kRadians;
        Place(Type("curve"), static_cast<float>(-radius * std::cos(heading)), 0,
              static_cast<float>(radius * std::sin(heading)), static_cast<float>(360.0 / pieces * j));
    }
    WriteCar("car", 4.0, {"判定位置前方=1.5", "判定位置後方=1.5"});
    WriteConsist("t", "car", 3);
    train.SetHome({static_cast<float>(-radius), 0, 0}, 0.0f);
    Load("t");
    drive.noDeceleration = true;
    train.SetSpeed(0.25f);

    const double chord = 3.0; // front + rear probe
    const double originLimit = chord * chord / (8.0 * radius) + 0.02;
    double worstGuide = 0;
    double worstOrigin = 0;
    double travelled = 0;
    double lastAngle = std::atan2(train.Car(0).position.x, train.Car(0).position.z);
    // The cars were formed in a straight line at home; they settle onto the curve in a few
    // frames, then ten laps follow.
    constexpr int settling = 10;
    for (int frame = 0; frame < settling; ++frame)
        Pass();
    const int frames = static_cast<int>(10 * 2 * tracks::kPi * radius / 0.25) + 10;
    for (int frame = 0; frame < frames; ++frame) {
        Pass();
        for (const vehicles::TrainCar& car : train.Cars()) {
            worstGuide = std::max({worstGuide, OffCircle(car.guideFront.x, car.guideFront.z, radius),
                                   OffCircle(car.guideRear.x, car.guideRear.z, radius)});
            worstOrigin = std::max(worstOrigin, OffCircle(car.position.x, car.position.z, radius));
            ASSERT_NE(car.below, -1) << "frame " << frame;
            ASSERT_NEAR(car.position.y, 0.0f, 1e-4f);
        }
        const double angle = std::atan2(train.Car(0).position.x, train.Car(0).position.z);
        travelled += std::remainder(angle - lastAngle, 2 * tracks::kPi);
        lastAngle = angle;
    }
    EXPECT_LE(worstGuide, 0.02);
    EXPECT_LE(worstOrigin, originLimit);
    EXPECT_GE(std::fabs(travelled), 10 * 2 * tracks::kPi * 0.99);
    // The cars kept their spacing.
    const math::Vec3 a = train.Car(0).position;
    const math::Vec3 b = train.Car(1).position;
    EXPECT_NEAR(std::hypot(a.x - b.x, a.z - b.z), 4.2, 0.05);
}

TEST_F(TrainTest, UpASlopeAndOverABridgeAtTheRightHeights)
{
    WriteTrack("flat", {StraightLine(20.0)});
    WriteTrack("ramp", {StraightLine(20.0, 2.0)});
    Scan();
    Place(Type("flat"), 0, 0, 0);
    Place(Type("ramp"), 0, 0, 20);
    const int deck = Place(Type("flat"), 0, 2.0f, 40);
    Place(Type("flat"), 0, 2.0f, 60);
    const int under = Place(Type("flat"), -10, 0, 50, 90.0f); // crosses below the deck
    WriteCar("car", 4.0, {"判定位置前方=1.5", "判定位置後方=1.5"});
    WriteConsist("t", "car", 2);
    train.SetHome({0, 0, 8}, 0.0f);
    Load("t");
    drive.noDeceleration = true;
    train.SetSpeed(0.2f);

    const float slopePitch = std::atan2(2.0f, 20.0f);
    int onRamp = 0;
    int onDeck = 0;
    while (train.Car(1).position.z < 65.0f) {
        Pass();
        for (const vehicles::TrainCar& car : train.Cars()) {
            const float z = car.position.z;
            ASSERT_NEAR(car.position.x, 0.0f, 1e-3f);
            if (z - 1.5f > 20.5f && z + 1.5f < 39.5f) {
                ++onRamp;
                ASSERT_NEAR(car.position.y, (z - 20.0f) * 0.1f, 2e-3f) << "z " << z;
                ASSERT_NEAR(car.pitch, slopePitch, 2e-3f);
            }
            if (z - 1.5f > 40.5f) {
                ++onDeck;
                ASSERT_NEAR(car.position.y, 2.0f, 1e-4f) << "z " << z;
                ASSERT_NEAR(car.pitch, 0.0f, 1e-4f);
                ASSERT_NE(car.below, under);
            }
            if (z > 49.0f && z < 51.0f) {
                ASSERT_EQ(car.below, deck);
            }
        }
    }
    EXPECT_GT(onRamp, 100);
    EXPECT_GT(onDeck, 100);
}

TEST_F(TrainTest, ATrainComingFromTheBranchThrowsTheTurnout)
{
    constexpr double branchRadius = 60.0;
    constexpr double branchDegrees = 19.47;
    WriteTrack("turnout", {StraightLine(20.0), CurveLine(branchRadius, branchDegrees)});
    WriteTrack("straight", {StraightLine(20.0)});
    Scan();
    const int turnout = Place(Type("turnout"), 0, 0, 0);
    // A straight piece leads on from the branch's end.
    const double a = branchDegrees * kRadians;
    const float endX = static_cast<float>(branchRadius - branchRadius * std::cos(a));
    const float endZ = static_cast<float>(branchRadius * std::sin(a));
    Place(Type("straight"), endX, 0, endZ, static_cast<float>(branchDegrees));
    ASSERT_EQ(layout.Placed().Find(turnout)->route, 0);

    // The train stands on the lead-on piece facing the points.
    WriteCar("car", 4.0, {"判定位置前方=1.5", "判定位置後方=1.5"});
    WriteConsist("t", "car", 2);
    train.SetHome(
        {endX + static_cast<float>(12 * std::sin(a)), 0, endZ + static_cast<float>(12 * std::cos(a))},
        static_cast<float>(a + tracks::kPi));
    Load("t");
    drive.noDeceleration = true;
    train.SetSpeed(0.2f);

    double worst = 0;
    while (train.Car(0).position.z > 2.0f) {
        Pass();
        const vehicles::TrainCar& lead = train.Car(0);
        if (lead.position.z < endZ - 1.0f)
            worst = std::max(worst, OffCircle(lead.position.x - static_cast<float>(branchRadius),
                                              lead.position.z, branchRadius));
        ASSERT_LT(train.Car(1).position.z, 40.0f);
    }
    EXPECT_EQ(layout.Placed().Find(turnout)->route, 1);
    EXPECT_EQ(surface.ThrownTurnouts(), 1);
    const double chord = 3.0;
    EXPECT_LT(worst, chord * chord / (8 * branchRadius) + 0.02);
}

class TrainDrawTest : public TrainTest {
  protected:
    void SetUp() override
    {
        WriteTrack("straight", {StraightLine(200.0, 0.0, 20)});
        Scan();
        Place(Type("straight"), 0, 0, -100);
        WriteCar("car", 4.0);
        WriteConsist("t", "car", 3);
        train.SetHome({0, 0.3f, 0}, 0.0f);
        Load("t");
        view.view = math::LookAtLH({0, 5, -20}, {0, 0, 0}, {0, 1, 0});
        view.projection = math::PerspectiveFovLH(0.8f, 4.0f / 3.0f, 1.0f, 1000.0f);
        view.viewport = {0, 0, 640, 480, 0, 1};
        view.eye = {0, 5, -20};
    }

    int DrawnCars()
    {
        device->ClearCalls();
        train.FollowTrack(surface, follow);
        train.DrawCars(device.get(), view, true);
        return static_cast<int>(device->CallsOf<gfx::call::DrawSubset>().size());
    }

    vehicles::FollowControls follow{.editTool = true};
    vehicles::CullView view;
};

TEST_F(TrainDrawTest, EachVisibleCarIsDrawnAtItsPoseLoweredByTheOffset)
{
    EXPECT_EQ(DrawnCars(), 3);
    const auto transforms = device->CallsOf<gfx::call::SetTransform>();
    ASSERT_EQ(transforms.size(), 3u);
    EXPECT_EQ(transforms[1].kind, gfx::TransformKind::World);
    EXPECT_FLOAT_EQ(transforms[1].matrix(3, 2), train.Car(1).position.z);
    // The cars were drawn where the pass put them, on the track.
    EXPECT_NEAR(train.Car(2).position.y, 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(transforms[2].matrix(3, 1), train.Car(2).position.y - train.VerticalOffset());
}

TEST_F(TrainDrawTest, CarsBehindTheCameraOrBeyondTheCullingDistanceAreNotDrawnButFollow)
{
    train.MutableCar(2).position = {0, 0.4f, -60};
    view.cullingDistance = 1000;
    EXPECT_EQ(DrawnCars(), 2);
    EXPECT_FALSE(train.IsCarVisible(2, view));
    EXPECT_NEAR(train.Car(2).position.y, 0.0f, 1e-5f);

    // The lead car stands 20.6 units from the eye: drawn at 21, not at 20.
    view.cullingDistance = 21;
    EXPECT_TRUE(train.IsCarVisible(0, view));
    view.cullingDistance = 20;
    EXPECT_FALSE(train.IsCarVisible(0, view));
}

TEST_F(TrainDrawTest, DrawingMovesNothingAndATrainNotShownIsNotDrawn)
{
    EXPECT_TRUE(train.Runs(true));
    EXPECT_FALSE(train.Runs(false));
    train.DrawCars(device.get(), view, true);
    EXPECT_FLOAT_EQ(train.Car(0).position.y, 0.3f) << "drawing only reads the poses";
    device->ClearCalls();
    train.DrawCars(device.get(), view, false);
    EXPECT_TRUE(device->Calls().empty());
}

} // namespace
