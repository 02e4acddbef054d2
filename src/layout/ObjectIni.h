// The values of an object type's .ini file: transparency, route count and snap points.
#pragma once

#include "layout/ObjectType.h"

#include <array>
#include <string>
#include <string_view>

namespace layout {

struct ObjectIniValues {
    int transparent = 0;
    int routeCount = 0;
    std::array<SnapPoint, kSnapPointCount> snaps{};
};

// Reads path in the given section ("透明", "ポイント", "SnapX0"/"SnapZ0" onwards). Snap points are
// read until an x or z reads exactly "10000.0" (absent keys give that text); a point without its
// z stays unused. A value that is not a finite number ends the list too. A missing file gives
// the defaults.
ObjectIniValues ReadObjectIni(const std::string& path, std::string_view section);

} // namespace layout
