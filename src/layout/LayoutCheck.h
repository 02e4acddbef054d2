// The layout check: faults in the laid track that make trains derail or jump, found from the
// catalogue and the placed objects alone. Trains find the track by casting rays, so a joint a
// few centimetres apart, a piece a little off in height or a piece laid twice matters, and the
// check points at each one.
//
// A track object is one whose type has a guide mesh. Its track ends are the snap points that
// lie on one of its route lines (a level crossing's road ends are not track ends); heights and
// directions at an end come from the route line there, so curves and slopes join cleanly.
#pragma once

#include "math/Vector.h"

#include <array>
#include <string_view>
#include <vector>

namespace layout {

class CLayout;

enum class FindingKind {
    OpenEnd,           // a track end with no other track end near it
    NearMiss,          // two track ends almost, but not exactly, joined
    Overlap,           // track laid through track, or two objects laid on top of each other
    Grade,             // a route steeper than the settings allow
    Clearance,         // too little room between a track and the track passing over it
    TurnoutWithoutKey, // a turnout without a key that no train can ever throw (informational)
};
inline constexpr int kFindingKindCount = 6;

// "open_end", "near_miss", "overlap", "grade", "clearance", "turnout_without_key".
std::string_view FindingKindName(FindingKind kind);

struct LayoutCheckSettings {
    float maxGradePercent = 4.0f; // steeper rises over a run of one unit are reported
    float minClearance = 5.0f;    // smaller gaps under a track passing over another are reported
};

// Joints closer than this, in plan and in height, are closed.
inline constexpr float kJointTolerance = 0.01f;
// Two track ends up to this far apart on the plan are a joint, closed or not (the magnet's reach).
inline constexpr float kJointReach = 1.0f;
// An open end names the distance to the nearest other open end up to this far on the plan.
inline constexpr float kOpenEndReach = 5.0f;
// Directions at a closed joint may differ this much (degrees).
inline constexpr float kJointAngleTolerance = 1.0f;

struct LayoutFinding {
    FindingKind kind = FindingKind::OpenEnd;
    std::vector<int> objects; // record indices, ascending
    math::Vec3 position;
    // Open end: the distance on the plan to the nearest open end of another object up to
    // kOpenEndReach away, else 0. Near miss: the gap on the plan, or when that is closed the height
    // difference, or when that is too the angle in degrees. Overlap: the height difference of
    // the two routes where they meet (0 for objects laid on top of each other). Grade: the
    // rise in percent. Clearance: the gap. Turnout without key: its current route.
    float value = 0;

    friend bool operator==(const LayoutFinding&, const LayoutFinding&) = default;
};

struct LayoutCheckResult {
    std::vector<LayoutFinding> findings; // by kind, then by position (x, z, y), then objects
    std::array<int, kFindingKindCount> counts{};
};

LayoutCheckResult CheckLayout(const CLayout& layout, const LayoutCheckSettings& settings = {});

} // namespace layout
