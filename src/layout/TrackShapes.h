// What the layout check and the joint mending know of track: per type its route lines, its
// track ends (the snap points that lie on a route line, with the line's height and outward
// direction there), the steepest stretch of route 0 and a turnout's trailing ends; per placed
// object the same in world space.
#pragma once

#include "layout/GuideLines.h"
#include "layout/PlacedObject.h"
#include "math/Vector.h"

#include <optional>
#include <vector>

namespace layout {

class CLayout;
struct ObjectType;

// A snap point this close to a route line on the plan is a track end.
inline constexpr float kTrackEndReach = 0.5f;

struct TrackTypeShape {
    struct End {
        int snap = 0;
        math::Vec3 local;     // x and z of the snap point, y the route line's height there
        math::Vec3 direction; // along the line, out of the piece, on the plan (unit, y = 0)
        // The same, true to a curve: a line's last chord turned by half the bend to the chord
        // before it, where the two are alike in length (the even steps of an arc).
        math::Vec3 tangent;
    };
    std::vector<GuideLine> lines;
    std::vector<End> ends;
    LineGrade grade;                      // route 0's steepest stretch over one unit
    std::vector<math::Vec3> trailingEnds; // turnouts: line ends other than the common one
};

// A track end of a placed object in world space.
struct TrackEnd {
    int object = 0;
    int snap = 0;
    math::Vec3 position;
    math::Vec3 direction;
    math::Vec3 tangent{};
};

class TrackShapes {
  public:
    // The layout must outlive this object; shapes are read from the catalogue on first use.
    explicit TrackShapes(const CLayout& layout);

    // The shape of a type with a guide mesh, or null (no track, or no such type).
    const TrackTypeShape* Shape(int type) const;
    const TrackTypeShape* ShapeOf(const PlacedObject& object) const { return Shape(object.type); }

    // The object's track ends, or its route lines' points, in world space for this record.
    std::vector<TrackEnd> Ends(int index, const PlacedObject& object) const;
    std::vector<GuideLine> WorldLines(const PlacedObject& object) const;
    // A point of the type's space in world space for this record (the turn the magnet uses).
    static math::Vec3 ToWorld(const PlacedObject& object, math::Vec3 local);

  private:
    const CLayout& layout_;
    mutable std::vector<std::optional<TrackTypeShape>> shapes_;
    mutable std::vector<bool> read_;
};

// The angle in degrees between two ends' directions when they meet head on (0 for a clean joint).
float JointAngle(math::Vec3 a, math::Vec3 b);

} // namespace layout
