// Laying track from open ends on generated pieces: each new piece meets the current end exactly,
// a ring of curves closes, a turnout's branch continues where geometry puts it, and the refusals
// change nothing.
#include "layout/TrackLaying.h"

#include "layout/LayoutCheck.h"
#include "layout/SurfaceTestSupport.h"

#include <cmath>

namespace {

using layout::FindingKind;
using tracks::CurveLine;
using tracks::StraightLine;

using tracks::kPi;
using tracks::Pose;

std::pair<double, double> ArcEnd(double radius, double degrees)
{
    const double a = degrees * kPi / 180.0;
    return {radius - radius * std::cos(a), radius * std::sin(a)};
}

class TrackLayingTest : public surfacetest::SurfaceTest {
  protected:
    void SetUp() override
    {
        // Steps of the demo's curves: half a unit along an arc of radius 40.
        const auto curveEnd = ArcEnd(40, 15);
        WriteTrack("curve", {CurveLine(40, 15, 15.0 / 21)}, {{0, 0}, curveEnd});
        WriteTrack("straight", {StraightLine(10.0)}, {{0, 0}, {0, 10}});
        WriteTrack("slope", {StraightLine(10.0, 1.0)}, {{0, 0}, {0, 10}});
        turnoutEnd = ArcEnd(20, 30);
        WriteTrack("turnout", {StraightLine(10.0), CurveLine(20, 30)}, {{0, 0}, {0, 10}, turnoutEnd});
        WriteSolid("house", tracks::BoxText(-2, 2, 0, 3, -2, 2));
        Scan();
    }

    void WriteTrack(const std::string& name, const std::vector<tracks::Line>& routes,
                    const std::vector<std::pair<double, double>>& snaps) const
    {
        const tracks::TypeFiles files = tracks::TrackType(routes);
        std::string ini = tracks::IniText(layouttest::kSection, files.routes);
        for (std::size_t i = 0; i < snaps.size(); ++i) {
            ini += "SnapX" + std::to_string(i) + "=" + tracks::Number(snaps[i].first) + "\r\n";
            ini += "SnapZ" + std::to_string(i) + "=" + tracks::Number(snaps[i].second) + "\r\n";
        }
        WriteFile(name + ".ini", ini);
        WriteFile(name + ".x", files.visible);
        WriteFile(name + "_r.x", files.guide);
    }

    void SelectOnly(int index)
    {
        layout.Selection().DeselectAll();
        layout.Selection().SetSelected(index, true);
        layout.Selection().SetPrimary(index);
    }

    int Count(FindingKind kind) const
    {
        return layout::CheckLayout(layout).counts[static_cast<std::size_t>(kind)];
    }

    void ExpectAt(int index, const Pose& pose, float y = 0) const
    {
        const layout::PlacedObject* object = layout.Placed().Find(index);
        ASSERT_NE(object, nullptr);
        EXPECT_NEAR(object->x, pose.x, 1e-3) << index;
        EXPECT_NEAR(object->z, pose.z, 1e-3) << index;
        EXPECT_NEAR(object->y, y, 1e-3) << index;
        EXPECT_NEAR(std::remainder(object->angle - pose.heading, 360.0), 0.0, 1e-3) << index;
    }

    layout::TrackLaying& laying() { return laying_; }

    std::pair<double, double> turnoutEnd;
    layout::TrackLaying laying_{layout};
};

TEST_F(TrackLayingTest, TwentyThreeAttachesCloseARingOfCurves)
{
    SelectOnly(Place(Type("curve"), 0, 0, 0));
    ASSERT_EQ(laying().Ends().size(), 2u);
    for (int press = 0; press < 23; ++press)
        ASSERT_TRUE(laying().Attach(Type("curve")).ok()) << press;

    ASSERT_EQ(layout.Placed().Count(), 24);
    const auto end = ArcEnd(40, 15);
    Pose at;
    for (int i = 0; i < 24; ++i) {
        ExpectAt(i, at);
        at = at.Then(end.first, end.second, 15);
    }
    EXPECT_EQ(Count(FindingKind::OpenEnd), 0);
    EXPECT_EQ(Count(FindingKind::NearMiss), 0);
    // The ring is closed: the last piece has no open end left to continue from.
    EXPECT_TRUE(laying().Ends().empty());
    EXPECT_EQ(laying().Current(), -1);
    EXPECT_FALSE(laying().Attach(Type("curve")).ok());
    EXPECT_EQ(layout.Placed().Count(), 24);
}

TEST_F(TrackLayingTest, ATurnoutsBranchContinuesWhereGeometrySays)
{
    SelectOnly(Place(Type("straight"), 0, 0, 0));
    // The open ends are the start (pointing back) and the far end, which is current at first;
    // stepping on wraps round.
    ASSERT_EQ(laying().Ends().size(), 2u);
    EXPECT_EQ(laying().Current(), 1);
    laying().NextEnd();
    EXPECT_EQ(laying().Current(), 0);
    laying().NextEnd();
    EXPECT_EQ(laying().Current(), 1);
    ASSERT_TRUE(laying().Attach(Type("straight")).ok());
    ExpectAt(1, {0, 10, 0});
    ASSERT_TRUE(laying().Attach(Type("turnout")).ok());
    ExpectAt(2, {0, 20, 0});
    // The turnout's route 0 end is current; its branch end is the other open one.
    ASSERT_EQ(laying().Ends().size(), 2u);
    EXPECT_EQ(laying().Ends()[static_cast<std::size_t>(laying().Current())].snap, 1);
    ASSERT_TRUE(laying().ChooseEnd(1));
    EXPECT_NEAR(laying().Ends()[1].position.x, turnoutEnd.first, 1e-3);
    EXPECT_NEAR(laying().Ends()[1].position.z, 20 + turnoutEnd.second, 1e-3);
    ASSERT_TRUE(laying().Attach(Type("straight")).ok());
    const Pose branch{turnoutEnd.first, 20 + turnoutEnd.second, 30};
    ExpectAt(3, branch);
    ASSERT_TRUE(laying().Attach(Type("straight")).ok());
    ExpectAt(4, branch.Then(0, 10, 0));
    EXPECT_FALSE(laying().ChooseEnd(1));

    // Only the first straight's start, route 0's end and the branch's far end stay open.
    EXPECT_EQ(Count(FindingKind::OpenEnd), 3);
    EXPECT_EQ(Count(FindingKind::NearMiss), 0);
}

TEST_F(TrackLayingTest, FlipAndSpaceLayThePieceTheOtherWayAndSlopesKeepRising)
{
    SelectOnly(Place(Type("slope"), 0, 2, 0));
    ASSERT_TRUE(laying().Attach(Type("slope")).ok());
    // The grade goes on: the second slope starts where the first ends, one unit up.
    ExpectAt(1, {0, 10, 0}, 3);
    ASSERT_TRUE(laying().Attach(Type("slope"), true).ok());
    // Laid by its high end, it comes back down and ends at the height it started.
    ExpectAt(2, {0, 30, 180}, 3);
    const layout::TrackShapes shapes(layout);
    EXPECT_NEAR(laying().Ends()[static_cast<std::size_t>(laying().Current())].position.y,
                shapes.Ends(1, *layout.Placed().Find(1))[0].position.y, 1e-3);

    // A flipped curve bends the other way.
    ASSERT_TRUE(laying().Attach(Type("curve"), true).ok());
    const layout::TrackEnd far = laying().Ends()[static_cast<std::size_t>(laying().Current())];
    EXPECT_LT(far.position.x, -1.0f);

    // Space: the turnout just laid turns so that its next end meets the joint; one edit each.
    ASSERT_TRUE(laying().Attach(Type("turnout")).ok());
    const layout::PlacedObject first = *layout.Placed().Find(4);
    const std::size_t undos = layout.History().UndoCount();
    ASSERT_TRUE(laying().TurnAttached().ok());
    EXPECT_EQ(layout.History().UndoCount(), undos + 1);
    EXPECT_NE(*layout.Placed().Find(4), first);
    EXPECT_EQ(Count(FindingKind::NearMiss), 0);
    ASSERT_TRUE(laying().TurnAttached().ok());
    ASSERT_TRUE(laying().TurnAttached().ok());
    // Three ends: three turns bring the first way back.
    EXPECT_NEAR(layout.Placed().Find(4)->x, first.x, 1e-3);
    EXPECT_NEAR(layout.Placed().Find(4)->z, first.z, 1e-3);
    ASSERT_TRUE(layout.Undo());
    ASSERT_EQ(layout.History().NextUndo()->name, "つなぐ");
}

TEST_F(TrackLayingTest, RefusalsChangeNothingAndUndoTakesOneAttachBack)
{
    EXPECT_FALSE(laying().Attach(Type("curve")).ok()); // nothing selected
    const int house = Place(Type("house"), 0, 0, 0);
    SelectOnly(house);
    EXPECT_TRUE(laying().Ends().empty());
    EXPECT_FALSE(laying().Attach(Type("curve")).ok()); // no track end to attach to
    SelectOnly(Place(Type("straight"), 0, 0, 0));
    EXPECT_FALSE(laying().Attach(Type("house")).ok()); // scenery has no track end
    EXPECT_FALSE(laying().Attach(-1).ok());
    EXPECT_FALSE(laying().TurnAttached().ok()); // nothing attached yet
    EXPECT_EQ(layout.Placed().Count(), 2);
    const std::size_t undos = layout.History().UndoCount();

    ASSERT_TRUE(laying().Attach(Type("straight")).ok());
    EXPECT_EQ(layout.History().UndoCount(), undos + 1);
    EXPECT_EQ(layout.History().NextUndo()->Label().rfind("つなぐ", 0), 0u);
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{2});
    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(layout.Placed().Count(), 2);
    EXPECT_EQ(layout.Selection().Primary(), 1);
    // The end given up is open again.
    ASSERT_EQ(laying().Ends().size(), 2u);
}

} // namespace
