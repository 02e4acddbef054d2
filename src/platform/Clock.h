// A millisecond clock for frame-rate read-outs: a steady clock that wraps round at 2^32, as
// the multimedia timer of the original did, so differences are taken as unsigned 32-bit numbers.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32.
std::uint32_t TimeMilliseconds();

} // namespace platform
