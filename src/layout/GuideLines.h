// The route centre lines of a type, read back from its guide mesh. Route k's subset is a band
// (or any upright surface) along the centre line, modelled k units above the track; its
// vertices, merged by their place on the ground plan, form a chain of points along the line.
// Each point keeps the middle of the band's height there, brought down by k, so that every
// route's line lies at the track's own level.
#pragma once

#include "math/Vector.h"
#include "model/Mesh.h"

#include <vector>

namespace layout {

struct GuideLine {
    int route = 0;
    std::vector<math::Vec3> points; // object space: x and z on the line, y the band's middle
    std::vector<float> halfHeights; // half the band's height at each point
};

// Vertices closer than this on the ground plan count as one point of a line.
inline constexpr float kGuidePlanTolerance = 1.0e-3f;

// Every chain of every subset, in the order the mesh first reaches them. A chain ends where it
// forks; a closed chain repeats its first point at the end. Faces with an index out of range
// or a coordinate that is no number are left out.
std::vector<GuideLine> ReadGuideLines(const model::Mesh& guide);

// The closest point of a set of lines to (x, z) on the ground plan.
struct GuideLinePoint {
    int line = -1; // -1: no line
    int segment = 0;
    float t = 0; // along the segment, 0 to 1
    float distance = 0;
};
GuideLinePoint NearestLinePoint(const std::vector<GuideLine>& lines, float x, float z);

// The point (x, middle height, z) at that place, and the half height there.
math::Vec3 LinePointAt(const std::vector<GuideLine>& lines, const GuideLinePoint& at);
float LineHalfHeightAt(const std::vector<GuideLine>& lines, const GuideLinePoint& at);

// The steepest rise of a line over a run of `run` along its ground plan, as a fraction (0.04
// for 4 %), and the middle of the steepest stretch; the rise of the whole line when it is
// shorter than the run.
struct LineGrade {
    float grade = 0;
    math::Vec3 at;
};
LineGrade SteepestGrade(const GuideLine& line, float run);

} // namespace layout
