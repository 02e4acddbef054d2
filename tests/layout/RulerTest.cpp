// The ruler: points snap to track ends, so the two ends of a straight measure its length
// exactly and the ends of a slope give its grade; elsewhere a point lies on what the click hit.
#include "layout/Ruler.h"

#include "layout/SurfaceTestSupport.h"
#include "layout/TrackShapes.h"

namespace {

class RulerTest : public surfacetest::SurfaceTest {
  protected:
    void SetUp() override
    {
        WriteEnded("straight", tracks::StraightLine(25.0));
        WriteEnded("slope", tracks::StraightLine(25.0, 1.5));
        WriteSolid("house", tracks::BoxText(-2, 2, 0, 3, -2, 2));
        ASSERT_TRUE(Scan().ok());
    }
    // A piece with snap points at both ends of its line: its track ends.
    void WriteEnded(const std::string& name, const tracks::Line& line) const
    {
        const tracks::TypeFiles files = tracks::TrackType({line});
        WriteFile(name + ".ini", tracks::IniText(layouttest::kSection, files.routes) +
                                     "SnapX0=0\r\nSnapZ0=0\r\nSnapX1=0\r\nSnapZ1=25\r\n");
        WriteFile(name + ".x", files.visible);
        WriteFile(name + "_r.x", files.guide);
    }
    std::optional<math::Vec3> At(float x, float z) const
    {
        const layout::TrackShapes shapes(layout);
        return layout::RulerPoint(layout, shapes, Down(x, z));
    }
};

TEST_F(RulerTest, TrackEndsGiveExactLengthsAndGrades)
{
    Place(Type("straight"), 10, 0, 0, 90);
    Place(Type("slope"), 0, 0, 50);
    // Clicks up to half a unit off the ends take the ends themselves.
    const auto a = At(10.3f, 0.2f), b = At(34.8f, -0.3f);
    ASSERT_TRUE(a && b);
    const layout::RulerReading flat = layout::Measure(*a, *b);
    EXPECT_NEAR(flat.plan, 25.0, 1e-4);
    EXPECT_NEAR(flat.height, 0.0, 1e-4);
    EXPECT_EQ(layout::RulerText(flat), "25.000 / 0.000 / 0.0%");

    const layout::RulerReading slope = layout::Measure(*At(0.2f, 50.1f), *At(-0.1f, 74.6f));
    EXPECT_NEAR(slope.plan, 25.0, 1e-4);
    EXPECT_NEAR(slope.height, 1.5, 1e-4);
    EXPECT_EQ(layout::RulerText(slope), "25.000 / 1.500 / 6.0%");
    // Measured back down the slope.
    EXPECT_EQ(layout::RulerText(layout::Measure(slope.to, slope.from)), "25.000 / -1.500 / -6.0%");
}

TEST_F(RulerTest, AwayFromTrackEndsPointsLieOnTheHitObjectOrTheGround)
{
    Place(Type("house"), 0, 0, 0);
    const auto roof = At(0.5f, 0.5f);
    ASSERT_TRUE(roof);
    EXPECT_NEAR(roof->y, 3.0f, 1e-3);
    const auto ground = At(20.0f, 20.0f);
    ASSERT_TRUE(ground);
    EXPECT_NEAR(ground->y, 0.0f, 1e-4);
    EXPECT_NEAR(ground->x, 20.0f, 1e-4);
    // A level ray meets nothing.
    const layout::TrackShapes shapes(layout);
    EXPECT_FALSE(layout::RulerPoint(layout, shapes, {{50, 1, 50}, {60, 1, 50}}));
    // Two points one above the other have no grade.
    EXPECT_EQ(layout::RulerText(layout::Measure({0, 0, 0}, {0, 2, 0})), "0.000 / 2.000 / 0.0%");
}

} // namespace
