// Grid and magnet snapping of dragged objects, as plain arithmetic on positions, angles and
// snap points, so that the rules can be checked with numbers alone.
#pragma once

#include "layout/ObjectType.h"
#include "math/Vector.h"

#include <span>
#include <vector>

namespace layout {

// A grid step along the ground: whole units, rounding up from .9 (2.95 → 3, 2.85 → 2).
float GridSnap(float value);
// A grid turn: down to a multiple of 5 degrees.
float GridTurn(float degrees);

// World positions (x and z; y unused) of the snap points the magnet uses for a type at (x, z)
// turned by angle degrees: the first point, then each next one while it is used, at most nine.
std::vector<math::Vec3> MagnetPoints(const ObjectType& type, float x, float z, float angle);

// The magnet's answer: how far the primary object must move for one of its points to sit on
// the nearest point of another object, and how far apart those two were.
struct SnapOffset {
    float dx = 0;
    float distance = 0;
    float dz = 0;
    bool snapped = false;
    friend bool operator==(const SnapOffset&, const SnapOffset&) = default;
};

// Points closer than this pull the primary object onto them.
inline constexpr float kMagnetReach = 1.0f;

// The magnet rule for the primary's points against the points of every other (unselected)
// object: per primary point the nearest other point; of those the nearest overall (the lower
// primary point on ties, stopping after a point whose successor found nothing). Snaps when that
// distance is below kMagnetReach; otherwise returns all zeros.
SnapOffset FindSnap(std::span<const math::Vec3> primaryPoints,
                    std::span<const std::vector<math::Vec3>> otherPoints);

} // namespace layout
