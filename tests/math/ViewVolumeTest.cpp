// The view volume that placed objects and vehicles are culled against.
#include "math/ViewVolume.h"

#include "math/Matrix.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace {

using math::Matrix;
using math::Vec3;
using math::ViewVolume;

// A square view from the origin along +z, 90° wide, near 1, far 100: the right edge is x = z.
class ViewVolumeTest : public ::testing::Test {
  protected:
    math::Viewport viewport{.x = 10, .y = 20, .width = 200, .height = 200};
    Matrix view = math::LookAtLH({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    Matrix projection = math::PerspectiveFovLH(std::numbers::pi_v<float> / 2, 1.0f, 1.0f, 100.0f);
};

TEST_F(ViewVolumeTest, SpheresAreOutsideOnlyWhenWhollyBeyondAPlane)
{
    const ViewVolume volume(viewport, projection, view);
    EXPECT_FALSE(volume.Outside({0, 0, 50}, 1));
    EXPECT_TRUE(volume.Outside({0, 0, -5}, 1)) << "behind the camera";
    EXPECT_TRUE(volume.Outside({0, 0, 0.5f}, 0.1f)) << "before the near plane";
    EXPECT_TRUE(volume.Outside({0, 0, 101.5f}, 1)) << "beyond the far plane";
    EXPECT_FALSE(volume.Outside({0, 0, 100.5f}, 1)) << "across the far plane";
    // 1.06 and 0.71 units beyond the right edge at z = 50.
    EXPECT_TRUE(volume.Outside({51.5f, 0, 50}, 1));
    EXPECT_FALSE(volume.Outside({51, 0, 50}, 1));
    EXPECT_TRUE(volume.Outside({-51.5f, 0, 50}, 1));
    EXPECT_TRUE(volume.Outside({0, 51.5f, 50}, 1));
    EXPECT_TRUE(volume.Outside({0, -51.5f, 50}, 1));
}

TEST_F(ViewVolumeTest, PlanesAreNormalisedAndFaceIntoTheVolume)
{
    const ViewVolume volume(viewport, projection, view);
    for (const math::Plane& plane : volume.Planes()) {
        EXPECT_NEAR(std::hypot(plane.a, plane.b, plane.c), 1.0f, 1e-5f);
        EXPECT_GT(math::PlaneDotCoord(plane, {0, 0, 50}), 0.0f);
    }
    EXPECT_NEAR(math::PlaneDotCoord(volume.Planes()[0], {0, 0, 1}), 0.0f, 1e-4f) << "near";
    EXPECT_NEAR(math::PlaneDotCoord(volume.Planes()[1], {0, 0, 100}), 0.0f, 1e-2f) << "far";
}

TEST_F(ViewVolumeTest, AMirroredViewCullsTheSameWay)
{
    // The reversed winding would turn every plane outwards and cull everything in view.
    const ViewVolume volume(viewport, projection, view * math::Scaling(-1, 1, 1));
    EXPECT_FALSE(volume.Outside({30, 0, 50}, 1));
    EXPECT_FALSE(volume.Outside({0, 0, 50}, 1));
    EXPECT_TRUE(volume.Outside({0, 0, -5}, 1));
    EXPECT_TRUE(volume.Outside({60, 0, 50}, 1));
    EXPECT_TRUE(volume.Outside({-60, 0, 50}, 1));
}

TEST_F(ViewVolumeTest, TheViewportsDepthRangeMapsToTheProjectionsNearAndFar)
{
    viewport.minZ = 0.25f;
    viewport.maxZ = 0.75f;
    const ViewVolume volume(viewport, projection, view);
    EXPECT_TRUE(volume.Outside({0, 0, 0.5f}, 0.1f));
    EXPECT_FALSE(volume.Outside({0, 0, 99}, 0.5f));
    EXPECT_TRUE(volume.Outside({0, 0, 101.5f}, 1));
}

TEST_F(ViewVolumeTest, DegenerateOrNonFiniteVolumesNeverCull)
{
    const auto culls = [](const ViewVolume& volume) {
        return volume.Outside({0, 0, -1000}, 1) || volume.Outside({1e6f, 0, 50}, 0) ||
               volume.Outside({0, 0, 50}, -1);
    };
    EXPECT_FALSE(culls(ViewVolume({.width = 0, .height = 0}, projection, view))) << "empty viewport";
    EXPECT_FALSE(culls(ViewVolume(viewport, Matrix{}, view))) << "singular projection";
    Matrix broken = projection;
    broken.m[0][0] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(culls(ViewVolume(viewport, broken, view))) << "NaN in the projection";
    EXPECT_FALSE(
        culls(ViewVolume({.width = 200, .height = 200, .minZ = 0.5f, .maxZ = 0.5f}, projection, view)))
        << "no depth range";
    const ViewVolume empty({.width = 0, .height = 0}, projection, view);
    for (const math::Plane& plane : empty.Planes())
        EXPECT_EQ(plane, math::Plane{});
}

} // namespace
