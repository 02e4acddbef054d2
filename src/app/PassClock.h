// The pace of the passes: 60 a second of wall time (two, four or eight times as many when
// fast-forwarded), at most eight before a frame is drawn, and whether the simulation is paused.
// The window's loop driver asks it how many passes are due and how long it may sleep; a
// headless run counts passes and never asks. The time source is given, so tests step it.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace app {

class PassClock {
  public:
    using Duration = std::chrono::nanoseconds;
    // Time since any fixed start; it should not go backwards, but may (a changed clock).
    using TimeSource = std::function<Duration()>;

    static constexpr int kPassesPerSecond = 60;
    // More would leave the window unanswered for too long on a machine that cannot keep up:
    // it runs slower than real time instead.
    static constexpr int kMaxPassesPerFrame = 8;
    static constexpr std::array<int, 4> kRates = {1, 2, 4, 8};

    // now defaults to the steady clock.
    explicit PassClock(TimeSource now = {});

    // --- what pause and fast-forward set
    bool Paused() const { return paused_; }
    void SetPaused(bool paused);
    int Rate() const { return rate_; }
    // False (and nothing changes) for a rate that is not one of kRates.
    bool SetRate(int rate);
    // ×1, ×2, ×4, ×8 and round to ×1 again.
    void Faster();
    // Back towards ×1, where it stays.
    void Slower();
    // The state line: "一時停止", "×4", both ("一時停止 ×4"), or empty at ×1 running.
    std::string StateText() const;

    // --- the loop driver
    // The counts and the pace start from now (the Start button).
    void Start();
    // Nothing is due from now on: when real time is switched on again.
    void ResetPace();
    // The passes due since the last call (at most kMaxPassesPerFrame; what the cap leaves over
    // is dropped). While paused they come at the ×1 pace: the view and the editing go on.
    int TakeDue();
    // How long until the next pass is due (zero when one is due now).
    Duration UntilDue() const;

    // --- counts of the report
    // Every pass of the loop calls it; a paused pass simulates nothing and is not counted.
    void CountPass();
    // Passes simulated since Start.
    std::int64_t Passes() const { return passes_; }
    // Every frame drawn after its passes calls it.
    void CountFrame() { ++frames_; }
    std::int64_t Frames() const { return frames_; }
    // Wall-clock seconds since Start.
    double Seconds() const;

  private:
    // Passes are counted in units of one pass per billion: a nanosecond at rate r adds 60·r.
    static constexpr std::int64_t kPassUnits = 1'000'000'000;

    int Pace() const { return paused_ ? 1 : rate_; }
    // Adds the time since the last reading at the pace in force until now.
    void Advance();

    TimeSource now_;
    bool paused_ = false;
    int rate_ = 1;
    Duration last_{};
    Duration start_{};
    std::int64_t owed_ = 0; // pass units due and not yet taken
    std::int64_t passes_ = 0;
    std::int64_t frames_ = 0;
};

} // namespace app
