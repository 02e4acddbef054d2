#include "CameraTestSupport.h"
#include "math/Numeric.h"

namespace {

using camera_test::AllFinite;
using camera_test::Near;
namespace entry = camera::entry;
namespace su = ui::setup;

class CameraProjection : public camera_test::CameraFixture {};

TEST_F(CameraProjection, PerspectiveUsesTheViewAngleSliderAndTheViewportAspect)
{
    Choose(entry::kOrigin, entry::kOrigin);
    Rig();
    cam.BuildViewProjection(setUp, 640, 480);
    EXPECT_EQ(cam.View(), math::LookAtLH(cam.Eye(), cam.Target(), cam.Up()));
    EXPECT_EQ(cam.Projection(),
              math::PerspectiveFovLH(25 * math::kDegToRad, 640.0f / 480.0f, 1.0f, 10000.0f));

    setUp.SetPosition(su::kFieldOfView, 60);
    cam.BuildViewProjection(setUp, 300, 600);
    EXPECT_EQ(cam.Projection(), math::PerspectiveFovLH(60 * math::kDegToRad, 0.5f, 1.0f, 10000.0f));
}

TEST_F(CameraProjection, OrthographicShowsTheViewAngleInUnitsWhateverTheWindowShape)
{
    setUp.SetCheck(su::kOrthographic, 1);
    setUp.SetPosition(su::kFieldOfView, 40);
    const math::Matrix expected = math::OrthoLH(40, 40, -100.0f, 2000.0f);
    cam.BuildViewProjection(setUp, 640, 480);
    EXPECT_EQ(cam.Projection(), expected);
    cam.BuildViewProjection(setUp, 100, 900);
    EXPECT_EQ(cam.Projection(), expected);
    // A point 20 units right of the view's centre lands on the right edge.
    EXPECT_NEAR(math::TransformCoord({20, 0, 10}, expected).x, 1.0f, 1e-6f);
}

TEST_F(CameraProjection, AViewportWithoutAreaGivesFiniteMatrices)
{
    Choose(entry::kOrigin, entry::kOrigin);
    Rig();
    for (auto [w, h] : {std::pair{640, 0}, std::pair{640, -30}, std::pair{0, 0}}) {
        cam.BuildViewProjection(setUp, w, h);
        EXPECT_TRUE(AllFinite(cam.Projection())) << w << " x " << h;
    }
}

TEST_F(CameraProjection, ViewsWithoutADirectionKeepThePreviousView)
{
    // At start the origin's eye and the camera point are both (0, 1, 0): with no view to keep,
    // the camera looks along +z.
    Choose(entry::kOrigin, entry::kCameraPoint);
    Rig();
    ASSERT_EQ(cam.Eye(), cam.Target());
    cam.BuildViewProjection(setUp, 640, 480);
    EXPECT_TRUE(Near(cam.View(), math::LookAtLH({0, 1, 0}, {0, 1, 1}, {0, 1, 0})));

    Choose(entry::kOrigin, entry::kOrigin);
    Rig();
    cam.BuildViewProjection(setUp, 640, 480);
    const math::Matrix good = cam.View();

    // Straight down from the camera point onto the origin: the direction is parallel to up.
    Choose(entry::kCameraPoint, entry::kOrigin);
    Rig();
    cam.BuildViewProjection(setUp, 640, 480);
    EXPECT_EQ(cam.View(), good);

    // The same for a source whose up vector is missing (an aeroplane that is not loaded).
    Choose(entry::kPlane, entry::kDriverSeat);
    Rig();
    cam.BuildViewProjection(setUp, 640, 480);
    EXPECT_EQ(cam.View(), good);
    EXPECT_TRUE(AllFinite(cam.Projection()));

    // Numbers from outside that are not finite never reach the matrix.
    sources.plane = {true, {NAN, 0, 0}, {0, 0, 1}, {0, 1, 0}, 0, 0, 0};
    Choose(entry::kPlane, entry::kOrigin);
    Rig();
    cam.BuildViewProjection(setUp, 640, 480);
    EXPECT_EQ(cam.View(), good);
}

class PreviewCamera : public camera_test::CameraFixture {};

TEST_F(PreviewCamera, LooksAtTheSphereFromOneAndAHalfRadii)
{
    cam.BuildPreviewViewProjection(setUp, {1, 2, 3}, 2, 200, 100);
    // Yaw 0 and pitch 0 look from the -z side.
    EXPECT_TRUE(Near(cam.PreviewView(), math::LookAtLH({1, 2, 0}, {1, 2, 3}, {0, 1, 0})));
    EXPECT_EQ(cam.PreviewProjection(), math::PerspectiveFovLH(1.5707963705062866f, 2.0f, 1.0f, 10000.0f));

    cam.SetPreviewYaw(90);
    cam.SetPreviewPitch(30);
    cam.BuildPreviewViewProjection(setUp, {0, 0, 0}, 2, 200, 100);
    EXPECT_TRUE(Near(cam.PreviewView(), math::LookAtLH({2.598076f, 1.5f, 0}, {0, 0, 0}, {0, 1, 0})));
}

TEST_F(PreviewCamera, ARadiusOfZeroCountsAsOne)
{
    cam.BuildPreviewViewProjection(setUp, {0, 0, 0}, 0, 200, 100);
    EXPECT_TRUE(Near(cam.PreviewView(), math::LookAtLH({0, 0, -1.5f}, {0, 0, 0}, {0, 1, 0})));
    cam.BuildPreviewViewProjection(setUp, {0, 0, 0}, NAN, 200, 100);
    EXPECT_TRUE(AllFinite(cam.PreviewView()));
}

TEST_F(PreviewCamera, OrthographicAsTheMainViewAndTheMainMatricesUntouched)
{
    Choose(entry::kOrigin, entry::kOrigin);
    Rig();
    cam.BuildViewProjection(setUp, 640, 480);
    const math::Matrix view = cam.View(), projection = cam.Projection();

    setUp.SetCheck(su::kOrthographic, 1);
    cam.BuildPreviewViewProjection(setUp, {0, 0, 0}, 1, 0, 0);
    EXPECT_EQ(cam.PreviewProjection(), math::OrthoLH(25, 25, -100.0f, 2000.0f));
    // Picking keeps using the main view.
    EXPECT_EQ(cam.View(), view);
    EXPECT_EQ(cam.Projection(), projection);
}

} // namespace
