// The object grid behind FindObjectBelow must give exactly what a walk over every placed object
// gives, on any layout and after any edit.
#include "layout/SurfaceTestSupport.h"

#include <random>

namespace {

using surfacetest::SurfaceTest;

class SurfaceGridTest : public SurfaceTest {
  protected:
    void SetUp() override
    {
        WriteTrack("straight", {tracks::StraightLine(20.0)});
        WriteTrack("curve", {tracks::CurveLine(30.0, 30.0)});
        WriteTrack("ramp", {tracks::StraightLine(10.0, 1.0)});
        WriteSolid("plate", tracks::BoxText(-1, 1, -0.3, 0, -1, 1));
        WriteSolid("ground", tracks::BoxText(-150, 150, -0.5, -0.4, -150, 150));
        WriteFile("broken.ini", tracks::IniText(layouttest::kSection, 0));
        WriteFile("broken.x", "xof 0303txt 0032\n{");
        Scan();
    }

    // Places count objects of every kind at random, many of them piled on one another.
    void PlaceRandom(std::mt19937& random, int count)
    {
        const std::vector<int> types = {Type("straight"), Type("curve"), Type("ramp"), Type("plate"),
                                        Type("broken")};
        std::uniform_int_distribution<std::size_t> type(0, types.size() - 1);
        std::uniform_real_distribution<float> place(-100.0f, 100.0f);
        std::uniform_real_distribution<float> height(-1.5f, 1.5f);
        std::uniform_int_distribution<int> quarter(0, 3);
        std::uniform_real_distribution<float> angle(-720.0f, 720.0f);
        std::bernoulli_distribution pile(0.3);
        for (int i = 0; i < count; ++i) {
            const float x = pile(random) ? place(random) * 0.02f : place(random);
            const float z = pile(random) ? place(random) * 0.02f : place(random);
            const float a = pile(random) ? 90.0f * static_cast<float>(quarter(random)) : angle(random);
            Place(types[type(random)], x, height(random), z, a);
        }
    }

    // Compares the grid with the full walk on random probes, near the pile and all over.
    void ExpectSameAnswers(std::mt19937& random, int probes)
    {
        surface.Refresh();
        std::uniform_real_distribution<float> wide(-130.0f, 130.0f);
        std::uniform_real_distribution<float> near(-3.0f, 3.0f);
        std::uniform_real_distribution<float> height(-2.5f, 2.5f);
        std::bernoulli_distribution close(0.4);
        int found = 0;
        for (int i = 0; i < probes; ++i) {
            const math::Vec3 probe = close(random) ? math::Vec3{near(random), height(random), near(random)}
                                                   : math::Vec3{wide(random), height(random), wide(random)};
            const int expected = surface.FindObjectBelowFullScan(probe);
            ASSERT_EQ(surface.FindObjectBelow(probe), expected)
                << "probe " << probe.x << ", " << probe.y << ", " << probe.z;
            found += expected >= 0 ? 1 : 0;
        }
        // The probes must actually meet surfaces for the comparison to mean anything.
        EXPECT_GT(found, probes / 10);
    }
};

TEST_F(SurfaceGridTest, AgreesWithTheFullWalkOnRandomLayoutsAndProbes)
{
    std::mt19937 random(20240611);
    PlaceRandom(random, 400);
    ExpectSameAnswers(random, 3000);
    EXPECT_GT(surface.Grid().Columns(), 1);
}

TEST_F(SurfaceGridTest, ProbesOnTheEdgesOfTurnedBoundsAgree)
{
    std::mt19937 random(7);
    PlaceRandom(random, 150);
    surface.Refresh();
    // The corners and edge midpoints of every object's bounds, in world space.
    for (int i = 0; i < layout.Placed().Count(); ++i) {
        const layout::PlacedObject& object = *layout.Placed().Find(i);
        const layout::ObjectType& type = *layout.Catalogue().FindType(object.type);
        const layout::ObjectTrig trig = layout.Placed().Trig(i);
        const model::MeshBox& b = type.bounds;
        for (const float lx : {b.minX, 0.5f * (b.minX + b.maxX), b.maxX}) {
            for (const float lz : {b.minZ, 0.5f * (b.minZ + b.maxZ), b.maxZ}) {
                const math::Vec3 probe{object.x + lx * trig.cosAngle + lz * trig.sinAngle, object.y,
                                       object.z - lx * trig.sinAngle + lz * trig.cosAngle};
                ASSERT_EQ(surface.FindObjectBelow(probe), surface.FindObjectBelowFullScan(probe))
                    << "object " << i;
            }
        }
    }
}

TEST_F(SurfaceGridTest, ALargeObjectUnderEverythingIsSharedByEveryCell)
{
    std::mt19937 random(99);
    Place(Type("ground"), 0, 0, 0);
    PlaceRandom(random, 200);
    ExpectSameAnswers(random, 1500);
    EXPECT_GE(surface.Grid().SharedCount(), 1u);
}

TEST_F(SurfaceGridTest, StaysRightAfterEditsOnceRefreshed)
{
    std::mt19937 random(3);
    PlaceRandom(random, 200);
    ExpectSameAnswers(random, 500);

    for (int i = 0; i < layout.Placed().Count(); i += 3)
        layout.Selection().SetSelected(i, true);
    ASSERT_TRUE(layout.MoveSelectedBy(7.5f, 0.25f, -12.0f));
    ExpectSameAnswers(random, 500);
    ASSERT_TRUE(layout.TurnSelectedBy(33.0f));
    ExpectSameAnswers(random, 500);
    ASSERT_TRUE(layout.DeleteSelected());
    ExpectSameAnswers(random, 500);
    ASSERT_TRUE(layout.Undo()); // the deleted objects come back in their places
    ExpectSameAnswers(random, 500);
    ASSERT_TRUE(layout.Undo());
    ExpectSameAnswers(random, 500);

    // Objects added after the last refresh are not missed either.
    PlaceRandom(random, 30);
    for (int i = 0; i < 200; ++i) {
        const math::Vec3 probe{static_cast<float>(i % 20) - 10.0f, 0.0f, static_cast<float>(i / 20) - 5.0f};
        ASSERT_EQ(surface.FindObjectBelow(probe), surface.FindObjectBelowFullScan(probe));
    }
}

TEST_F(SurfaceGridTest, ProbesThatAreNoNumberFindNothing)
{
    std::mt19937 random(5);
    PlaceRandom(random, 50);
    surface.Refresh();
    const float nan = std::nanf("");
    EXPECT_EQ(surface.FindObjectBelow({nan, 0, 0}), -1);
    EXPECT_EQ(surface.FindObjectBelow({0, nan, 0}), -1);
    EXPECT_EQ(surface.FindObjectBelow({0, 0, INFINITY}), -1);
}

} // namespace
