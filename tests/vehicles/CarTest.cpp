// The road car: its keys and their priorities, the decay, steering, the speed text, its model
// handling and what it draws where.
#include "FlyerCarTestSupport.h"
#include "platform/VirtualKeys.h"
#include "vehicles/CCar.h"
#include "vehicles/VehicleMotion.h"

#include <cmath>

namespace {

namespace vk = platform::vk;
namespace su = ui::setup;
using vehicles::CCar;
using vehicletest::ModelFolder;
using vehicletest::Rig;

// A car standing at home with a loaded quad model.
struct CarRig : Rig {
    CarRig()
    {
        folder.Add("Van", "運転席x=0.5\r\n運転席y=1.5\r\n運転席z=2\r\n後輪位置=-1.25\r\n");
        car.SetFolder(folder.Path());
        EXPECT_TRUE(car.LoadModel(device.get(), "Van", false).ok());
    }
    void Step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            car.UpdateControls(input, setUp);
    }

    ModelFolder folder;
    CCar car{ModelFolder::kSection};
};

TEST(CarSpeed, DecayTakesATenThousandthAFrameAndSnapsToZero)
{
    // 0.00015 becomes 0.00005 and then snaps to 0 within the same frame.
    EXPECT_EQ(vehicles::DecayedSpeed(0.00015f), 0.0f);
    EXPECT_EQ(vehicles::DecayedSpeed(-0.00015f), 0.0f);
    EXPECT_FLOAT_EQ(vehicles::DecayedSpeed(0.01f), 0.0099f);
    EXPECT_FLOAT_EQ(vehicles::DecayedSpeed(-0.01f), -0.0099f);
    EXPECT_EQ(vehicles::DecayedSpeed(0.0f), 0.0f);
}

TEST(CarSpeed, UpAddsOneThousandthEveryFrameWithoutLimit)
{
    CarRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.Hold({vk::kUp});
    rig.Step(2000);
    EXPECT_NEAR(rig.car.Speed(), 2.0f, 1e-3f);
}

TEST(CarSpeed, ReleasedKeysLetTheCarComeToRestUnlessDecelerationIsOff)
{
    CarRig rig;
    rig.Hold({vk::kUp});
    rig.Step(10); // 0.001 added, 0.0001 taken per frame after the first
    rig.ReleaseAll();
    const float moving = rig.car.Speed();
    rig.Step(1);
    EXPECT_NEAR(rig.car.Speed(), moving - 0.0001f, 1e-7f);
    rig.Step(200);
    EXPECT_EQ(rig.car.Speed(), 0.0f);

    rig.Hold({vk::kUp});
    rig.Step(5);
    rig.ReleaseAll();
    rig.Check(su::kNoDeceleration, true);
    const float kept = rig.car.Speed();
    rig.Step(100);
    EXPECT_EQ(rig.car.Speed(), kept);
}

TEST(CarSpeed, StopKeysComeBeforeUpAndUpBeforeDown)
{
    for (int stop : {vk::kEnd, vk::kHome}) {
        CarRig rig;
        rig.Hold({vk::kUp});
        rig.Step(30);
        rig.Hold({stop});
        rig.Step(1);
        EXPECT_FLOAT_EQ(rig.car.Speed(), 0.001f) << stop;
    }
    CarRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.Hold({vk::kUp, vk::kDown});
    rig.Step(3);
    EXPECT_FLOAT_EQ(rig.car.Speed(), 0.003f);
}

TEST(CarSteering, ReversingSwapsTheSenseOfTheArrowKeys)
{
    CarRig rig;
    rig.Check(su::kNoDeceleration, true);
    // Standing still it turns too, as when driving forward.
    rig.Hold({vk::kLeft});
    rig.Step(1);
    EXPECT_FLOAT_EQ(rig.car.Heading(), -0.017453292f);
    rig.ReleaseAll();

    rig.Hold({vk::kDown});
    rig.Step(1);
    rig.ReleaseAll();
    ASSERT_LT(rig.car.Speed(), 0.0f);
    const float before = rig.car.Heading();
    rig.Hold({vk::kLeft});
    rig.Step(1);
    EXPECT_FLOAT_EQ(rig.car.Heading(), before + 0.017453292f);
    rig.ReleaseAll();
    rig.Hold({vk::kRight});
    rig.Step(2);
    EXPECT_FLOAT_EQ(rig.car.Heading(), before - 0.017453292f);

    // Left wins over Right.
    CarRig both;
    both.Hold({vk::kLeft, vk::kRight});
    both.Step(1);
    EXPECT_FLOAT_EQ(both.car.Heading(), -0.017453292f);
}

TEST(CarSteering, TheCarMovesAlongItsHeading)
{
    CarRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.Hold({vk::kRight});
    rig.Step(90); // a quarter turn standing still
    rig.ReleaseAll();
    EXPECT_EQ(rig.car.Position(), CCar::kInitialHome);
    rig.Hold({vk::kUp});
    rig.Step(10);
    const math::Vec3 p = rig.car.Position();
    EXPECT_NEAR(p.x, CCar::kInitialHome.x + 0.055f, 1e-4f); // 0.001 + 0.002 + ... + 0.010
    EXPECT_NEAR(p.z, CCar::kInitialHome.z, 1e-5f);
    EXPECT_EQ(p.y, CCar::kInitialHome.y);
}

TEST(CarSpeedText, TruncatesTheKmhTowardZero)
{
    EXPECT_EQ(vehicles::SpeedText(0.05f), "10km/h");
    EXPECT_EQ(vehicles::SpeedText(-0.025f), "-5km/h");
    // As a float -0.02 lies just above -0.02, so -3.9999... truncates to -3.
    EXPECT_EQ(vehicles::SpeedText(-0.02f), "-3km/h");
    EXPECT_EQ(vehicles::SpeedText(0.0f), "0km/h");

    CarRig rig;
    rig.Hold({vk::kDown});
    rig.Step(1);
    EXPECT_EQ(rig.car.SpeedText(), "0km/h"); // -0.001 × 200 = -0.2
}

TEST(CarModel, LoadingPutsTheCarAtHomeAndReadsTheIni)
{
    CarRig rig;
    rig.car.SetHome({1.0f, 2.0f, 3.0f});
    rig.Hold({vk::kUp, vk::kLeft});
    rig.Step(5);
    ASSERT_TRUE(rig.car.LoadModel(rig.device.get(), "Van", false).ok());
    EXPECT_EQ(rig.car.Position(), (math::Vec3{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(rig.car.Speed(), 0.0f);
    EXPECT_EQ(rig.car.Heading(), 0.0f);
    EXPECT_EQ(rig.car.DriverSeat(), (math::Vec3{0.5f, 1.5f, 2.0f}));
    EXPECT_EQ(rig.car.RearWheelOffset(), -1.25f);
    EXPECT_TRUE(rig.car.Model().HasMesh());

    rig.car.StoreHome();
    EXPECT_EQ(rig.car.Home(), rig.car.Position());
}

TEST(CarModel, WithoutADeviceTheModelIsReleasedAndLoadingFails)
{
    CarRig rig;
    EXPECT_FALSE(rig.car.LoadModel(nullptr, "Van", false).ok());
    EXPECT_FALSE(rig.car.Model().HasMesh());
    rig.car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(rig.Draws(), 0u);
}

TEST(CarModel, ABrokenMeshIsNotDrawnButItsIniIsRead)
{
    Rig rig;
    ModelFolder folder;
    folder.Add("Wreck", "運転席y=2.5\r\n後輪位置=0.75\r\n拡大率=nan\r\n", "xof 0303txt 0032\nMesh { 4; 0.0;");
    CCar car(ModelFolder::kSection);
    car.SetFolder(folder.Path());
    ASSERT_TRUE(car.LoadModel(rig.device.get(), "Wreck", false).ok());
    EXPECT_FALSE(car.Model().HasMesh());
    EXPECT_EQ(car.Model().Sphere().radius, 0.0f);
    EXPECT_EQ(car.DriverSeat().y, 2.5f);
    EXPECT_EQ(car.RearWheelOffset(), 0.75f);
    car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(rig.Draws(), 0u);
    // It still drives.
    rig.Hold({vk::kUp});
    car.UpdateControls(rig.input, rig.setUp);
    EXPECT_GT(car.Position().z, CCar::kInitialHome.z);
}

TEST(CarModel, TeapotIsTheBuiltInTeapotNotTheFile)
{
    Rig rig;
    ModelFolder folder;
    folder.Add("Teapot", "運転席z=3\r\n");
    CCar car(ModelFolder::kSection);
    car.SetFolder(folder.Path());
    car.ScanFolder(rig.setUp, rig.device.get());
    ASSERT_EQ(rig.setUp.ItemText(su::kCarModel, 0), "Teapot");
    ASSERT_TRUE(car.Model().HasMesh());
    EXPECT_EQ(car.Model().Model().mesh->VertexCount(), 1178u); // the quad file has 4
    EXPECT_EQ(car.Model().Model().materialCount, 0u);
    EXPECT_EQ(car.DriverSeat().z, 3.0f);

    // The name is matched exactly.
    folder.Add("teapot", "");
    ASSERT_TRUE(car.LoadModel(rig.device.get(), "teapot", false).ok());
    EXPECT_EQ(car.Model().Model().mesh->VertexCount(), 4u);
}

TEST(CarFolder, ListsModelsWithBothFilesAndKeepsTheModelWhenTheFolderHasNone)
{
    Rig rig;
    ModelFolder folder;
    folder.Add("Bus", "");
    folder.Add("Auto", "");
    folder.AddFile("Lonely.ini", "[KORVELA]\r\n"); // no .x beside it
    folder.AddFile("Orphan.x", vehicletest::kQuadX);
    CCar car(ModelFolder::kSection);
    car.SetFolder(folder.Path());
    car.ScanFolder(rig.setUp, rig.device.get());
    EXPECT_EQ(rig.setUp.Items(su::kCarModel), (std::vector<std::string>{"Auto", "Bus"}));
    EXPECT_EQ(rig.setUp.Selection(su::kCarModel), 0);
    EXPECT_TRUE(car.Model().HasMesh());

    // An index the box lacks changes nothing.
    car.SelectModel(rig.setUp, 5, rig.device.get());
    car.SelectModel(rig.setUp, -1, rig.device.get());
    EXPECT_TRUE(car.Model().HasMesh());

    ModelFolder empty;
    car.SetFolder(empty.Path());
    car.ScanFolder(rig.setUp, rig.device.get());
    EXPECT_EQ(rig.setUp.ItemCount(su::kCarModel), 0);
    EXPECT_EQ(rig.setUp.Selection(su::kCarModel), -1);
    EXPECT_TRUE(car.Model().HasMesh()); // unlike the flying vehicles
}

TEST(CarTurningPoint, ModelOriginLiesTheRearWheelOffsetFromThePosition)
{
    CarRig rig;
    rig.Check(su::kNoDeceleration, true);
    rig.Hold({vk::kRight});
    rig.Step(30);
    rig.ReleaseAll();
    const float h = rig.car.Heading();
    const math::Vec3 p = rig.car.Position();
    EXPECT_EQ(rig.car.ModelOrigin(true), p);
    const math::Vec3 origin = rig.car.ModelOrigin(false);
    EXPECT_NEAR(origin.x, p.x - 1.25f * std::sin(h), 1e-5f);
    EXPECT_NEAR(origin.z, p.z - 1.25f * std::cos(h), 1e-5f);
    EXPECT_EQ(origin.y, p.y);

    rig.Check(su::kTurnAboutCarOrigin, false);
    EXPECT_EQ(rig.car.ModelOrigin(rig.setUp), origin);
}

math::Matrix DrawnWorld(const Rig& rig)
{
    const auto draws = rig.device->CallsOf<gfx::call::DrawSubset>();
    EXPECT_EQ(draws.size(), 1u);
    return draws.empty() ? math::Matrix{} : draws.back().state.Transform(gfx::TransformKind::World);
}

void ExpectNear(const math::Matrix& a, const math::Matrix& b)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a(r, c), b(r, c), 1e-5f) << r << "," << c;
}

TEST(CarDrawing, UnlessTurningAboutItsOriginTheModelTurnsAboutItsRearAxle)
{
    CarRig rig;
    rig.folder.Add("Big", "拡大率=2\r\n回転角度=90\r\n後輪位置=1.5\r\n");
    ASSERT_TRUE(rig.car.LoadModel(rig.device.get(), "Big", false).ok());
    rig.Hold({vk::kLeft});
    rig.Step(20);
    const float h = rig.car.Heading();
    const math::Vec3 p = rig.car.Position();
    const math::Matrix base = math::Scaling(2, 2, 2) * math::RotationY(90.0f * 0.017453292f);

    rig.car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    ExpectNear(DrawnWorld(rig), base * math::RotationY(h) * math::Translation(p.x, p.y, p.z));

    rig.device->ClearCalls();
    rig.Check(su::kTurnAboutCarOrigin, false);
    rig.car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    const math::Matrix world = DrawnWorld(rig);
    ExpectNear(world,
               base * math::Translation(0, 0, 1.5f) * math::RotationY(h) * math::Translation(p.x, p.y, p.z));
    // The model's origin lands on ModelOrigin, the rear axle on the position.
    const math::Vec3 origin = math::TransformCoord({0, 0, 0}, world);
    EXPECT_NEAR(origin.x, rig.car.ModelOrigin(false).x, 1e-5f);
    EXPECT_NEAR(origin.z, rig.car.ModelOrigin(false).z, 1e-5f);
}

TEST(CarDrawing, ZeroRearWheelOffsetDrawsAlikeEitherWay)
{
    CarRig rig;
    rig.folder.Add("Plain", "");
    ASSERT_TRUE(rig.car.LoadModel(rig.device.get(), "Plain", false).ok());
    rig.Hold({vk::kRight});
    rig.Step(7);
    rig.car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    const math::Matrix turning = DrawnWorld(rig);
    rig.device->ClearCalls();
    rig.Check(su::kTurnAboutCarOrigin, false);
    rig.car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(DrawnWorld(rig), turning);
}

TEST(CarDrawing, ACarBeyondTheCullingDistanceOrOutOfViewIsNotDrawnButKeepsMoving)
{
    CarRig rig;
    rig.car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(rig.Draws(), 1u);

    // The car stands about 65 units from the eye; the distance is measured from the eye given.
    rig.setUp.SetPosition(su::kCulling, 100);
    rig.device->ClearCalls();
    rig.car.Draw(rig.device.get(), rig.setUp, Rig::kEye);
    EXPECT_EQ(rig.Draws(), 1u);
    rig.device->ClearCalls();
    rig.car.Draw(rig.device.get(), rig.setUp, {0.0f, 5.0f, -90.0f});
    EXPECT_EQ(rig.Draws(), 0u);

    // Behind the camera.
    rig.device->SetTransform(gfx::TransformKind::View, math::LookAtLH({0, 0, 40}, {0, 0, 80}, {0, 1, 0}));
    rig.car.Draw(rig.device.get(), rig.setUp, {0.0f, 0.0f, 40.0f});
    EXPECT_EQ(rig.Draws(), 0u);

    rig.Hold({vk::kUp});
    rig.Step(3);
    EXPECT_GT(rig.car.Position().z, CCar::kInitialHome.z);
}

} // namespace
