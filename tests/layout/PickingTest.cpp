// Picking with the mouse ray, the selection it makes, and dragging: across the ground with grid
// and magnet, up and down with Shift, turning with Alt, and level rays that must change nothing.
#include "LayoutTestSupport.h"
#include "layout/Snapping.h"
#include "math/Matrix.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <algorithm>
#include <cmath>

namespace layouttest {
namespace {

using layout::DragFlags;

class PickingTest : public LayoutTest {
  protected:
    void SetUp() override
    {
        WriteType("a_box", {});
        // A rail two units long with an end at either side.
        WriteType("b_rail", {"SnapX0=1", "SnapZ0=0", "SnapX1=-1", "SnapZ1=0"});
        // Ten snap points; only the tenth lies near the rail's ends.
        std::vector<std::string> ten;
        for (int k = 0; k < 9; ++k) {
            ten.push_back("SnapX" + std::to_string(k) + "=" + std::to_string(50 + k));
            ten.push_back("SnapZ" + std::to_string(k) + "=0");
        }
        ten.push_back("SnapX9=-1");
        ten.push_back("SnapZ9=0");
        WriteType("c_ten", ten);
        Scan();
    }
    void ExpectFinite() const
    {
        for (const auto& object : layout.Placed().All())
            EXPECT_TRUE(std::isfinite(object.x) && std::isfinite(object.y) && std::isfinite(object.z) &&
                        std::isfinite(object.angle));
    }
};

TEST_F(PickingTest, PicksTheSurfaceNearestAlongTheRay)
{
    Place(0, 0, 0, 0); // top at 0.5
    Place(0, 0, 3, 0); // top at 3.5: nearer from above
    Place(0, 0, -3, 0);
    const layout::PickHit hit = layout.FindPickHit(Down(0.2f, 0.3f));
    EXPECT_EQ(hit.index, 1);
    EXPECT_NEAR(hit.distance, 100.0f - 3.5f, 1e-3f);
    EXPECT_EQ(layout.FindPickHit(Down(5, 5)), layout::PickHit{});

    // From below the lowest one wins.
    EXPECT_EQ(layout.FindPickHit({{0, -100, 0}, {0, 100, 0}}).index, 2);
    // Objects are tested in their own space: a box turned by 45 degrees reaches further.
    Place(0, 10, 0, 0, 45);
    EXPECT_EQ(layout.FindPickHit(Down(11.3f, 0)).index, 3);
    EXPECT_EQ(layout.FindPickHit(Down(10.8f, 0.8f)).index, -1);
}

TEST_F(PickingTest, EqualDistancesGoToTheHigherIndex)
{
    Place(0, 0, 0, 0);
    Place(0, 0, 0, 0);
    EXPECT_EQ(layout.FindPickHit(Down(0, 0)).index, 1);
}

TEST_F(PickingTest, OnlyTheFirstTenHitsOfTheScanCount)
{
    // Twelve boxes stacked under the ray; the nearest (highest) has the lowest index. The scan
    // runs from the last index down and stops at the eleventh hit, as the program always has.
    for (int i = 0; i < 12; ++i)
        Place(0, 0, float(11 - i) * 2, 0);
    EXPECT_EQ(layout.FindPickHit(Down(0, 0)).index, 2);
}

TEST_F(PickingTest, ClicksSelectAndCtrlClicksAddOrRemove)
{
    Place(0, 0, 0, 0);
    Place(0, 5, 0, 0);
    Place(0, 10, 0, 0);
    EXPECT_NEAR(Pick(Down(0, 0), false), 99.5f, 1e-3f);
    EXPECT_EQ(layout.Selection().Primary(), 0);
    EXPECT_EQ(layout.Drag().LastPickRay(), Down(0, 0));

    Pick(Down(5, 0), true);
    Pick(Down(10, 0), true);
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(layout.Selection().Primary(), 2);
    // The picked row is scrolled into view.
    EXPECT_EQ(layout.ObjectDialog().List(ui::objsel::kPlacedList).ScrollRequests().back().row, 2);

    Pick(Down(5, 0), true); // already selected: taken out
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{0, 2}));
    EXPECT_EQ(layout.Selection().Primary(), -1);

    Pick(Down(10, 0), false);
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{2});

    EXPECT_EQ(Pick(Down(50, 0), true), layout::kNoHitDistance);
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{2});
    EXPECT_EQ(layout.Selection().Primary(), -1);
    Pick(Down(50, 0), false);
    EXPECT_TRUE(layout.Selection().Selected().empty());
}

TEST_F(PickingTest, GridDragsMoveInWholeUnits)
{
    Place(0, 0, 0, 0);
    Pick(Down(0.2f, 0.3f), false);
    layout.Drag().BeginDrag();
    layout.Drag().DragSelected(Down(3.15f, 0.3f), {.grid = true}); // 2.95 becomes 3
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{3, 0, 0}));
    layout.Drag().DragSelected(Down(3.05f, 0.3f), {.grid = true}); // 2.85 becomes 2
    EXPECT_EQ(layout.Placed().Position(0).x, 2.0f);
    layout.Drag().DragSelected(Down(3.05f, 1.0f), {});
    EXPECT_NEAR(layout.Placed().Position(0).x, 2.85f, 1e-5f);
    EXPECT_NEAR(layout.Placed().Position(0).z, 0.7f, 1e-5f);

    EXPECT_TRUE(layout.Drag().EndDrag());
    EXPECT_FALSE(layout.Drag().Dragging());
    // The whole drag is one edit, undone back to where the object was picked up.
    EXPECT_EQ(layout.History().UndoCount(), 1u);
    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{0, 0, 0}));
}

TEST_F(PickingTest, TheWholeSelectionMovesAndTurnsWithThePrimary)
{
    Place(0, 0, 0, 0);
    Place(0, 5, 0, 0, 30);
    Place(0, 0, 0, 5);
    layout.Selection().SetSelected(1, true);
    layout.Selection().SetSelected(2, true);
    Pick(Down(0, 0.5f), true); // primary: object 0, grabbed at (0, 0.5)
    ASSERT_EQ(layout.Selection().Primary(), 0);

    layout.Drag().DragSelected(Down(10, 20.5f), {});
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{10, 0, 20}));
    EXPECT_EQ(layout.Placed().Position(1), (math::Vec3{15, 0, 20}));
    EXPECT_EQ(layout.Placed().Position(2), (math::Vec3{10, 0, 25}));

    // Alt: the grab point swings from straight ahead (+z) to +x, a quarter turn.
    layout.Drag().DragSelected(Down(10.5f, 20), {.alt = true});
    EXPECT_NEAR(layout.Placed().Find(0)->angle, 90.0f, 1e-3f);
    EXPECT_NEAR(layout.Placed().Find(1)->angle, 120.0f, 1e-3f);
    EXPECT_NEAR(layout.Placed().Find(1)->x, 10.0f, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(1)->z, 15.0f, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(2)->x, 15.0f, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(2)->z, 20.0f, 1e-4f);

    // Shift and Alt together change nothing.
    const auto before = std::vector<layout::PlacedObject>(layout.Placed().All().begin(), layout.Placed().All().end());
    layout.Drag().DragSelected(Down(30, 30), {.shift = true, .alt = true});
    EXPECT_TRUE(std::equal(before.begin(), before.end(), layout.Placed().All().begin()));
}

TEST_F(PickingTest, AltTurnsInStepsOfFiveDegreesOnTheGrid)
{
    Place(0, 0, 0, 0);
    Pick(Down(0, 0.5f), false);
    layout.Drag().DragSelected(Down(0.5f, 1.0f), {.alt = true, .grid = true}); // 26.57 degrees
    EXPECT_EQ(layout.Placed().Find(0)->angle, 25.0f);
    layout.Drag().DragSelected(Down(-0.5f, -1.0f), {.alt = true, .grid = true}); // -153.43 degrees
    EXPECT_EQ(layout.Placed().Find(0)->angle, 205.0f);
}

TEST_F(PickingTest, ShiftRaisesTheSelectionWithGridSteps)
{
    Place(0, 0, 0, 0);
    Place(0, 4, 1, 0);
    layout.Selection().SetSelected(1, true);
    Pick(Down(0, 0), true);
    // A ray across the plane x = 0 from the side, meeting it at height 2.7.
    const layout::PickRay side{{-10, 2.7f, 0}, {10, 2.7f, 0}};
    layout.Drag().DragSelected(side, {.shift = true, .grid = true});
    EXPECT_EQ(layout.Placed().Find(0)->y, 2.0f);
    EXPECT_EQ(layout.Placed().Find(1)->y, 3.0f);
    layout.Drag().DragSelected(side, {.shift = true});
    EXPECT_NEAR(layout.Placed().Find(0)->y, 2.7f, 1e-5f);
    EXPECT_EQ(layout.Placed().Position(0).x, 0.0f);
}

TEST_F(PickingTest, TheMagnetJoinsEndsWithinReachOnly)
{
    Place(1, 0, 0, 0);     // fixed rail: ends at x = -1 and 1
    Place(1, 2.8f, 0, 0);  // its left end is 0.8 away
    Place(1, -3.2f, 0, 0); // its right end is 1.2 from the fixed rail's left end
    Pick(Down(2.8f, 0.5f), false);
    layout.Drag().DragSelected(Down(2.8f, 0.5f), {.grid = true, .magnet = true});
    EXPECT_NEAR(layout.Placed().Position(1).x, 2.0f, 1e-5f);
    EXPECT_NEAR(layout.Placed().Position(1).z, 0.0f, 1e-5f);
    // The shift holds while the mouse stays.
    layout.Drag().DragSelected(Down(2.8f, 0.5f), {.magnet = true});
    EXPECT_NEAR(layout.Placed().Position(1).x, 2.0f, 1e-5f);

    // 1.2 away: no pull.
    Pick(Down(-3.2f, 0.5f), false);
    ASSERT_EQ(layout.Selection().Primary(), 2);
    layout.Drag().DragSelected(Down(-3.2f, 0.5f), {.magnet = true});
    EXPECT_EQ(layout.Placed().Position(2), (math::Vec3{-3.2f, 0, 0}));
}

TEST_F(PickingTest, TheMagnetLooksAtNineSnapPointsOnly)
{
    Place(1, 0, 0, 0);
    Place(2, 2.5f, 0, 0); // its tenth point would sit 0.5 from the rail's end
    Pick(Down(2.5f, 0), false);
    layout.Drag().DragSelected(Down(2.5f, 0), {.magnet = true});
    EXPECT_EQ(layout.Placed().Position(1).x, 2.5f);
    EXPECT_EQ(layout.Catalogue().FindType(2)->UsedSnapCount(), 10);
}

TEST(Snapping, FindsTheNearestPairWithTheLowerPointWinningTies)
{
    const std::vector<math::Vec3> primary{{0, 0, 0}, {10, 0, 0}};
    const std::vector<std::vector<math::Vec3>> others{{{0.5f, 0, 0}}, {{10, 0, 0.5f}}};
    const layout::SnapOffset snap = layout::FindSnap(primary, others);
    EXPECT_TRUE(snap.snapped);
    EXPECT_EQ(snap.dx, 0.5f);
    EXPECT_EQ(snap.dz, 0.0f);
    EXPECT_FALSE(layout::FindSnap(primary, {}).snapped);
    EXPECT_EQ(layout::GridSnap(2.95f), 3.0f);
    EXPECT_EQ(layout::GridSnap(-0.05f), 0.0f);
    EXPECT_EQ(layout::GridTurn(-0.1f), -5.0f);
}

TEST_F(PickingTest, LevelRaysKeepEveryCoordinateFinite)
{
    Place(0, 0, 0, 0);
    Place(0, 3, 0, 0);
    Pick(Down(0.2f, 0.3f), false);
    const layout::GrabState grab = layout.Drag().Grab();
    const layout::PickRay level{{-50, 0.2f, 0.1f}, {50, 0.2f, 0.1f}};
    const layout::PickRay alongZ{{0.2f, 5, -50}, {0.2f, -5, 50}};

    EXPECT_LT(Pick(level, false), layout::kNoHitDistance);
    EXPECT_EQ(layout.Drag().Grab(), grab);
    layout.Drag().DragSelected(level, {});
    layout.Drag().DragSelected(level, {.alt = true});
    layout.Drag().DragSelected(alongZ, {.shift = true});
    layout.Drag().RegrabSelected(level);
    EXPECT_EQ(layout.Drag().Grab(), grab);
    EXPECT_FALSE(layout.PlaceObject(0, level).ok());
    EXPECT_EQ(layout.Placed().Count(), 2);
    ExpectFinite();
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{0, 0, 0}));
}

TEST_F(PickingTest, GrazingRaysAndPointsBeyondReachLeaveTheSelectionWhereItWas)
{
    Place(0, 0, 0, 0);
    Pick(Down(0, 0), false);
    // 0.3° below the horizon: the ground is met 400 units ahead.
    layout.Drag().DragSelected({{0, 2, 0}, {0, -3, 1000}}, {});
    layout.Drag().DragSelected({{0, 2, 0}, {0, -3, 1000}}, {.alt = true});
    // Along the plane x = 0 within 0.6°.
    layout.Drag().DragSelected({{-1, 2.7f, -100}, {1, 2.7f, 100}}, {.shift = true});
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{0, 0, 0}));
    EXPECT_EQ(layout.Placed().Find(0)->angle, 0.0f);

    // A steep ray meeting the ground 224 units from the eye: beyond a reach of 200, within 300.
    const layout::PickRay far{{0, 100, 0}, {0, -100, 400}};
    layout.Drag().DragSelected(far, {.reach = 200});
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{0, 0, 0}));
    layout.Drag().DragSelected(far, {.reach = 300});
    EXPECT_NEAR(layout.Placed().Position(0).z, 200.0f, 1e-3f);
}

TEST(PickRays, UnprojectTheViewPointAtBothDepths)
{
    const math::Matrix view = math::LookAtLH({0, 10, -10}, {0, 0, 0}, {0, 1, 0});
    const math::Matrix projection = math::PerspectiveFovLH(0.785398f, 4.0f / 3.0f, 1.0f, 1000.0f);
    const math::Viewport viewport{0, 0, 640, 480, 0, 1};
    const layout::PickRay ray = layout::ScreenToWorldRay(320, 240, viewport, projection, view);
    const std::optional<math::Vec3> ground = layout::MeetHeight(ray, 0);
    ASSERT_TRUE(ground.has_value());
    EXPECT_NEAR(ground->x, 0, 1e-3f);
    EXPECT_NEAR(ground->z, 0, 1e-3f);
    EXPECT_NEAR(math::Length(ray.nearPoint - math::Vec3{0, 10, -10}), 1.0f, 1e-3f);
}

} // namespace
} // namespace layouttest
