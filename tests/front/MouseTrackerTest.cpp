#include "front/MouseTracker.h"

#include <gtest/gtest.h>

namespace front {
namespace {

TEST(MouseTracker, ReportsOnlyMovementAfterTheFirstRead)
{
    MouseTracker mouse;
    mouse.Moved(MouseView::Main, 10, 10, true);
    mouse.Moved(MouseView::Main, 50, 30, true);
    // The first read starts the device: what came before it is not movement of the drag.
    app::MouseMotion first = mouse.ReadMain();
    EXPECT_EQ(first.dx, 0);
    EXPECT_EQ(first.dy, 0);

    mouse.Moved(MouseView::Main, 53, 26, true);
    mouse.Moved(MouseView::Main, 60, 20, true);
    const app::MouseMotion motion = mouse.ReadMain();
    EXPECT_EQ(motion.dx, 10);
    EXPECT_EQ(motion.dy, -10);
    // A read hands the movement over: the next one starts from nothing.
    const app::MouseMotion again = mouse.ReadMain();
    EXPECT_EQ(again.dx, 0);
    EXPECT_EQ(again.dy, 0);
}

TEST(MouseTracker, CountsAViewOnlyWhileItsWindowIsActive)
{
    MouseTracker mouse;
    mouse.ReadMain();
    mouse.ReadPreview();
    mouse.Moved(MouseView::Main, 0, 0, false);
    mouse.Moved(MouseView::Main, 40, 40, false);
    mouse.Moved(MouseView::Preview, 0, 0, true);
    mouse.Moved(MouseView::Preview, 5, -7, true);
    const app::MouseMotion main = mouse.ReadMain();
    EXPECT_EQ(main.dx, 0);
    EXPECT_EQ(main.dy, 0);
    const app::MouseMotion preview = mouse.ReadPreview();
    EXPECT_EQ(preview.dx, 5);
    EXPECT_EQ(preview.dy, -7);

    // Once the window is active again its movement counts from where the pointer was, without
    // the jump made while it was inactive.
    mouse.Moved(MouseView::Main, 42, 41, true);
    const app::MouseMotion resumed = mouse.ReadMain();
    EXPECT_EQ(resumed.dx, 2);
    EXPECT_EQ(resumed.dy, 1);
}

TEST(MouseTracker, AJumpAfterThePointerLeftIsNotMovement)
{
    MouseTracker mouse;
    mouse.ReadMain();
    mouse.Moved(MouseView::Main, 100, 100, true);
    mouse.LostTrack(MouseView::Main);
    mouse.Moved(MouseView::Main, 0, 0, true);
    mouse.Moved(MouseView::Main, 3, 4, true);
    const app::MouseMotion motion = mouse.ReadMain();
    EXPECT_EQ(motion.dx, 3);
    EXPECT_EQ(motion.dy, 4);
}

TEST(MouseTracker, UnacquiringDropsWhatWasNotRead)
{
    MouseTracker mouse;
    mouse.ReadMain();
    mouse.Moved(MouseView::Main, 0, 0, true);
    mouse.Moved(MouseView::Main, 9, 9, true);
    mouse.Wheel(MouseView::Main, 120, true);
    mouse.Unacquire();
    // Released buttons stop the device; nothing moves until it is read again.
    mouse.Moved(MouseView::Main, 20, 20, true);
    const app::MouseMotion motion = mouse.ReadMain();
    EXPECT_EQ(motion.dx, 0);
    EXPECT_EQ(motion.dy, 0);
    EXPECT_EQ(motion.wheel, 0);
}

TEST(MouseTracker, WheelCountsLikeMovement)
{
    MouseTracker mouse;
    mouse.Wheel(MouseView::Preview, 120, true); // before the device started
    mouse.ReadPreview();
    mouse.Wheel(MouseView::Preview, -120, true);
    mouse.Wheel(MouseView::Preview, -120, true);
    mouse.Wheel(MouseView::Preview, 120, false); // window inactive
    EXPECT_EQ(mouse.ReadPreview().wheel, -240);
}

} // namespace
} // namespace front
