// The road car on the layout: driven with Up over a road, under a bridge deck, and up a ramp
// over that road and across the deck, it keeps to the surface it is on; and when the height
// is followed at all.
#include "FlyerCarTestSupport.h"
#include "layout/SurfaceTestSupport.h"
#include "platform/VirtualKeys.h"
#include "vehicles/CCar.h"

#include <algorithm>

namespace {

namespace vk = platform::vk;
namespace su = ui::setup;
using vehicles::CCar;
using vehicletest::ModelFolder;

// Height of the ramp's running surface along z: level, up to 2.5 between z 10 and 30, across
// the top to z 70, down again by z 90.
float RampHeight(float z)
{
    if (z <= 10.0f) return 0.0f;
    if (z <= 30.0f) return 2.5f * (z - 10.0f) / 20.0f;
    if (z <= 70.0f) return 2.5f;
    if (z <= 90.0f) return 2.5f * (90.0f - z) / 20.0f;
    return 0.0f;
}

tracks::Line RampLine()
{
    tracks::Line line;
    for (float z : {0.0f, 10.0f, 30.0f, 70.0f, 90.0f, 100.0f}) {
        line.points.push_back({0.0, RampHeight(z), z});
        line.headings.push_back(0.0);
    }
    return line;
}

// A straight road 100 long at x = 0 and a ramp beside it at x = 6, a bridge deck at height 2.5
// across both at z = 50 (over the road, level with the ramp's top), and a road across both at
// z = 60, under the ramp's top.
class CarGroundTest : public surfacetest::SurfaceTest {
  protected:
    CarGroundTest()
    {
        WriteSolid("Road", tracks::BoxText(-2, 2, -0.2, 0, 0, 100));
        WriteSolid("Deck", tracks::BoxText(-10, 10, 2.3, 2.5, -2, 2));
        tracks::MeshData ramp;
        tracks::AddBed(ramp, RampLine(), 2.0);
        WriteSolid("Ramp", tracks::XText(ramp));
        Scan();
        Place(Type("Road"), 0, 0, 0);
        Place(Type("Ramp"), 6, 0, 0);
        Place(Type("Deck"), 0, 0, 50);
        Place(Type("Road"), -20, 0, 60, 90);

        cars.Add("Van", "後輪位置=4\r\n");
        car.SetFolder(cars.Path());
    }

    void Start(math::Vec3 home)
    {
        car.SetHome(home);
        ASSERT_TRUE(car.LoadModel(rig.device.get(), "Van", false).ok());
    }
    // One pass and one frame, as the main loop runs them.
    void Frame(bool heightDetection = true, bool editing = false)
    {
        car.UpdateControls(rig.input, rig.setUp);
        car.FollowGround(rig.setUp,
                         {.surface = &surface, .heightDetection = heightDetection, .editing = editing});
    }

    vehicletest::Rig rig;
    ModelFolder cars;
    CCar car{ModelFolder::kSection};
};

TEST_F(CarGroundTest, OnTheRoadItStaysOnTheRoadUnderTheBridge)
{
    Start({0, 0, 5});
    rig.Hold({vk::kUp});
    while (car.Position().z < 95.0f) {
        Frame();
        ASSERT_NEAR(car.Position().y, 0.0f, 1e-4f) << "z " << car.Position().z;
    }
    EXPECT_NEAR(car.Position().x, 0.0f, 1e-4f);
}

TEST_F(CarGroundTest, UpTheRampItStaysOnTheRampAndTheDeckOverTheRoad)
{
    Start({6, 0, 5});
    rig.Hold({vk::kUp});
    float highest = 0;
    while (car.Position().z < 95.0f) {
        Frame();
        const float z = car.Position().z;
        ASSERT_NEAR(car.Position().y, RampHeight(z), 1e-3f) << "z " << z;
        highest = std::max(highest, car.Position().y);
    }
    EXPECT_NEAR(highest, 2.5f, 1e-3f);
}

TEST_F(CarGroundTest, TheHeightIsSampledAtTheModelOriginAndGivenToThePosition)
{
    rig.Check(su::kTurnAboutCarOrigin, false);
    Start({6, 0, 1});
    rig.Hold({vk::kUp});
    while (car.Position().z < 40.0f) {
        Frame();
        // The model's origin lies the rear-wheel offset (4) ahead of the position.
        ASSERT_NEAR(car.Position().y, RampHeight(car.Position().z + 4.0f), 1e-3f) << car.Position().z;
    }
}

TEST_F(CarGroundTest, AParkedCarKeepsItsHeightUnlessAnEditingModeIsOn)
{
    Start({0, 0.5f, 20});
    Frame();
    EXPECT_EQ(car.Position().y, 0.5f); // standing in running mode
    Frame(true, true);
    EXPECT_NEAR(car.Position().y, 0.0f, 1e-5f); // editing modes follow the ground

    // Height detection off freezes the height, moving or not.
    Start({0, 0.5f, 20});
    rig.Hold({vk::kUp});
    for (int i = 0; i < 10; ++i)
        Frame(false);
    EXPECT_EQ(car.Position().y, 0.5f);
    EXPECT_GT(car.Position().z, 20.0f);
}

} // namespace
