// Shared by the fuzz targets.
#pragma once

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string_view>

namespace fuzzsupport {

// Readers say on standard error when they clamp a value; thousands of such lines a second would
// only slow the fuzzer down. Sanitizer reports do not go through std::cerr.
inline void QuietReaders()
{
    std::cerr.rdbuf(nullptr);
}

// A broken promise of the code under test: stops the run with a report, like a sanitizer would.
inline void Require(bool condition)
{
    if (!condition) std::abort();
}

inline bool AllFinite(std::initializer_list<float> values)
{
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

} // namespace fuzzsupport
