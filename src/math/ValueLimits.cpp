#include "math/ValueLimits.h"


#include <cmath>
#include <iostream>
#include <string>

namespace math {

const ValueRange& RangeOf(ValueKind kind)
{
    for (const ValueRange& range : kValueRanges)
        if (range.kind == kind) return range;
    return kValueRanges.front();
}

double ClampRead(double value, ValueKind kind, std::string_view where)
{
    const ValueRange& range = RangeOf(kind);
    if (std::isnan(value)) return value;
    double clamped = value;
    if (value < range.low) clamped = range.low;
    if (value > range.high) clamped = range.high;
    if (clamped != value) {
        std::cerr << "korvela: " << where << ": " << range.name << " " << value << " is out of range; "
                  << clamped << " is used\n";
    }
    return clamped;
}

float ClampRead(float value, ValueKind kind, std::string_view where)
{
    return static_cast<float>(ClampRead(static_cast<double>(value), kind, where));
}

} // namespace math
