#include "platform/Clock.h"

#include <chrono>

namespace platform {

std::uint32_t TimeMilliseconds()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    // The wrap-round is intended: only differences of samples are used.
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

} // namespace platform
