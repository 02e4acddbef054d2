// The surface queries trains and the road car ask of the layout: the object under a probe, the
// height of its surface, and the guide point with the automatic turnout.
#include "layout/SurfaceTestSupport.h"

#include <cmath>

namespace {

using surfacetest::SurfaceTest;
using tracks::CurveLine;
using tracks::StraightLine;

constexpr float kTolerance = 1e-4f;

// A right-hand turnout: route 0 straight on for 20 units, route 1 a curve of radius 60 that
// ends 3.4 units to the side.
constexpr double kBranchRadius = 60.0;
constexpr double kBranchDegrees = 19.47;

// The point of the branch's centre line where it has run z units forward, and its heading.
math::Vec3 BranchPoint(double z)
{
    const double a = std::asin(z / kBranchRadius);
    return {static_cast<float>(kBranchRadius - kBranchRadius * std::cos(a)), 0.0f, static_cast<float>(z)};
}
float BranchHeading(double z)
{
    return static_cast<float>(std::asin(z / kBranchRadius));
}

class SurfaceQueryTest : public SurfaceTest {
  protected:
    void SetUp() override
    {
        WriteTrack("straight", {StraightLine(20.0)});
        WriteTrack("ramp", {StraightLine(20.0, 2.0)});
        WriteTrack("turnout", {StraightLine(20.0), CurveLine(kBranchRadius, kBranchDegrees)});
        WriteSolid("plate", tracks::BoxText(-1, 1, -0.01, 0, -1, 1));
    }
};

TEST_F(SurfaceQueryTest, AnEmptyLayoutHasNothingBelow)
{
    Scan();
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 0}), -1);
    EXPECT_EQ(surface.FindObjectBelowFullScan({0, 0, 0}), -1);
}

TEST_F(SurfaceQueryTest, AProbeExactlyOnASurfaceTakesThatObjectAtOnce)
{
    Scan();
    const int exact = Place(Type("straight"), 0, 0, 0);
    Place(Type("straight"), 0, 0.2f, 0); // would also match, but is never looked at
    surface.Refresh();
    const auto casts = surface.RayCasts();
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 5}), exact);
    EXPECT_EQ(surface.RayCasts() - casts, 1u);

    // In the other order the nearer surface still wins over the first one found.
    layout.ClearPlacedObjects();
    Place(Type("straight"), 0, 0.2f, 0);
    const int later = Place(Type("straight"), 0, 0, 0);
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 5}), later);
}

TEST_F(SurfaceQueryTest, UnderABridgeTheSurfaceNearerToTheProbeWins)
{
    Scan();
    const int lower = Place(Type("straight"), 0, 0, 0);
    // The deck crosses the lower track at (0, 10), 0.8 above it.
    const int deck = Place(Type("straight"), -10, 0.8f, 10, 90.0f);
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelow({0, 0.1f, 10}), lower);
    EXPECT_EQ(surface.FindObjectBelow({0, 0.6f, 10}), deck);
    EXPECT_NEAR(surface.HeightAt(lower, {0, 0.1f, 10}), 0.0f, kTolerance);
    EXPECT_NEAR(surface.HeightAt(deck, {0, 0.6f, 10}), 0.8f, kTolerance);
    // Away from the crossing each track is alone.
    EXPECT_EQ(surface.FindObjectBelow({0, 0.6f, 3}), lower);
    EXPECT_EQ(surface.FindObjectBelow({5, 0.1f, 10}), deck);
}

TEST_F(SurfaceQueryTest, OnlySurfacesWithinOneUnitOfTheProbeCount)
{
    Scan();
    const int track = Place(Type("straight"), 0, 0, 0);
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelow({0, 0.99f, 5}), track);
    EXPECT_EQ(surface.FindObjectBelow({0, -0.99f, 5}), track);
    EXPECT_EQ(surface.FindObjectBelow({0, 1.5f, 5}), -1);
    EXPECT_EQ(surface.FindObjectBelow({0, -1.5f, 5}), -1);
    // Beside the bed and beyond its ends.
    EXPECT_EQ(surface.FindObjectBelow({1.2f, 0, 5}), -1);
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 20.5f}), -1);
}

TEST_F(SurfaceQueryTest, BoundsAreTestedInTheObjectsOwnTurnedFrame)
{
    Scan();
    const int across = Place(Type("straight"), 0, 0, 0, 90.0f); // now runs along +x
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelow({15, 0, 0}), across);
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 15}), -1);
}

TEST_F(SurfaceQueryTest, AtMostTenSurfacesAreWeighedAndAnEleventhEndsTheScan)
{
    Scan();
    // Ten surfaces from 0.9 to 0.45 below the probe, then one exactly at its height that comes
    // too late to be weighed, then another.
    for (int i = 0; i < 10; ++i)
        Place(Type("plate"), 0, -0.9f + 0.05f * static_cast<float>(i), 0);
    Place(Type("plate"), 0, 0, 0);
    Place(Type("plate"), 0, -0.1f, 0);
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelowFullScan({0, 0, 0}), 9);
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 0}), 9);
}

TEST_F(SurfaceQueryTest, HeightFollowsASlopeAndFallsBackToTheGround)
{
    WriteFile("ground.x", tracks::BoxText(-100, 100, -1, -0.5, -100, 100));
    layout.Catalogue().SetBackgroundName("ground");
    Scan();
    const int ramp = Place(Type("ramp"), 0, 0, 0);
    surface.Refresh();
    EXPECT_NEAR(surface.HeightAt(ramp, {0, 1.0f, 10}), 1.0f, kTolerance);
    // No limit on how far below the surface may lie once the object is known.
    EXPECT_NEAR(surface.HeightAt(ramp, {0, 6.0f, 10}), 1.0f, kTolerance);
    // Beside the mesh, or with no object: the background within two units below the point one
    // unit above the probe, else the probe's own height.
    EXPECT_NEAR(surface.HeightAt(ramp, {5, 0.0f, 10}), -0.5f, kTolerance);
    EXPECT_NEAR(surface.HeightAt(-1, {50, 0.3f, 50}), -0.5f, kTolerance);
    EXPECT_FLOAT_EQ(surface.HeightAt(-1, {50, 2.0f, 50}), 2.0f);
    EXPECT_FLOAT_EQ(surface.GroundHeight({500, 0.3f, 0}), 0.3f);
}

TEST_F(SurfaceQueryTest, WithoutABackgroundTheProbeKeepsItsHeight)
{
    Scan();
    EXPECT_FLOAT_EQ(surface.HeightAt(-1, {3, 1.25f, 4}), 1.25f);
    EXPECT_FLOAT_EQ(surface.HeightAt(7, {3, 1.25f, 4}), 1.25f); // no such object
}

TEST_F(SurfaceQueryTest, GuidePointMovesAProbeSidewaysOntoTheCentreLine)
{
    Scan();
    const int along = Place(Type("straight"), 0, 0, 0);
    const int across = Place(Type("straight"), 0, 0, 30, 90.0f);
    surface.Refresh();

    const math::Vec3 right = surface.GuidePoint(along, {0.4f, 0.5f, 5}, 0.0f);
    EXPECT_NEAR(right.x, 0.0f, kTolerance);
    EXPECT_NEAR(right.z, 5.0f, kTolerance);
    const math::Vec3 left = surface.GuidePoint(along, {-1.2f, 0.5f, 5}, 0.0f);
    EXPECT_NEAR(left.x, 0.0f, kTolerance);
    // Facing the other way the ray starts on the other side; the line is found all the same.
    const math::Vec3 back = surface.GuidePoint(along, {0.4f, 0.5f, 5}, 3.14159265f);
    EXPECT_NEAR(back.x, 0.0f, kTolerance);
    EXPECT_NEAR(back.z, 5.0f, kTolerance);

    // A piece turned by 90 degrees, driven along +x, probe 0.4 to the right (towards −z).
    const math::Vec3 turned = surface.GuidePoint(across, {8, 0.5f, 29.6f}, 1.5707963f);
    EXPECT_NEAR(turned.x, 8.0f, kTolerance);
    EXPECT_NEAR(turned.z, 30.0f, kTolerance);

    // Out of reach, or no object: the probe comes back unchanged.
    const math::Vec3 far = surface.GuidePoint(along, {2.0f, 0.5f, 5}, 0.0f);
    EXPECT_FLOAT_EQ(far.x, 2.0f);
    EXPECT_FLOAT_EQ(surface.GuidePoint(-1, {2.0f, 0.5f, 5}, 0.0f).x, 2.0f);
}

TEST_F(SurfaceQueryTest, ATypeWithoutRoutesIgnoresItsGuide)
{
    const tracks::TypeFiles files = tracks::TrackType({StraightLine(20.0)});
    WriteTrack("noroute", files, 0);
    Scan();
    const int track = Place(Type("noroute"), 0, 0, 0);
    surface.Refresh();
    ASSERT_TRUE(layout.Catalogue().FindType(Type("noroute"))->HasGuide());
    const math::Vec3 probe{0.4f, 0.5f, 5};
    EXPECT_EQ(surface.GuidePoint(track, probe, 0.0f), probe);
}

TEST_F(SurfaceQueryTest, AProbeOnTheBranchThrowsTheTurnoutToIt)
{
    Scan();
    const int turnout = Place(Type("turnout"), 0, 0, 0);
    surface.Refresh();
    ASSERT_EQ(layout.Placed().Find(turnout)->route, 0);

    // Near the points both lines are in reach: the current route keeps the car.
    const math::Vec3 points = surface.GuidePoint(turnout, {0.3f, 0.5f, 2}, 0.0f);
    EXPECT_NEAR(points.x, 0.0f, kTolerance);
    EXPECT_EQ(layout.Placed().Find(turnout)->route, 0);

    // Where the branch has left the straight line's reach, the turnout goes over to it.
    const math::Vec3 onBranch = BranchPoint(18.0);
    const math::Vec3 probe{onBranch.x + 0.2f, 0.5f, 18.0f};
    const math::Vec3 guided = surface.GuidePoint(turnout, probe, BranchHeading(18.0));
    EXPECT_EQ(layout.Placed().Find(turnout)->route, 1);
    EXPECT_EQ(surface.ThrownTurnouts(), 1);
    EXPECT_NEAR(std::hypot(guided.x - kBranchRadius, guided.z), kBranchRadius, 2e-3);

    // And back: a probe on the straight line with the branch set throws it to route 0.
    const math::Vec3 straight = surface.GuidePoint(turnout, {0.2f, 0.5f, 18}, 0.0f);
    EXPECT_EQ(layout.Placed().Find(turnout)->route, 0);
    EXPECT_NEAR(straight.x, 0.0f, kTolerance);
}

TEST_F(SurfaceQueryTest, AHugeRouteCountScansOnlyTheLayersTheGuideHas)
{
    const tracks::TypeFiles files =
        tracks::TrackType({StraightLine(20.0), CurveLine(kBranchRadius, kBranchDegrees)});
    WriteTrack("many", files, 1000000);
    Scan();
    const int many = Place(Type("many"), 0, 0, 0);
    const int two = Place(Type("turnout"), 100, 0, 0);
    surface.Refresh();

    const math::Vec3 onBranch = BranchPoint(18.0);
    const float heading = BranchHeading(18.0);
    const math::Vec3 fromTwo = surface.GuidePoint(two, {100 + onBranch.x + 0.2f, 0.5f, 18.0f}, heading);
    const auto casts = surface.RayCasts();
    const math::Vec3 fromMany = surface.GuidePoint(many, {onBranch.x + 0.2f, 0.5f, 18.0f}, heading);
    EXPECT_LE(surface.RayCasts() - casts, 3u);
    EXPECT_EQ(layout.Placed().Find(many)->route, 1);
    EXPECT_NEAR(fromMany.x + 100.0f, fromTwo.x, kTolerance);
    EXPECT_NEAR(fromMany.z, fromTwo.z, kTolerance);

    // Far below every layer nothing is cast at all, and nothing changes.
    layout.Placed().SetRoute(many, 0);
    const auto before = surface.RayCasts();
    const math::Vec3 deep{onBranch.x + 0.2f, -500.0f, 18.0f};
    EXPECT_EQ(surface.GuidePoint(many, deep, heading), deep);
    EXPECT_LE(surface.RayCasts() - before, 2u);
    EXPECT_EQ(layout.Placed().Find(many)->route, 0);
}

TEST_F(SurfaceQueryTest, AnObjectWhoseMeshFailedToLoadHoldsNoSurface)
{
    WriteFile("broken.ini", tracks::IniText(layouttest::kSection, 1));
    WriteFile("broken.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0");
    WriteFile("broken_r.x", "not a mesh");
    Scan();
    const int broken = Place(Type("broken"), 0, 0, 0);
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 0}), -1);
    const int track = Place(Type("straight"), 0, 0, 0);
    surface.Refresh();
    EXPECT_EQ(surface.FindObjectBelow({0, 0, 0}), track);
    EXPECT_FLOAT_EQ(surface.HeightAt(broken, {0, 0.25f, 0}), 0.25f);
    const math::Vec3 probe{0.3f, 0.5f, 1};
    EXPECT_EQ(surface.GuidePoint(broken, probe, 0.0f), probe);
}

} // namespace
