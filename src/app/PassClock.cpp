#include "app/PassClock.h"

#include <algorithm>

namespace app {

namespace {

// A longer step is a suspended machine or a stalled window: it can owe no more than the cap
// anyway, and the product below stays far from overflowing.
constexpr PassClock::Duration kLongestStep = std::chrono::seconds(1);

PassClock::Duration SteadyNow()
{
    return std::chrono::duration_cast<PassClock::Duration>(std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace

PassClock::PassClock(TimeSource now) : now_(now ? std::move(now) : TimeSource(SteadyNow))
{
    Start();
}

void PassClock::SetPaused(bool paused)
{
    if (paused == paused_) return;
    Advance();
    paused_ = paused;
}

bool PassClock::SetRate(int rate)
{
    if (std::find(kRates.begin(), kRates.end(), rate) == kRates.end()) return false;
    if (rate == rate_) return true;
    Advance();
    rate_ = rate;
    return true;
}

void PassClock::Faster()
{
    SetRate(rate_ >= kRates.back() ? kRates.front() : rate_ * 2);
}

void PassClock::Slower()
{
    SetRate(std::max(kRates.front(), rate_ / 2));
}

std::string PassClock::StateText() const
{
    std::string text = paused_ ? "一時停止" : "";
    if (rate_ != 1) text += (text.empty() ? "×" : " ×") + std::to_string(rate_);
    return text;
}

void PassClock::Start()
{
    ResetPace();
    start_ = last_;
    passes_ = 0;
    frames_ = 0;
}

void PassClock::ResetPace()
{
    last_ = now_();
    owed_ = 0;
}

void PassClock::Advance()
{
    const Duration now = now_();
    // A clock set back owes nothing for the time it went back.
    const Duration step = std::clamp(now - last_, Duration::zero(), kLongestStep);
    last_ = now;
    owed_ += step.count() * kPassesPerSecond * Pace();
}

int PassClock::TakeDue()
{
    Advance();
    const std::int64_t due = owed_ / kPassUnits;
    if (due > kMaxPassesPerFrame) {
        // Behind by more than a frame's worth: that time is let go, not caught up later.
        owed_ %= kPassUnits;
        return kMaxPassesPerFrame;
    }
    owed_ -= due * kPassUnits;
    return static_cast<int>(due);
}

PassClock::Duration PassClock::UntilDue() const
{
    const Duration now = now_();
    const std::int64_t owed =
        owed_ + std::clamp(now - last_, Duration::zero(), kLongestStep).count() * kPassesPerSecond * Pace();
    if (owed >= kPassUnits) return Duration::zero();
    const std::int64_t perNanosecond = std::int64_t{kPassesPerSecond} * Pace();
    // Rounded up, so that a sleep of this long always finds the pass due.
    return Duration((kPassUnits - owed + perNanosecond - 1) / perNanosecond);
}

void PassClock::CountPass()
{
    if (!paused_) ++passes_;
}

double PassClock::Seconds() const
{
    return std::chrono::duration<double>(now_() - start_).count();
}

} // namespace app
