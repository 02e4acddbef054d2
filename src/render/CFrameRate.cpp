#include "render/CFrameRate.h"

#include "input/CInput.h"
#include "platform/Clock.h"

#include <utility>

namespace render {

CFrameRate::CFrameRate(Clock clock) : clock_(clock ? std::move(clock) : Clock(platform::TimeMilliseconds)) {}

std::string CFrameRate::Next(std::optional<std::int64_t> passes)
{
    if (counter_ % 5 == 4) {
        before_ = last_;
        last_ = clock_();
        counter_ = 0;
        passesBefore_ = passesLast_;
        passesLast_ = passes;
    } else {
        ++counter_;
    }
    // Unsigned, so a clock that wrapped round between the samples still gives the true interval.
    const std::uint32_t interval = last_ - before_;
    // Five frames inside one millisecond would give an infinite rate: keep the last text.
    if (interval == 0 && !text_.empty()) return text_;
    const float rate = interval == 0 ? 0.0f : 5000.0f / static_cast<float>(interval);
    text_ = input::CInput::NumberToText(rate, 2) + "fps";
    // The pass rate only where the loop does not run one pass a frame.
    if (passesBefore_ && passesLast_ && interval != 0) {
        const std::int64_t ran = *passesLast_ - *passesBefore_;
        if (ran != 5)
            text_ += " " + input::CInput::NumberToText(static_cast<float>(ran) * 1000.0f / static_cast<float>(interval), 2) +
                     "pass/s";
    }
    return text_;
}

} // namespace render
