// The layout check on small generated layouts: each kind of fault is found where it lies and
// nowhere else, and the joint mending closes what it may and leaves the rest listed.
#include "layout/LayoutCheck.h"

#include "gfx/Texture.h"
#include "layout/CheckMarkers.h"
#include "layout/JointMending.h"
#include "layout/MapFile.h"
#include "layout/SurfaceTestSupport.h"

#include <algorithm>
#include <cmath>

namespace {

using layout::FindingKind;
using layout::LayoutFinding;
using tracks::CurveLine;
using tracks::StraightLine;

using tracks::kPi;
using tracks::Pose;
constexpr double kCurveRadius = 20.0;
constexpr double kCurveDegrees = 30.0;

class LayoutCheckTest : public surfacetest::SurfaceTest {
  protected:
    void SetUp() override
    {
        curveEnd = {kCurveRadius - kCurveRadius * std::cos(kCurveDegrees * kPi / 180.0),
                    kCurveRadius * std::sin(kCurveDegrees * kPi / 180.0)};
        WriteTrack("straight", {StraightLine(10.0)}, {{0, 0}, {0, 10}});
        WriteTrack("curve", {CurveLine(kCurveRadius, kCurveDegrees)}, {{0, 0}, curveEnd});
        WriteTrack("slope", {StraightLine(10.0, 1.0)}, {{0, 0}, {0, 10}});
        WriteTrack("turnout", {StraightLine(10.0), CurveLine(kCurveRadius, kCurveDegrees)},
                   {{0, 0}, {0, 10}, curveEnd});
        // A deck: a flat track on a slab half a unit thick.
        const tracks::TypeFiles deck = tracks::TrackType({StraightLine(10.0)});
        WriteFile("deck.ini", Ini(1, {{0, 0}, {0, 10}}));
        WriteFile("deck.x", tracks::BoxText(-1.5, 1.5, -0.5, 0.0, 0.0, 10.0));
        WriteFile("deck_r.x", deck.guide);
        WriteSolid("house", tracks::BoxText(-2, 2, 0, 3, -2, 2));
        Scan();
    }

    static std::string Ini(int routes, const std::vector<std::pair<double, double>>& snaps)
    {
        std::string text = tracks::IniText(layouttest::kSection, routes);
        for (std::size_t i = 0; i < snaps.size(); ++i) {
            text += "SnapX" + std::to_string(i) + "=" + tracks::Number(snaps[i].first) + "\r\n";
            text += "SnapZ" + std::to_string(i) + "=" + tracks::Number(snaps[i].second) + "\r\n";
        }
        return text;
    }
    void WriteTrack(const std::string& name, const std::vector<tracks::Line>& routes,
                    const std::vector<std::pair<double, double>>& snaps) const
    {
        const tracks::TypeFiles files = tracks::TrackType(routes);
        WriteFile(name + ".ini", Ini(files.routes, snaps));
        WriteFile(name + ".x", files.visible);
        WriteFile(name + "_r.x", files.guide);
    }

    int PlaceAt(const std::string& type, const Pose& at, float y = 0, int key = layout::kNoKey)
    {
        return Place(Type(type), static_cast<float>(at.x), y, static_cast<float>(at.z),
                     static_cast<float>(at.heading), key);
    }

    // A closed ring of twelve curves; returns where each one starts.
    std::vector<Pose> LayRing()
    {
        std::vector<Pose> starts;
        Pose at;
        for (int i = 0; i < 12; ++i) {
            starts.push_back(at);
            PlaceAt("curve", at);
            at = at.Then(curveEnd.first, curveEnd.second, kCurveDegrees);
        }
        return starts;
    }

    void MoveObject(int index, float dx, float dy, float dz)
    {
        layout.Selection().DeselectAll();
        layout.Selection().SetSelected(index, true);
        ASSERT_TRUE(layout.MoveSelectedBy(dx, dy, dz).ok());
        layout.Selection().DeselectAll();
    }

    std::vector<LayoutFinding> Findings(FindingKind kind,
                                        const layout::LayoutCheckSettings& settings = {}) const
    {
        std::vector<LayoutFinding> out;
        for (const LayoutFinding& f : layout::CheckLayout(layout, settings).findings)
            if (f.kind == kind) out.push_back(f);
        return out;
    }
    static std::vector<std::vector<int>> ObjectsOf(const std::vector<LayoutFinding>& findings)
    {
        std::vector<std::vector<int>> out;
        for (const LayoutFinding& f : findings)
            out.push_back(f.objects);
        return out;
    }

    std::pair<double, double> curveEnd;
    layout::StoredMapVehicles vehicles;
};

using Objects = std::vector<std::vector<int>>;

TEST_F(LayoutCheckTest, ARingOfCurvesIsCleanUntilAPieceIsMovedOrTakenOut)
{
    const std::vector<Pose> starts = LayRing();
    const layout::LayoutCheckResult clean = layout::CheckLayout(layout);
    EXPECT_TRUE(clean.findings.empty()) << layout::FindingKindName(clean.findings.front().kind);

    // Piece 5 moved 0.3 sideways: exactly the joints at its two ends, nothing else.
    MoveObject(5, 0.3f, 0, 0);
    const layout::LayoutCheckResult moved = layout::CheckLayout(layout);
    ASSERT_EQ(moved.findings.size(), 2u);
    EXPECT_EQ(ObjectsOf(moved.findings), (Objects{{4, 5}, {5, 6}}));
    for (const LayoutFinding& f : moved.findings) {
        EXPECT_EQ(f.kind, FindingKind::NearMiss);
        EXPECT_NEAR(f.value, 0.3f, 1e-4f);
    }
    EXPECT_EQ(moved.counts[static_cast<int>(FindingKind::NearMiss)], 2);

    // Nudged 1.6 in all, beyond a joint's reach: four open ends, each 1.6 from its partner.
    MoveObject(5, 1.3f, 0, 0);
    const std::vector<LayoutFinding> nudged = layout::CheckLayout(layout).findings;
    ASSERT_EQ(nudged.size(), 4u);
    for (const LayoutFinding& f : nudged) {
        EXPECT_EQ(f.kind, FindingKind::OpenEnd);
        EXPECT_NEAR(f.value, 1.6f, 1e-3f);
    }
    MoveObject(5, -1.3f, 0, 0);

    // Back in place and piece 5 taken out: open ends where pieces 4 and 6 (now 5) met it.
    MoveObject(5, -0.3f, 0, 0);
    layout.Selection().SetSelected(5, true);
    ASSERT_TRUE(layout.DeleteSelected().ok());
    const std::vector<LayoutFinding> open = layout::CheckLayout(layout).findings;
    ASSERT_EQ(open.size(), 2u);
    const Pose gapStart = starts[5], gapEnd = starts[6];
    std::vector<std::pair<int, Pose>> expected{{4, gapStart}, {5, gapEnd}};
    if (gapEnd.x < gapStart.x) std::swap(expected[0], expected[1]);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(open[i].kind, FindingKind::OpenEnd);
        EXPECT_EQ(open[i].objects, std::vector<int>{expected[i].first});
        EXPECT_NEAR(open[i].position.x, expected[i].second.x, 1e-3);
        EXPECT_NEAR(open[i].position.z, expected[i].second.z, 1e-3);
    }
}

TEST_F(LayoutCheckTest, HeightAndAngleFaultsAtAJointAreNearMissesAndSlopesJoinCleanly)
{
    PlaceAt("straight", {0, -10, 0});
    PlaceAt("slope", {});
    PlaceAt("straight", {0, 10, 0}, 1.0f); // on top of the slope: a clean joint
    EXPECT_TRUE(Findings(FindingKind::NearMiss).empty());

    MoveObject(2, 0, 0.05f, 0);
    std::vector<LayoutFinding> high = Findings(FindingKind::NearMiss);
    ASSERT_EQ(high.size(), 1u);
    EXPECT_EQ(high[0].objects, (std::vector<int>{1, 2}));
    EXPECT_NEAR(high[0].value, 0.05f, 1e-4f);

    MoveObject(2, 0, -0.05f, 0);
    layout.Selection().DeselectAll();
    layout.Selection().SetSelected(0, true);
    ASSERT_TRUE(layout.TurnSelectedBy(3.0f).ok()); // about its origin: its far end swings aside
    const std::vector<LayoutFinding> turned = Findings(FindingKind::NearMiss);
    ASSERT_EQ(turned.size(), 1u);
    EXPECT_EQ(turned[0].objects, (std::vector<int>{0, 1}));
    EXPECT_GT(turned[0].value, 0.01f);
}

TEST_F(LayoutCheckTest, EachKindIsFoundWhereItLiesAndNowhereElse)
{
    // 0-2: a line of three straights along z from 0 to 30; 3: a copy of the middle one.
    for (int i = 0; i < 3; ++i)
        PlaceAt("straight", {0, 10.0 * i, 0});
    PlaceAt("straight", {0, 10, 0});
    // 4: a straight laid across the line at ground level; 5: a deck across it 4 units up.
    PlaceAt("straight", {-5, 25, 90});
    PlaceAt("deck", {-5, 15, 90}, 4.0f);
    // 6: a slope of 10 % on its own; 7: a turnout with nothing at its trailing ends, without key;
    // 8: the same with a key; 9, 10: two houses in one place.
    PlaceAt("slope", {100, 0, 0});
    PlaceAt("turnout", {200, 0, 0});
    PlaceAt("turnout", {300, 0, 0}, 0, 3);
    PlaceAt("house", {400, 0, 0});
    PlaceAt("house", {400, 0, 0});

    const layout::LayoutCheckResult result = layout::CheckLayout(layout);
    EXPECT_EQ(ObjectsOf(Findings(FindingKind::Overlap)), (Objects{{1, 3}, {2, 4}, {9, 10}}));
    const std::vector<LayoutFinding> clearance = Findings(FindingKind::Clearance);
    EXPECT_EQ(ObjectsOf(clearance), (Objects{{1, 5}, {3, 5}}));
    for (const LayoutFinding& f : clearance)
        EXPECT_NEAR(f.value, 3.5f, 1e-3f);
    const std::vector<LayoutFinding> grade = Findings(FindingKind::Grade);
    ASSERT_EQ(ObjectsOf(grade), (Objects{{6}}));
    EXPECT_NEAR(grade[0].value, 10.0f, 1e-2f);
    EXPECT_EQ(ObjectsOf(Findings(FindingKind::TurnoutWithoutKey)), (Objects{{7}}));
    EXPECT_TRUE(Findings(FindingKind::NearMiss).empty());
    // Open: the line's two ends, both ends of the crossing piece, of the deck and of the slope,
    // and the three ends of each turnout.
    EXPECT_EQ(ObjectsOf(Findings(FindingKind::OpenEnd)),
              (Objects{{5}, {4}, {0}, {2}, {5}, {4}, {6}, {6}, {7}, {7}, {7}, {8}, {8}, {8}}));
    EXPECT_EQ(result.counts[static_cast<int>(FindingKind::OpenEnd)], 14);

    // Raised high enough, the deck leaves room; a gentler threshold spares the slope.
    MoveObject(5, 0, 2.0f, 0);
    EXPECT_TRUE(Findings(FindingKind::Clearance).empty());
    EXPECT_TRUE(Findings(FindingKind::Grade, {.maxGradePercent = 10.5f}).empty());
    // A track joined at a trailing end lets trains throw the turnout.
    PlaceAt("straight", Pose{200, 0, 0}.Then(0, 10, 0));
    EXPECT_TRUE(Findings(FindingKind::TurnoutWithoutKey).empty());
}

// A pile of copies (a copy pressed many times without a move) is one overlap, and a track
// across it crosses every copy; a house on the pile overlaps none of them.
TEST_F(LayoutCheckTest, CopiesPiledAtOnePlaceAreOneFindingAndEachCrossesWhatTheFirstCrosses)
{
    for (int i = 0; i < 40; ++i)
        PlaceAt("straight", {0, 0, 0});
    PlaceAt("straight", {-5, 5, 90});
    PlaceAt("house", {0, 5, 0});
    Objects expected(1);
    for (int i = 0; i < 40; ++i) {
        expected.front().push_back(i);
        expected.push_back({i, 40});
    }
    Objects overlaps = ObjectsOf(Findings(FindingKind::Overlap));
    std::sort(overlaps.begin(), overlaps.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(overlaps, expected);
}

TEST_F(LayoutCheckTest, MendingClosesLooseJointsAndLeavesPiecesHeldAtBothEnds)
{
    LayRing();
    MoveObject(5, 0.3f, 0, -0.2f);
    const std::vector<layout::PlacedObject> gapped(layout.Placed().All().begin(),
                                                   layout.Placed().All().end());
    const std::string gappedFile = layout::MapFileText(layout, vehicles);
    const std::size_t steps = layout.History().UndoCount();

    // One edit closes both joints of the moved piece; undo gives the gap back exactly.
    const layout::JointMending mending = layout.MendJoints();
    ASSERT_EQ(mending.moves.size(), 1u);
    EXPECT_EQ(mending.moves[0].index, 5);
    EXPECT_TRUE(mending.notMended.empty());
    EXPECT_TRUE(layout::CheckLayout(layout).findings.empty());
    ASSERT_EQ(layout.History().UndoCount(), steps + 1);
    EXPECT_EQ(layout.History().NextUndo()->Label(), "継ぎ目合わせ (1 個)");
    ASSERT_TRUE(layout.Undo());
    EXPECT_TRUE(
        std::equal(gapped.begin(), gapped.end(), layout.Placed().All().begin(), layout.Placed().All().end()));
    EXPECT_EQ(layout::MapFileText(layout, vehicles), gappedFile);
    ASSERT_TRUE(layout.Redo());
    EXPECT_TRUE(layout::CheckLayout(layout).findings.empty());
    // Nothing left to mend: no edit at all.
    EXPECT_TRUE(layout.MendJoints().moves.empty());
    EXPECT_EQ(layout.History().UndoCount(), steps + 1);

    // A straight line whose middle joint is 0.4 apart: both pieces are held at their other ends.
    layout.ClearPlacedObjects();
    PlaceAt("straight", {0, 0, 0});
    PlaceAt("straight", {0, 10, 0});
    PlaceAt("straight", {0.4, 20, 0});
    PlaceAt("straight", {0.4, 30, 0});
    const std::size_t before = layout.History().UndoCount();
    const layout::JointMending held = layout.MendJoints();
    EXPECT_TRUE(held.moves.empty());
    EXPECT_EQ(layout.History().UndoCount(), before);
    ASSERT_EQ(held.notMended.size(), 1u);
    EXPECT_EQ(held.notMended[0].objects, (std::vector<int>{1, 2}));
}

TEST_F(LayoutCheckTest, MarkersStandAtTheFindingsAndFollowASteepRoute)
{
    PlaceAt("slope", {20, 0, 90});
    const std::vector<LayoutFinding> findings = layout::CheckLayout(layout).findings;
    ASSERT_EQ(findings.size(), 3u); // two open ends and the grade
    const std::vector<gfx::ColoredVertex> lines = layout::CheckMarkerVertices(layout, findings);
    ASSERT_EQ(lines.size() % 2, 0u);
    int red = 0, blue = 0;
    for (const gfx::ColoredVertex& v : lines) {
        red += v.color == layout::MarkerColour(FindingKind::OpenEnd);
        blue += v.color == layout::MarkerColour(FindingKind::Grade);
    }
    EXPECT_EQ(red, 2 * 6); // a post and a cross at each open end
    // The grade's post and cross, then its route, 8 segments from (20, 0.5) east to (30, 1.5).
    EXPECT_EQ(blue, 6 + 2 * 8);
    EXPECT_NEAR(lines.back().position.x, 30.0f, 1e-4f);
    EXPECT_NEAR(lines.back().position.y, 1.5f, 1e-4f);

    // Drawn untextured after an object that left its texture bound.
    device->SetTexture(std::make_shared<const gfx::Texture>(device->Id(), "grass.png", 2, 2));
    device->ClearCalls();
    layout::DrawCheckMarkers(device.get(), layout, findings);
    const auto draws = device->CallsOf<gfx::call::DrawLineList>();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].state.texture, nullptr);
    EXPECT_EQ(draws[0].vertices.size(), lines.size());
}

} // namespace
