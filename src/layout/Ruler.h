// The ruler: two points picked in the view (on a placed object's mesh, else on the ground) and
// the plan length, height difference and grade between them. A point near a track end takes
// the end itself, so that a gap or a run of track measures exactly.
#pragma once

#include "layout/PickRay.h"
#include "math/Vector.h"

#include <optional>
#include <string>

namespace layout {

class CLayout;
class TrackShapes;

struct RulerReading {
    math::Vec3 from;
    math::Vec3 to;
    double plan = 0;   // length on the ground plan
    double height = 0; // to.y - from.y
    double grade = 0;  // height over plan in percent (0 for points one above the other)
};

// Where a click with this ray sets a point: the nearest object the ray hits, else the ground
// (y = 0); then the nearest track end within kTrackEndReach on the plan, if any. Nothing when
// the ray meets neither.
std::optional<math::Vec3> RulerPoint(const CLayout& layout, const TrackShapes& shapes, const PickRay& ray);

RulerReading Measure(math::Vec3 from, math::Vec3 to);

// "12.500 / 0.750 / 6.0%": plan, height, grade.
std::string RulerText(const RulerReading& reading);

} // namespace layout
