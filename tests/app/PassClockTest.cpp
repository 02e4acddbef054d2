#include "app/PassClock.h"

#include <gtest/gtest.h>

namespace {

using app::PassClock;
using namespace std::chrono_literals;

// A clock whose time the test sets.
struct SteppedClock {
    PassClock::Duration now = 5s;
    PassClock clock{[this] { return now; }};

    // Frames at `fps` for `seconds` of wall time, each taking what is due; the total passes.
    int Run(int fps, int seconds = 1)
    {
        const PassClock::Duration from = now;
        int passes = 0;
        for (int frame = 1; frame <= fps * seconds; ++frame) {
            now = from + std::chrono::duration_cast<PassClock::Duration>(1s * seconds) * frame / (fps * seconds);
            const int due = clock.TakeDue();
            EXPECT_LE(due, PassClock::kMaxPassesPerFrame);
            passes += due;
        }
        return passes;
    }
};

TEST(PassClockTest, SixtyPassesASecondWhateverTheDrawingRate)
{
    for (const int fps : {20, 35, 60, 144, 1000}) {
        SteppedClock c;
        EXPECT_EQ(c.Run(fps), 60) << fps << " fps";
        EXPECT_EQ(c.Run(fps, 3), 180) << fps << " fps";
    }
}

TEST(PassClockTest, EachRateMultipliesThePassesUntilTheCapOfAFrame)
{
    for (const int rate : PassClock::kRates) {
        SteppedClock c;
        ASSERT_TRUE(c.clock.SetRate(rate));
        EXPECT_EQ(c.Run(144), 60 * rate) << "x" << rate;
    }
    // At 20 frames a second ×8 would need 24 passes a frame: eight are run and time slows.
    SteppedClock slow;
    slow.clock.SetRate(8);
    EXPECT_EQ(slow.Run(20), 20 * PassClock::kMaxPassesPerFrame);

    SteppedClock c;
    EXPECT_FALSE(c.clock.SetRate(3));
    EXPECT_EQ(c.clock.Rate(), 1);
}

TEST(PassClockTest, FastForwardCyclesAndStepsBack)
{
    SteppedClock c;
    std::vector<int> rates;
    for (int press = 0; press < 5; ++press) {
        c.clock.Faster();
        rates.push_back(c.clock.Rate());
    }
    EXPECT_EQ(rates, (std::vector<int>{2, 4, 8, 1, 2}));
    c.clock.SetRate(8);
    c.clock.Slower();
    EXPECT_EQ(c.clock.Rate(), 4);
    c.clock.SetRate(1);
    c.clock.Slower();
    EXPECT_EQ(c.clock.Rate(), 1);
}

TEST(PassClockTest, PauseKeepsTheViewPacedButCountsNoSimulatedPass)
{
    SteppedClock c;
    c.clock.SetRate(4);
    c.clock.SetPaused(true);
    // Paused, the view's passes come at the ×1 pace and none counts as simulated.
    int passes = 0;
    for (int frame = 0; frame < 60; ++frame) {
        c.now += PassClock::Duration(1s) / 60;
        const int due = c.clock.TakeDue();
        for (int pass = 0; pass < due; ++pass)
            c.clock.CountPass();
        passes += due;
    }
    EXPECT_NEAR(passes, 60, 1);
    EXPECT_EQ(c.clock.Passes(), 0);
    EXPECT_EQ(c.clock.StateText(), "一時停止 ×4");

    c.clock.SetPaused(false);
    EXPECT_EQ(c.clock.StateText(), "×4");
    EXPECT_NEAR(c.Run(60), 240, 1);
    c.clock.CountPass();
    EXPECT_EQ(c.clock.Passes(), 1);
    c.clock.SetRate(1);
    EXPECT_EQ(c.clock.StateText(), "");
}

TEST(PassClockTest, TimeGoingBackOrStallingBringsNoBurst)
{
    SteppedClock c;
    c.Run(60);
    // Suspended for ten seconds: one capped frame, then the usual pace.
    c.now += 10s;
    EXPECT_EQ(c.clock.TakeDue(), PassClock::kMaxPassesPerFrame);
    EXPECT_EQ(c.Run(60), 60);

    // The clock set back an hour: nothing is owed for it, and the pace goes on from there.
    c.now -= 3600s;
    EXPECT_EQ(c.clock.TakeDue(), 0);
    EXPECT_EQ(c.Run(35), 60);
}

TEST(PassClockTest, SaysHowLongTheLoopMaySleep)
{
    SteppedClock c;
    c.clock.ResetPace();
    EXPECT_EQ(c.clock.TakeDue(), 0);
    const PassClock::Duration wait = c.clock.UntilDue();
    EXPECT_NEAR(std::chrono::duration<double>(wait).count(), 1.0 / 60, 1e-6);
    // Sleeping exactly that long always finds the pass due.
    c.now += wait;
    EXPECT_EQ(c.clock.UntilDue(), PassClock::Duration::zero());
    EXPECT_EQ(c.clock.TakeDue(), 1);
    c.clock.SetRate(8);
    EXPECT_NEAR(std::chrono::duration<double>(c.clock.UntilDue()).count(), 1.0 / 480, 1e-6);
}

TEST(PassClockTest, StartCountsFromNow)
{
    SteppedClock c;
    c.clock.CountPass();
    c.now += 30s;
    c.clock.Start();
    // Nothing is owed from before Start.
    c.now += 20ms;
    EXPECT_EQ(c.clock.TakeDue(), 1);
    c.now += 2480ms;
    c.clock.CountPass();
    EXPECT_EQ(c.clock.Passes(), 1);
    EXPECT_DOUBLE_EQ(c.clock.Seconds(), 2.5);
}

} // namespace
