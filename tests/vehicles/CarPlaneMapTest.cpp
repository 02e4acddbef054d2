// The road car's, aeroplane's and helicopter's lines of a map data file: loading sets their
// homes (a model load then puts them there), saving writes the homes they hold now.
#include "FlyerCarTestSupport.h"
#include "layout/LayoutTestSupport.h"
#include "layout/MapFile.h"
#include "vehicles/CCar.h"
#include "vehicles/CHelicopter.h"
#include "vehicles/CPlane.h"
#include "vehicles/VehicleStartPositions.h"

namespace {

class CarPlaneMapTest : public layouttest::LayoutTest {
  protected:
    vehicles::CPlane plane{layouttest::kSection};
    vehicles::CHelicopter helicopter{layouttest::kSection};
    vehicles::CCar car{layouttest::kSection};
    layout::StoredMapVehicles stored;
    vehicles::VehicleStartPositions starts{plane, helicopter, car, stored};
};

TEST_F(CarPlaneMapTest, LoadingAMapSetsTheHomesOfTheThreeVehicles)
{
    const std::string map =
        "KORVELA Map Data\r\n:Background\r\n\r\n:Object Name\r\n:Map Data\r\n"
        ":Position Data 2\r\n"
        "-10.000 0.000 0.000 0.000\r\n-6.000 0.000 0.000 0.000\r\n-2.000 0.000 0.000 0.000\r\n"
        "2.000 0.000 0.000 0.000\r\n6.000 0.000 0.000 0.000\r\n10.000 0.000 0.000 0.000\r\n"
        "1.500 20.000 -3.000\r\n2.500 30.000 -4.000\r\n3.500 0.250 -5.000\r\n"
        ":Vehicle Data 2\r\n";
    WriteFile("map.txt", map);
    ASSERT_EQ(layout::LoadMapFile(layout, folder + "map.txt", starts, {.device = device.get()}).outcome,
              layout::MapOutcome::Done);
    EXPECT_EQ(plane.Home(), (math::Vec3{1.5f, 20.0f, -3.0f}));
    EXPECT_EQ(helicopter.Home(), (math::Vec3{2.5f, 30.0f, -4.0f}));
    EXPECT_EQ(car.Home(), (math::Vec3{3.5f, 0.25f, -5.0f}));
    EXPECT_EQ(stored.StartPosition(layout::MapVehicle::Car), car.Home()); // kept in step
    EXPECT_EQ(stored.AppliedCount(), 1);
    // The train homes went past.
    EXPECT_EQ(stored.TrainHome(4).x, 2.0f);
}

TEST_F(CarPlaneMapTest, SavingWritesTheHomesTheVehiclesHoldNow)
{
    const std::string before = layout::MapFileText(layout, starts);
    EXPECT_NE(before.find("\r\n-4.000 6.000 0.000\r\n4.000 6.000 0.000\r\n0.000 0.200 15.000\r\n"),
              std::string::npos)
        << before;

    car.SetHome({7.25f, 1.0f, -2.0f});
    plane.SetHome({0.0f, 12.5f, 0.0f});
    const std::string after = layout::MapFileText(layout, starts);
    EXPECT_NE(after.find("\r\n0.000 12.500 0.000\r\n4.000 6.000 0.000\r\n7.250 1.000 -2.000\r\n"),
              std::string::npos)
        << after;
}

} // namespace
