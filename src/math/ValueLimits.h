// The finite ranges a number read from a file may take before it becomes a position, an angle,
// a scale or a probe distance. Real files stay far inside them; a value beyond is clamped to the
// nearest end (and said so on standard error), so that no later product of such values
// overflows into infinity or NaN.
#pragma once

#include <array>
#include <string_view>

namespace math {

enum class ValueKind {
    Position, // world coordinates: placed objects, start positions, homes
    Offset,   // lengths on a model: seats, cockpits, wheel base, vertical offset, car gap
    Angle,    // degrees (radians for train cars are converted after clamping)
    Scale,    // model scale factors
    Probe,    // a car's front and rear surface probe distances
};

struct ValueRange {
    ValueKind kind;
    std::string_view name; // for the message
    float low;
    float high;
};

// The one table every file reader goes by.
inline constexpr std::array<ValueRange, 5> kValueRanges{{
    {ValueKind::Position, "position", -1.0e6f, 1.0e6f},
    {ValueKind::Offset, "offset", -1.0e4f, 1.0e4f},
    {ValueKind::Angle, "angle", -1.0e6f, 1.0e6f},
    {ValueKind::Scale, "scale", -1.0e3f, 1.0e3f},
    {ValueKind::Probe, "probe distance", -1.0e4f, 1.0e4f},
}};

const ValueRange& RangeOf(ValueKind kind);

// value limited to its kind's range. A finite value outside it is clamped and a line naming
// where it came from (file and key) goes to standard error. NaN is returned unchanged: readers
// replace it by their default before this.
float ClampRead(float value, ValueKind kind, std::string_view where);
double ClampRead(double value, ValueKind kind, std::string_view where);

} // namespace math
