// The track as a graph: per placed track object its route lines in world space (a turnout one
// per route) with their lengths on the plan, joined end to end where the ends of two pieces meet.
// A walk along it follows each turnout's current route where it faces the walker and takes the
// line it came in on otherwise, as the trains do. Built when the placed objects change, never
// per pass.
#pragma once

#include "layout/PlacedObject.h"
#include "math/Vector.h"

#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace layout {
class CLayout;
class TrackShapes;
} // namespace layout

namespace operation {

// Line ends this close on the plan and in height are joined.
inline constexpr float kJoinReach = 0.25f;

// The distance of two points on the plan.
float PlanDistance(math::Vec3 a, math::Vec3 b);

// One route line of a piece, in world space.
struct PieceLine {
    int object = 0;
    int route = 0;
    std::vector<math::Vec3> points;
};

// Where a line ends: end 0 at its first point, end 1 at its last.
struct LineEnd {
    int line = -1;
    int end = 0;
};

// A place on a line, facing one of its ends: s runs from end 0 (0) to end 1 (the length).
struct LinePlace {
    int line = -1;
    float s = 0;
    int dir = 1; // +1 towards end 1, -1 towards end 0
    bool Valid() const { return line >= 0; }
};

class TrackGraph {
  public:
    struct Line {
        PieceLine piece;
        std::vector<float> along; // plan distance from end 0 to each point
        float length = 0;
        std::vector<LineEnd> links[2]; // the other lines' ends that meet each end
    };

    // The lines of every track object of the layout.
    static std::vector<PieceLine> LayoutLines(const layout::CLayout& layout, const layout::TrackShapes& shapes);
    void Build(std::vector<PieceLine> lines, int objectCount);

    const std::vector<Line>& Lines() const { return lines_; }
    // The object's lines: indices first to last (excluded).
    std::pair<int, int> LinesOf(int object) const;

    // The nearest place on the object's lines to the point on the plan, facing `heading` (a plan
    // direction); of lines nearly as near, the one of the object's current route. Invalid for an
    // object without lines.
    LinePlace Locate(int object, math::Vec3 point, math::Vec3 heading, int currentRoute) const;
    // The line entered past the end of a line: of the lines met there, one of the same piece
    // (the next chain of its route) or the one of the other piece's current route, else the
    // first. Invalid at an open end. routes: every object's current route.
    LinePlace Next(int line, int end, std::span<const layout::PlacedObject> objects) const;
    // The nearest point of one line to the point on the plan: where along it, how far off, and
    // the line's direction there.
    struct Projection {
        float s = 0;
        float distance = std::numeric_limits<float>::infinity();
        math::Vec3 tangent;
    };
    Projection Project(int line, math::Vec3 point) const;
    // The point of a line at s, on the plan.
    math::Vec3 PointAt(int line, float s) const;

  private:
    std::vector<Line> lines_;
    std::vector<int> first_; // per object, its first line in lines_ (size: objects + 1)
};

} // namespace operation
