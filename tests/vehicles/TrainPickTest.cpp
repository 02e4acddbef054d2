// Picking cars with the mouse and dragging a car or a whole train: grid, Shift and Alt, the
// hold kept during camera moves, and rays that never meet the planes the drags work in.
#include "layout/MapFile.h"
#include "math/Numeric.h"
#include "math/ValueLimits.h"
#include "vehicles/TrainMapVehicles.h"
#include "vehicles/TrainTestSupport.h"

#include <array>
#include <cmath>

namespace {

using traintest::TrainTest;

bool Finite(const vehicles::TrainCar& car)
{
    return std::isfinite(car.position.x) && std::isfinite(car.position.y) && std::isfinite(car.position.z) &&
           std::isfinite(car.yaw) && std::isfinite(car.pitch);
}

class TrainPickTest : public TrainTest {
  protected:
    void SetUp() override
    {
        WriteCar("car", 4.0);
        WriteConsist("t", "car", 3);
        train.SetHome({0, 0, 0}, 0.0f);
        Load("t");
    }
    vehicles::CarDragFlags flags;
};

TEST_F(TrainPickTest, ThePickedCarIsTheNearestAlongTheRay)
{
    // Looking down on the second car (z = -4.2): its roof is 98.5 below the ray's start.
    EXPECT_NEAR(train.PickCar(Down(0.3f, -4.0f)), 98.5f, 1e-3f);
    EXPECT_EQ(train.SelectedCar(), 1);
    EXPECT_EQ(*train.CarStatus(), "電車=1  No=1  x=0.000  y=0.000  z=-4.200  r=0.000");

    // A level ray along the train meets the lead car first.
    EXPECT_NEAR(train.PickCar({{0, 1, 30}, {0, 1, -30}}), 28.0f, 1e-3f);
    EXPECT_EQ(train.SelectedCar(), 0);

    EXPECT_EQ(train.PickCar(Down(5, 0)), vehicles::CTrain::kNoHit);
    EXPECT_EQ(train.SelectedCar(), -1);
    EXPECT_FALSE(train.CarStatus());

    vehicles::CTrain empty{2, traintest::kSection};
    EXPECT_EQ(empty.PickCar(Down(0, 0)), vehicles::CTrain::kNoHit);
}

TEST_F(TrainPickTest, TheCarIsPickedWhereItIsDrawnLoweredByTheOffset)
{
    WriteTrainFile("low", {"垂直方向オフセット=2", "1両目モデル名=car"});
    Load("low");
    // Drawn from y -2 to -0.5: a level ray at y = -1 meets it, one at y = 1 does not.
    EXPECT_LT(train.PickCar({{0, -1, 30}, {0, -1, -30}}), vehicles::CTrain::kNoHit);
    EXPECT_EQ(train.PickCar({{0, 1, 30}, {0, 1, -30}}), vehicles::CTrain::kNoHit);
}

TEST_F(TrainPickTest, GridMovesToWholeUnits)
{
    train.PickCar(Down(0.0f, 0.0f));
    flags.grid = true;
    train.DragCar(Down(2.95f, 0.0f), flags);
    EXPECT_FLOAT_EQ(train.Car(0).position.x, 3.0f);
    train.DragCar(Down(2.85f, 0.0f), flags);
    EXPECT_FLOAT_EQ(train.Car(0).position.x, 2.0f);
    // Only the picked car moves.
    EXPECT_FLOAT_EQ(train.Car(1).position.x, 0.0f);
}

TEST_F(TrainPickTest, MovingKeepsThePointHeldUnderTheMouse)
{
    train.PickCar(Down(0.5f, -4.0f)); // 0.5 right of the second car's origin, 0.2 ahead
    train.DragCar(Down(10.5f, 6.0f), flags);
    EXPECT_NEAR(train.Car(1).position.x, 10.0f, 1e-5f);
    EXPECT_NEAR(train.Car(1).position.z, 5.8f, 1e-5f);
}

TEST_F(TrainPickTest, AltWithGridTurnsInStepsOfFiveDegrees)
{
    train.PickCar(Down(0.0f, 1.0f)); // straight ahead of the lead car's origin
    flags.alt = true;
    flags.grid = true;
    const float minusTwo = -2.0f * math::kDegToRad;
    train.DragCar(Down(std::sin(minusTwo), std::cos(minusTwo)), flags);
    EXPECT_NEAR(train.Car(0).yaw, -5.0f * math::kDegToRad, 1e-6f);
    flags.grid = false;
    train.DragCar(Down(std::sin(minusTwo), std::cos(minusTwo)), flags);
    EXPECT_NEAR(train.Car(0).yaw, minusTwo, 1e-5f);
}

TEST_F(TrainPickTest, ShiftRaisesTheCarAndSwitchesHeightDetectionOff)
{
    train.PickCar(Down(0.0f, -8.4f)); // the third car
    flags.shift = true;
    // A slanting ray that crosses the plane x = 0 at height 2.3.
    const layout::PickRay slant{{-10, 12.3f, -8.4f}, {10, -7.7f, -8.4f}};
    const vehicles::CarDragResult result = train.DragCar(slant, flags);
    EXPECT_TRUE(result.heightDetectionOff);
    EXPECT_NEAR(train.Car(2).position.y, 2.3f, 1e-5f);
    flags.grid = true;
    train.DragCar(slant, flags);
    EXPECT_FLOAT_EQ(train.Car(2).position.y, 2.0f);
    EXPECT_FLOAT_EQ(train.Car(0).position.y, 0.0f);
    // A plain move does not touch height detection.
    flags = {};
    EXPECT_FALSE(train.DragCar(Down(0, -8.4f), flags).heightDetectionOff);
}

TEST_F(TrainPickTest, WholeTrainModeMovesEveryCarAndKeepsTheSpacing)
{
    flags.wholeTrain = true;
    std::array<math::Vec3, 3> before{};
    for (int i = 0; i < 3; ++i)
        before[static_cast<std::size_t>(i)] = train.Car(i).position;
    train.PickCar(Down(0.0f, -8.4f)); // the third car
    train.DragCar(Down(1.0f, -6.4f), flags);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(train.Car(i).position.x - before[static_cast<std::size_t>(i)].x, 1.0f, 1e-5f) << i;
        EXPECT_NEAR(train.Car(i).position.z - before[static_cast<std::size_t>(i)].z, 2.0f, 1e-5f) << i;
    }

    // Turning one car of the train turns the whole train about the lead car: the hold, taken
    // behind the lead car, is pulled round to its right, so the train now faces −x.
    flags.alt = true;
    train.PickCar(Down(1.0f, -2.2f));
    EXPECT_EQ(train.SelectedCar(), 1);
    train.DragCar(Down(11.0f, 2.0f), flags);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(train.Car(i).yaw, train.Car(0).yaw);
    EXPECT_NEAR(train.Car(0).yaw, -1.5707963f, 1e-5f);
    EXPECT_NEAR(train.Car(2).position.x, 1.0f + 8.4f, 1e-4f);
    const math::Vec3 a = train.Car(0).position;
    const math::Vec3 c = train.Car(2).position;
    EXPECT_NEAR(std::hypot(a.x - c.x, a.z - c.z), 8.4f, 1e-4f);
}

TEST_F(TrainPickTest, ALevelRayLeavesEveryCarFinite)
{
    const layout::PickRay level{{-30, 0.7f, -4.2f}, {30, 0.7f, -4.2f}};
    EXPECT_LT(train.PickCar(level), vehicles::CTrain::kNoHit);
    for (const bool whole : {false, true}) {
        for (const bool shift : {false, true}) {
            for (const bool alt : {false, true}) {
                train.DragCar(level, {.shift = shift, .alt = alt, .grid = true, .wholeTrain = whole});
                // A ray with no sideways part never meets a vertical plane either.
                train.DragCar({{0, 5, -4.2f}, {0, -5, -4.2f}},
                              {.shift = shift, .alt = alt, .wholeTrain = whole});
            }
        }
    }
    train.ReanchorGrab(level);
    for (const vehicles::TrainCar& car : train.Cars())
        EXPECT_TRUE(Finite(car));
}

TEST_F(TrainPickTest, GrazingRaysAndPointsBeyondReachLeaveTheCarWhereItWas)
{
    train.PickCar(Down(0, 0));
    // 0.3° below the horizon the track level is met 400 units ahead.
    for (const bool alt : {false, true})
        train.DragCar({{0, 2, 0}, {0, -3, 1000}}, {.alt = alt});
    EXPECT_EQ(train.Car(0).position, (math::Vec3{0, 0, 0}));
    EXPECT_EQ(train.Car(0).yaw, 0.0f);
    const layout::PickRay far{{0, 100, 0}, {0, -100, 400}}; // meets it 224 units from the eye
    train.DragCar(far, {.reach = 200});
    EXPECT_EQ(train.Car(0).position, (math::Vec3{0, 0, 0}));
    train.DragCar(far, {.reach = 300});
    EXPECT_NEAR(train.Car(0).position.z, 200.0f, 1e-3f);
}

TEST_F(TrainPickTest, ReanchoringTakesHoldAgainWithoutMovingAnything)
{
    train.PickCar(Down(0.0f, 0.5f));
    train.ReanchorGrab(Down(3.0f, 0.5f)); // the camera moved: the mouse now points elsewhere
    const math::Vec3 before = train.Car(0).position;
    EXPECT_EQ(train.Car(0).position, before);
    train.DragCar(Down(4.0f, 0.5f), flags);
    EXPECT_NEAR(train.Car(0).position.x, 1.0f, 1e-5f);
}

TEST_F(TrainPickTest, AHomeYawFromAMapOfAnySizeShowsTheStatusAtOnce)
{
    // A map whose train 1 faces 1e30 radians.
    layout::StoredMapVehicles written;
    written.SetTrainHome(1, {0, 0, 0, 1e30f});
    Scan();
    const std::string map = folder + "map.txt";
    testsupport::WriteBytes(map, layout::EncodeMapFile(layout::MapFileText(layout, written)));

    std::vector<vehicles::CTrain> slots;
    for (int slot = 1; slot <= 6; ++slot) {
        slots.emplace_back(slot, traintest::kSection);
        slots.back().SetFolder(trainFolder);
    }
    layout::StoredMapVehicles others;
    vehicles::TrainMapVehicles homes(slots, others);
    ASSERT_EQ(layout::LoadMapFile(layout, map, homes, {.device = device.get()}).outcome, layout::MapOutcome::Done);
    // Read as the end of the angle range, which still turns no product into infinity.
    const float limit = math::RangeOf(math::ValueKind::Angle).high;
    EXPECT_FLOAT_EQ(slots[0].HomeYaw(), limit);
    EXPECT_EQ(others.TrainHome(1).yaw, limit);

    ASSERT_TRUE(slots[0].LoadTrain(device.get(), "t"));
    const math::Vec3 lead = slots[0].LeadPosition();
    ASSERT_LT(slots[0].PickCar(Down(lead.x, lead.z)), vehicles::CTrain::kNoHit);
    const std::string status = *slots[0].CarStatus();
    const float shown = std::stof(status.substr(status.find("r=") + 2));
    EXPECT_GE(shown, 0.0f);
    EXPECT_LT(shown, 360.0f);
}

TEST_F(TrainPickTest, AMapSavedAfterStoreHomeWritesTheNewHome)
{
    std::vector<vehicles::CTrain> slots;
    for (int slot = 1; slot <= 6; ++slot)
        slots.emplace_back(slot, traintest::kSection);
    slots[2].SetFolder(trainFolder);
    ASSERT_TRUE(slots[2].LoadTrain(device.get(), "t"));
    slots[2].MutableCar(0).position = {7, 1, -3};
    slots[2].MutableCar(0).yaw = 0.25f;
    slots[2].StoreHome();

    layout::StoredMapVehicles others;
    vehicles::TrainMapVehicles homes(slots, others);
    EXPECT_EQ(homes.TrainHome(3), (layout::TrainHomePose{7, 1, -3, 0.25f}));
    const std::string text = layout::MapFileText(layout, homes);
    EXPECT_NE(text.find("7.000 1.000 -3.000 0.250"), std::string::npos) << text;
}

} // namespace
