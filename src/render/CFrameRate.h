// The frame-rate read-out of the first text line: the clock is sampled every fifth frame and
// the line shows the average rate over those five frames.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace render {

class CFrameRate {
  public:
    // Milliseconds, wrapping at 2^32.
    using Clock = std::function<std::uint32_t()>;

    // clock defaults to platform::TimeMilliseconds.
    explicit CFrameRate(Clock clock = {});

    // Advances the counter (sampling the clock on every fifth call) and returns the text, e.g.
    // "60.00fps". Five frames within one millisecond keep the previous text rather than
    // showing an infinite rate. Before two samples exist the text comes from the start values
    // and means nothing, as in the original. passes: the passes run so far; when the last five
    // frames had more or fewer than five, their rate follows ("35.00fps 60.00pass/s").
    std::string Next(std::optional<std::int64_t> passes = std::nullopt);

    int Counter() const { return counter_; }
    std::uint32_t LastSample() const { return last_; }
    std::uint32_t SampleBefore() const { return before_; }

  private:
    Clock clock_;
    int counter_ = 0;
    std::uint32_t last_ = 1000000;
    std::uint32_t before_ = 0;
    std::optional<std::int64_t> passesLast_;
    std::optional<std::int64_t> passesBefore_;
    std::string text_;
};

} // namespace render
