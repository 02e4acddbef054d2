#include "front/DialogPlacement.h"

#include <gtest/gtest.h>

namespace front {
namespace {

const wxRect kWide{0, 0, 1280, 1024};
const wxSize kMinimum{341, 229};

TEST(DialogPlacement, TheObjectDialogGoesBesideTheSettingsNarrowedOrBelowButNeverOverThem)
{
    const wxRect setUp{24, 64, 700, 600};
    // Room for all of it beside: as wide as it asks, down to the settings' bottom edge.
    wxRect objects = PlaceObjectDialog(setUp, {400, 300}, kMinimum, kWide);
    EXPECT_EQ(objects, wxRect(732, 64, 400, 600));

    // Too wide for the room left: narrowed to it.
    objects = PlaceObjectDialog(setUp, {700, 300}, kMinimum, kWide);
    EXPECT_EQ(objects, wxRect(732, 64, 548, 600));
    EXPECT_FALSE(objects.Intersects(setUp));

    // Wider settings leave less than the least width beside them: below, cut to the screen.
    const wxRect broad{24, 64, 1000, 600};
    objects = PlaceObjectDialog(broad, {700, 500}, kMinimum, kWide);
    EXPECT_EQ(objects, wxRect(24, 672, 700, 352));
    EXPECT_FALSE(objects.Intersects(broad));
}

TEST(DialogPlacement, OnASmallScreenEverythingStaysOnIt)
{
    const wxRect small{0, 0, 800, 600};
    const wxRect objects = PlaceObjectDialog({24, 64, 700, 500}, {400, 300}, kMinimum, small);
    EXPECT_TRUE(small.Contains(objects)) << objects.x << "," << objects.y;
    EXPECT_EQ(objects.GetSize(), wxSize(400, 300));

    // The viewer goes beside the main window where there is room, else against the screen edge.
    EXPECT_EQ(PlaceAtSide({0, 0, 1024, 768}, 64, {400, 500}, {0, 0, 1920, 1080}), wxRect(1032, 64, 400, 500));
    EXPECT_EQ(PlaceAtSide({0, 0, 1024, 768}, 64, {400, 500}, kWide), wxRect(880, 64, 400, 500));
    EXPECT_TRUE(small.Contains(PlaceAtSide({0, 0, 1024, 768}, 64, {900, 700}, small)));
}

TEST(DialogPlacement, AWindowThatMustLeaveTheObjectDialogInSightGoesBelowOrLeftOfIt)
{
    const wxRect main{0, 0, 1024, 768};
    const wxRect objects{746, 58, 534, 772};
    const wxRect side = PlaceAtSide(main, 64, {600, 320}, kWide);
    // Below the main window, cut to the screen, and moved left of the object dialog if need be.
    EXPECT_EQ(PlaceClearOf(side, main, objects, 200, kWide), wxRect(0, 776, 600, 248));
    EXPECT_EQ(PlaceClearOf(side, {200, 0, 1024, 768}, objects, 200, kWide), wxRect(138, 776, 600, 248));
    // No room below: left of the object dialog, over the view.
    EXPECT_EQ(PlaceClearOf(side, main, objects, 300, kWide), wxRect(138, 64, 600, 320));
    // Clear already, or nothing to keep clear: where it was.
    EXPECT_EQ(PlaceClearOf(side, main, {0, 800, 100, 100}, 200, kWide), side);
    EXPECT_EQ(PlaceClearOf(side, main, {}, 200, kWide), side);
}

TEST(DialogPlacement, AWindowThatCoversAnotherAtTheSideGoesBelowItWhereThatIsClear)
{
    // The parts list left of the object dialog, over the check window at the view's left edge.
    const wxRect objects{744, 78, 536, 797};
    const wxRect check{8, 78, 495, 421};
    const wxRect parts{158, 78, 578, 440};
    EXPECT_EQ(PlaceBelowOthers(parts, {check}, objects, 261, kWide), wxRect(8, 507, 578, 440));
    // Cut to the screen's bottom, but not below its least height.
    EXPECT_EQ(PlaceBelowOthers(parts, {{8, 78, 495, 560}}, objects, 261, kWide), wxRect(8, 646, 578, 378));
    EXPECT_EQ(PlaceBelowOthers(parts, {{8, 78, 495, 800}}, objects, 261, kWide), parts);
    // Below it would cover the object dialog or another window: where it stands.
    EXPECT_EQ(PlaceBelowOthers(parts, {{300, 78, 495, 421}}, objects, 261, kWide), parts);
    EXPECT_EQ(PlaceBelowOthers(parts, {check, {0, 600, 300, 100}}, objects, 261, kWide), parts);
    // Covering none: where it stands, whatever else it covers.
    EXPECT_EQ(PlaceBelowOthers(parts, {{0, 900, 100, 100}}, objects, 261, kWide), parts);
}

TEST(DialogPlacement, AThirdWindowAtTheSideFindsTheRoomTheOtherTwoLeave)
{
    // The English operation window, too tall to go below the messages viewer, goes to the view's
    // left edge, or right against the viewer where the view has less room.
    const wxRect main{0, 0, 1024, 743};
    const wxRect messages{720, 82, 560, 420};
    EXPECT_EQ(PlaceBelowOrAtSide(main, messages, {622, 591}, 591, kWide), wxRect(8, 82, 622, 591));
    EXPECT_EQ(PlaceBelowOrAtSide(main, messages, {710, 591}, 591, kWide), wxRect(2, 82, 710, 591));

    // The check window, placed at the side over the viewer, moves to the nearest free room: below
    // the viewer, beside the operation window.
    const wxRect bars{0, 0, 1024, 78};
    const wxRect operation{8, 82, 622, 591};
    const wxRect check{669, 82, 611, 446};
    EXPECT_EQ(PlaceInFreeRoom(check, 446, {bars, messages, operation}, kWide), wxRect(669, 510, 611, 446));
    // Cut to the room above the next window below it, but not below its least height.
    EXPECT_EQ(PlaceInFreeRoom(check, 300, {bars, messages, operation, {640, 900, 640, 124}}, kWide),
              wxRect(669, 510, 611, 382));
    // Nowhere clear: where it was wanted.
    EXPECT_EQ(PlaceInFreeRoom(check, 446, {bars, messages, {88, 82, 622, 591}}, kWide), check);
}

} // namespace
} // namespace front
