#include "layout/TrackShapes.h"

#include "layout/CLayout.h"
#include "layout/ObjectType.h"
#include "math/Matrix.h"
#include "math/Numeric.h"

#include <algorithm>
#include <cmath>

namespace layout {

namespace {

// Line ends this close on the plan are one place (the common end of a turnout's routes).
constexpr float kSamePlace = 0.05f;
constexpr float kRadToDeg = 57.2957795f;

math::Vec3 PlanUnit(math::Vec3 v)
{
    return math::Normalize({v.x, 0.0f, v.z});
}

float PlanDistance(math::Vec3 a, math::Vec3 b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// Out of the piece along the line at the point nearest to the snap point: away from the line's
// other end at an end of the line, otherwise away from the middle of its two ends.
math::Vec3 OutwardDirection(const GuideLine& line, const GuideLinePoint& at, math::Vec3 snap)
{
    const auto& p = line.points;
    const auto s = static_cast<std::size_t>(at.segment);
    if (s == 0 && at.t <= 1.0e-4f) return PlanUnit(p[0] - p[1]);
    if (s + 2 == p.size() && at.t >= 1.0f - 1.0e-4f) return PlanUnit(p[s + 1] - p[s]);
    math::Vec3 along = PlanUnit(p[s + 1] - p[s]);
    const math::Vec3 middle = (p.front() + p.back()) * 0.5f;
    if (along.x * (snap.x - middle.x) + along.z * (snap.z - middle.z) < 0) along = -along;
    return along;
}

// The outward direction at a line's end, true to an arc: the chords of an arc drawn in even
// steps each point half a step's bend away from the tangent at their ends, so the last chord
// turned on by half its bend from the chord before gives the tangent. A last chord that differs
// in length from the one before (a straight after a curve) is taken as it is.
math::Vec3 OutwardTangent(const GuideLine& line, const GuideLinePoint& at, math::Vec3 chord)
{
    const auto& p = line.points;
    const auto s = static_cast<std::size_t>(at.segment);
    if (p.size() < 3) return chord;
    math::Vec3 end, inner, before;
    if (s == 0 && at.t <= 1.0e-4f) {
        end = p[0], inner = p[1], before = p[2];
    } else if (s + 2 == p.size() && at.t >= 1.0f - 1.0e-4f) {
        end = p[s + 1], inner = p[s], before = p[s - 1];
    } else {
        return chord;
    }
    const float last = PlanDistance(end, inner);
    const float previous = PlanDistance(inner, before);
    if (!(last > 0.0f) || std::fabs(last - previous) > 0.01f * last) return chord;
    const math::Vec3 a = PlanUnit(end - inner);
    const math::Vec3 b = PlanUnit(inner - before);
    const float bend = std::atan2(b.x * a.z - b.z * a.x, b.x * a.x + b.z * a.z);
    // Arc steps bend by little; a sharp corner is no arc.
    if (std::fabs(bend) > 0.35f) return chord;
    const float c = std::cos(bend * 0.5f), s2 = std::sin(bend * 0.5f);
    // Turned on in the same sense as from b to a.
    return PlanUnit({a.x * c - a.z * s2, 0.0f, a.x * s2 + a.z * c});
}

TrackTypeShape ReadShape(const ObjectType& type)
{
    TrackTypeShape shape;
    shape.lines = ReadGuideLines(*type.guide.mesh);
    for (int k = 0; k < type.UsedSnapCount(); ++k) {
        const SnapPoint& snap = type.snaps[static_cast<std::size_t>(k)];
        const GuideLinePoint at = NearestLinePoint(shape.lines, snap.x, snap.z);
        if (at.line < 0 || !(at.distance <= kTrackEndReach)) continue;
        const math::Vec3 onLine = LinePointAt(shape.lines, at);
        const math::Vec3 local{snap.x, onLine.y, snap.z};
        const GuideLine& line = shape.lines[static_cast<std::size_t>(at.line)];
        const math::Vec3 direction = OutwardDirection(line, at, local);
        shape.ends.push_back({k, local, direction, OutwardTangent(line, at, direction)});
    }
    for (const GuideLine& line : shape.lines) {
        if (line.route != 0) continue;
        const LineGrade grade = SteepestGrade(line, 1.0f);
        if (grade.grade > shape.grade.grade) shape.grade = grade;
    }
    if (type.IsTurnout()) {
        // The common end is the line end that every route's line shares.
        std::vector<math::Vec3> ends;
        for (const GuideLine& line : shape.lines) {
            if (line.points.size() < 2) continue;
            ends.push_back(line.points.front());
            ends.push_back(line.points.back());
        }
        auto routesAt = [&](math::Vec3 p) {
            std::vector<int> routes;
            for (const GuideLine& line : shape.lines) {
                if (line.points.size() < 2) continue;
                if (PlanDistance(line.points.front(), p) <= kSamePlace ||
                    PlanDistance(line.points.back(), p) <= kSamePlace)
                    routes.push_back(line.route);
            }
            std::sort(routes.begin(), routes.end());
            routes.erase(std::unique(routes.begin(), routes.end()), routes.end());
            return routes.size();
        };
        std::size_t routeCount = 0;
        for (const GuideLine& line : shape.lines)
            routeCount = std::max(routeCount, static_cast<std::size_t>(line.route) + 1);
        const auto common =
            std::find_if(ends.begin(), ends.end(), [&](math::Vec3 p) { return routesAt(p) == routeCount; });
        if (routeCount >= 2 && common != ends.end()) {
            const math::Vec3 start = *common;
            for (const math::Vec3& end : ends) {
                if (PlanDistance(end, start) <= kSamePlace) continue;
                const bool known =
                    std::any_of(shape.trailingEnds.begin(), shape.trailingEnds.end(),
                                [&](math::Vec3 p) { return PlanDistance(p, end) <= kSamePlace; });
                if (!known) shape.trailingEnds.push_back(end);
            }
        }
    }
    return shape;
}

} // namespace

TrackShapes::TrackShapes(const CLayout& layout) : layout_(layout)
{
    shapes_.resize(static_cast<std::size_t>(std::max(layout.Catalogue().TypeCount(), 0)));
    read_.assign(shapes_.size(), false);
}

const TrackTypeShape* TrackShapes::Shape(int type) const
{
    if (type < 0 || static_cast<std::size_t>(type) >= shapes_.size()) return nullptr;
    const auto at = static_cast<std::size_t>(type);
    if (!read_[at]) {
        read_[at] = true;
        const ObjectType* record = layout_.Catalogue().FindType(type);
        if (record && record->HasGuide() && record->guide.mesh && !record->guide.mesh->empty())
            shapes_[at] = ReadShape(*record);
    }
    return shapes_[at] ? &*shapes_[at] : nullptr;
}

math::Vec3 TrackShapes::ToWorld(const PlacedObject& object, math::Vec3 local)
{
    const math::Matrix turn = math::RotationY(object.angle * math::kDegToRad);
    const math::Vec3 turned = math::TransformCoord({local.x, 0.0f, local.z}, turn);
    return {turned.x + object.x, local.y + object.y, turned.z + object.z};
}

std::vector<TrackEnd> TrackShapes::Ends(int index, const PlacedObject& object) const
{
    std::vector<TrackEnd> out;
    const TrackTypeShape* shape = ShapeOf(object);
    if (!shape) return out;
    const math::Matrix turn = math::RotationY(object.angle * math::kDegToRad);
    for (const TrackTypeShape::End& end : shape->ends)
        out.push_back({index, end.snap, ToWorld(object, end.local),
                       PlanUnit(math::TransformNormal(end.direction, turn)),
                       PlanUnit(math::TransformNormal(end.tangent, turn))});
    return out;
}

std::vector<GuideLine> TrackShapes::WorldLines(const PlacedObject& object) const
{
    const TrackTypeShape* shape = ShapeOf(object);
    if (!shape) return {};
    std::vector<GuideLine> lines = shape->lines;
    const math::Matrix turn = math::RotationY(object.angle * math::kDegToRad);
    for (GuideLine& line : lines) {
        for (math::Vec3& p : line.points) {
            const math::Vec3 turned = math::TransformCoord({p.x, 0.0f, p.z}, turn);
            p = {turned.x + object.x, p.y + object.y, turned.z + object.z};
        }
    }
    return lines;
}

float JointAngle(math::Vec3 a, math::Vec3 b)
{
    const float headOn = -(a.x * b.x + a.z * b.z);
    return std::acos(std::clamp(headOn, -1.0f, 1.0f)) * kRadToDeg;
}

} // namespace layout
