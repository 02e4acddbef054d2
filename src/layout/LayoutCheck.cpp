#include "layout/LayoutCheck.h"

#include "layout/CLayout.h"
#include "layout/ObjectType.h"
#include "layout/PlanHashGrid.h"
#include "layout/TrackJoints.h"
#include "layout/TrackShapes.h"
#include "model/MeshIntersect.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <tuple>

namespace layout {

namespace {

struct PlanBox {
    float minX = std::numeric_limits<float>::infinity(), minZ = minX;
    float maxX = -std::numeric_limits<float>::infinity(), maxZ = maxX;
    void Add(math::Vec3 p)
    {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
    }
    bool Empty() const { return !(minX <= maxX); }
    bool Meets(const PlanBox& o, float slack) const
    {
        return minX <= o.maxX + slack && o.minX <= maxX + slack && minZ <= o.maxZ + slack &&
               o.minZ <= maxZ + slack;
    }
};

// Closest points of two segments on the plan: parameters s on a0-a1 and t on b0-b1.
float SegmentGap(math::Vec3 a0, math::Vec3 a1, math::Vec3 b0, math::Vec3 b1, float& s, float& t)
{
    const double dx1 = double(a1.x) - a0.x, dz1 = double(a1.z) - a0.z;
    const double dx2 = double(b1.x) - b0.x, dz2 = double(b1.z) - b0.z;
    const double rx = double(a0.x) - b0.x, rz = double(a0.z) - b0.z;
    const double a = dx1 * dx1 + dz1 * dz1, e = dx2 * dx2 + dz2 * dz2, f = dx2 * rx + dz2 * rz;
    double ss = 0, tt = 0;
    if (a <= 1e-18 && e <= 1e-18) {
        ss = tt = 0;
    } else if (a <= 1e-18) {
        tt = std::clamp(f / e, 0.0, 1.0);
    } else {
        const double c = dx1 * rx + dz1 * rz;
        if (e <= 1e-18) {
            ss = std::clamp(-c / a, 0.0, 1.0);
        } else {
            const double b = dx1 * dx2 + dz1 * dz2, denom = a * e - b * b;
            ss = denom > 1e-18 ? std::clamp((b * f - c * e) / denom, 0.0, 1.0) : 0.0;
            tt = (b * ss + f) / e;
            if (tt < 0) {
                tt = 0, ss = std::clamp(-c / a, 0.0, 1.0);
            } else if (tt > 1) {
                tt = 1, ss = std::clamp((b - c) / a, 0.0, 1.0);
            }
        }
    }
    s = static_cast<float>(ss), t = static_cast<float>(tt);
    const double px = a0.x + dx1 * ss - (b0.x + dx2 * tt), pz = a0.z + dz1 * ss - (b0.z + dz2 * tt);
    return static_cast<float>(std::sqrt(px * px + pz * pz));
}

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

// Turns a world point into the object's own space (the inverse of its placing turn).
math::Vec3 ToLocal(const CLayout& layout, int index, math::Vec3 p)
{
    const PlacedObject& o = layout.Placed().All()[static_cast<std::size_t>(index)];
    const ObjectTrig trig = layout.Placed().Trig(index);
    const float dx = p.x - o.x, dz = p.z - o.z;
    return {dx * trig.cosAngle - dz * trig.sinAngle, p.y - o.y, dx * trig.sinAngle + dz * trig.cosAngle};
}

const model::Mesh* VisibleMesh(const CLayout& layout, int index)
{
    const ObjectType* type = layout.Catalogue().FindType(layout.Placed().All()[static_cast<std::size_t>(index)].type);
    return type && type->visible.mesh && !type->visible.mesh->empty() ? type->visible.mesh.get() : nullptr;
}

// Height of the object's highest surface above (x, z), or fallback when there is none.
float TopAt(const CLayout& layout, int index, math::Vec3 at, float fallback)
{
    const model::Mesh* mesh = VisibleMesh(layout, index);
    if (!mesh) return fallback;
    const PlacedObject& o = layout.Placed().All()[static_cast<std::size_t>(index)];
    const float start = layout.Catalogue().FindType(o.type)->bounds.maxY + 1.0f;
    const math::Vec3 local = ToLocal(layout, index, at);
    const model::MeshHit hit = model::Intersect(*mesh, {local.x, start, local.z}, {0.0f, -1.0f, 0.0f});
    return hit.hit ? o.y + start - hit.nearest.dist : fallback;
}

// Height of the object's lowest surface above (x, fromY, z), if any.
std::optional<float> UndersideAbove(const CLayout& layout, int index, math::Vec3 at, float fromY)
{
    const model::Mesh* mesh = VisibleMesh(layout, index);
    if (!mesh) return std::nullopt;
    const PlacedObject& o = layout.Placed().All()[static_cast<std::size_t>(index)];
    const math::Vec3 local = ToLocal(layout, index, at);
    const model::MeshHit hit = model::Intersect(*mesh, {local.x, fromY - o.y, local.z}, {0.0f, 1.0f, 0.0f});
    if (!hit.hit) return std::nullopt;
    return fromY + hit.nearest.dist;
}

class Checker {
  public:
    Checker(const CLayout& layout, const LayoutCheckSettings& settings)
        : layout_(layout), settings_(settings), shapes_(layout), joints_(layout, shapes_)
    {
    }

    std::vector<LayoutFinding> Run()
    {
        CheckJoints();
        CheckDuplicates();
        CheckCrossings();
        CheckGrades();
        CheckTurnouts();
        return std::move(findings_);
    }

  private:
    void Add(FindingKind kind, std::vector<int> objects, math::Vec3 at, float value)
    {
        std::sort(objects.begin(), objects.end());
        findings_.push_back({kind, std::move(objects), at, value});
    }

    void CheckJoints()
    {
        std::set<std::pair<int, int>> reported;
        const std::vector<TrackEnd>& ends = joints_.Ends();
        std::vector<bool> open(ends.size(), false);
        for (int e = 0; e < static_cast<int>(ends.size()); ++e)
            open[static_cast<std::size_t>(e)] = joints_.BestPartner(e).partner < 0;
        for (int e = 0; e < static_cast<int>(ends.size()); ++e) {
            const TrackEnd& end = ends[static_cast<std::size_t>(e)];
            if (open[static_cast<std::size_t>(e)]) {
                Add(FindingKind::OpenEnd, {end.object}, end.position, NearestOpenEnd(e, open));
                continue;
            }
            const JointFit fit = joints_.BestPartner(e);
            if (fit.Closed()) continue;
            if (!reported.insert({std::min(e, fit.partner), std::max(e, fit.partner)}).second) continue;
            findings_.push_back(joints_.NearMissFinding(e, fit));
        }
    }

    // The plan distance from end e to the nearest open end of another object within
    // kOpenEndReach, or 0 when there is none: a piece nudged aside reads as a gap.
    float NearestOpenEnd(int e, const std::vector<bool>& open) const
    {
        const std::vector<TrackEnd>& ends = joints_.Ends();
        const TrackEnd& end = ends[static_cast<std::size_t>(e)];
        float nearest = 0.0f;
        for (int o = 0; o < static_cast<int>(ends.size()); ++o) {
            const TrackEnd& other = ends[static_cast<std::size_t>(o)];
            if (!open[static_cast<std::size_t>(o)] || other.object == end.object) continue;
            const float distance = std::hypot(end.position.x - other.position.x, end.position.z - other.position.z);
            if (distance <= kOpenEndReach && (nearest == 0.0f || distance < nearest)) nearest = distance;
        }
        return nearest;
    }

    void CheckDuplicates()
    {
        using Key = std::tuple<int, long long, long long, long long, long long>;
        std::map<Key, std::vector<int>> places;
        auto thousandths = [](double v) { return std::llround(v * 1000.0); };
        const std::span<const PlacedObject> objects = layout_.Placed().All();
        for (int i = 0; i < static_cast<int>(objects.size()); ++i) {
            const PlacedObject& o = objects[static_cast<std::size_t>(i)];
            if (!std::isfinite(o.x) || !std::isfinite(o.y) || !std::isfinite(o.z) || !std::isfinite(o.angle))
                continue;
            long long angle = thousandths(std::fmod(double(o.angle), 360.0));
            if (angle < 0) angle += 360000;
            if (angle >= 360000) angle -= 360000;
            places[{o.type, thousandths(o.x), thousandths(o.y), thousandths(o.z), angle}].push_back(i);
        }
        copies_.assign(objects.size(), {});
        copyOf_.assign(objects.size(), -1);
        for (auto& [key, group] : places) {
            if (group.size() < 2) continue;
            const PlacedObject& o = objects[static_cast<std::size_t>(group.front())];
            Add(FindingKind::Overlap, group, {o.x, o.y, o.z}, 0.0f);
            for (const int copy : group)
                copyOf_[static_cast<std::size_t>(copy)] = group.front();
            copies_[static_cast<std::size_t>(group.front())] = std::move(group);
        }
    }

    // Track laid through track, and room under track passing over track. Copies lying on one
    // another were reported above: only the first of them is looked at, and what it crosses
    // counts for each copy.
    void CheckCrossings()
    {
        const std::span<const PlacedObject> objects = layout_.Placed().All();
        const int count = static_cast<int>(objects.size());
        std::vector<std::vector<GuideLine>> lines(static_cast<std::size_t>(count));
        std::vector<PlanBox> boxes(static_cast<std::size_t>(count));
        std::vector<float> extents;
        for (int i = 0; i < count; ++i) {
            lines[static_cast<std::size_t>(i)] = shapes_.WorldLines(objects[static_cast<std::size_t>(i)]);
            for (const GuideLine& line : lines[static_cast<std::size_t>(i)])
                for (const math::Vec3& p : line.points)
                    boxes[static_cast<std::size_t>(i)].Add(p);
            if (IsCopy(i)) boxes[static_cast<std::size_t>(i)] = {};
            const PlanBox& box = boxes[static_cast<std::size_t>(i)];
            if (!box.Empty()) extents.push_back(std::max(box.maxX - box.minX, box.maxZ - box.minZ));
        }
        if (extents.empty()) return;
        std::nth_element(extents.begin(), extents.begin() + static_cast<std::ptrdiff_t>(extents.size() / 2),
                         extents.end());
        const float cell = std::max(extents[extents.size() / 2], 2.0f);
        PlanHashGrid grid(cell);
        std::vector<int> everywhere;
        for (int i = 0; i < count; ++i) {
            const PlanBox& b = boxes[static_cast<std::size_t>(i)];
            if (b.Empty()) continue;
            if (!grid.Insert(i, b.minX, b.minZ, b.maxX, b.maxZ)) everywhere.push_back(i);
        }
        std::vector<bool> shared(static_cast<std::size_t>(count), false);
        for (const int i : everywhere)
            shared[static_cast<std::size_t>(i)] = true;
        std::vector<int> seen(static_cast<std::size_t>(count), -1);
        for (int i = 0; i < count; ++i) {
            const PlanBox& b = boxes[static_cast<std::size_t>(i)];
            if (b.Empty()) continue;
            // Each pair once: from its lower index, or from the one too large for the grid.
            auto visit = [&](int j) {
                if (j <= i || seen[static_cast<std::size_t>(j)] == i) return;
                seen[static_cast<std::size_t>(j)] = i;
                if (!b.Meets(boxes[static_cast<std::size_t>(j)], kJointTolerance)) return;
                for (const int ci : CopiesOf(i)) {
                    for (const int cj : CopiesOf(j))
                        CheckPair(std::min(ci, cj), std::max(ci, cj), lines[static_cast<std::size_t>(ci)],
                                  lines[static_cast<std::size_t>(cj)]);
                }
            };
            if (shared[static_cast<std::size_t>(i)]) {
                for (int j = i + 1; j < count; ++j)
                    if (!boxes[static_cast<std::size_t>(j)].Empty()) visit(j);
                continue;
            }
            grid.ForEach(b.minX - kJointTolerance, b.minZ - kJointTolerance, b.maxX + kJointTolerance,
                         b.maxZ + kJointTolerance, visit);
            for (const int j : everywhere)
                visit(j);
        }
    }

    bool IsCopy(int i) const
    {
        const int first = copyOf_[static_cast<std::size_t>(i)];
        return first >= 0 && first != i;
    }
    // The object with its copies (itself alone when it has none).
    std::span<const int> CopiesOf(const int& i) const
    {
        const std::vector<int>& copies = copies_[static_cast<std::size_t>(i)];
        return copies.empty() ? std::span<const int>(&i, 1) : std::span<const int>(copies);
    }

    void CheckPair(int i, int j, const std::vector<GuideLine>& a, const std::vector<GuideLine>& b)
    {
        if (copyOf_[static_cast<std::size_t>(i)] >= 0 && copyOf_[static_cast<std::size_t>(i)] == copyOf_[static_cast<std::size_t>(j)])
            return;
        if (joints_.Joined(i, j)) return;
        Crossing crossing{i, j, std::nullopt, std::nullopt};
        for (const GuideLine& la : a) {
            for (std::size_t sa = 0; sa + 1 < la.points.size(); ++sa) {
                PlanBox segment;
                segment.Add(la.points[sa]);
                segment.Add(la.points[sa + 1]);
                for (const GuideLine& lb : b) {
                    for (std::size_t sb = 0; sb + 1 < lb.points.size(); ++sb) {
                        PlanBox other;
                        other.Add(lb.points[sb]);
                        other.Add(lb.points[sb + 1]);
                        if (!segment.Meets(other, kJointTolerance)) continue;
                        float s = 0, t = 0;
                        if (!(SegmentGap(la.points[sa], la.points[sa + 1], lb.points[sb], lb.points[sb + 1],
                                         s, t) <= kJointTolerance))
                            continue;
                        const math::Vec3 pa = la.points[sa] + (la.points[sa + 1] - la.points[sa]) * s;
                        const math::Vec3 pb = lb.points[sb] + (lb.points[sb + 1] - lb.points[sb]) * t;
                        const float halves = Lerp(la.halfHeights[sa], la.halfHeights[sa + 1], s) +
                                             Lerp(lb.halfHeights[sb], lb.halfHeights[sb + 1], t);
                        Touch(crossing, pa, pb, halves);
                    }
                }
            }
        }
        if (crossing.overlap) findings_.push_back(*crossing.overlap);
        if (crossing.clearance) findings_.push_back(*crossing.clearance);
    }

    // What two track objects' routes meeting on the plan found so far.
    struct Crossing {
        int a, b;
        std::optional<LayoutFinding> overlap;
        std::optional<LayoutFinding> clearance; // the smallest gap found
    };

    // Routes of objects a and b meet on the plan at pa and pb: when their guides overlap in
    // height too one track runs through the other, otherwise the upper passes over the lower
    // and the room between the lower's top and the upper's underside counts.
    void Touch(Crossing& crossing, math::Vec3 pa, math::Vec3 pb, float halfHeights)
    {
        const float rise = std::fabs(pa.y - pb.y);
        if (rise <= halfHeights + kJointTolerance) {
            if (!crossing.overlap)
                crossing.overlap =
                    LayoutFinding{FindingKind::Overlap, {crossing.a, crossing.b}, (pa + pb) * 0.5f, rise};
            return;
        }
        const bool aAbove = pa.y > pb.y;
        const int upper = aAbove ? crossing.a : crossing.b;
        const int lower = aAbove ? crossing.b : crossing.a;
        const math::Vec3 low = aAbove ? pb : pa;
        const float top = TopAt(layout_, lower, low, low.y);
        const float base = layout_.Placed().All()[static_cast<std::size_t>(lower)].y;
        const std::optional<float> underside = UndersideAbove(layout_, upper, low, std::min(base, top));
        if (!underside) return;
        const float gap = *underside - top;
        if (gap < settings_.minClearance && (!crossing.clearance || gap < crossing.clearance->value))
            crossing.clearance =
                LayoutFinding{FindingKind::Clearance, {crossing.a, crossing.b}, {low.x, top, low.z}, gap};
    }

    void CheckGrades()
    {
        const std::span<const PlacedObject> objects = layout_.Placed().All();
        for (int i = 0; i < static_cast<int>(objects.size()); ++i) {
            const PlacedObject& o = objects[static_cast<std::size_t>(i)];
            const TrackTypeShape* shape = shapes_.ShapeOf(o);
            if (!shape) continue;
            const float percent = shape->grade.grade * 100.0f;
            if (percent > settings_.maxGradePercent)
                Add(FindingKind::Grade, {i}, TrackShapes::ToWorld(o, shape->grade.at), percent);
        }
    }

    void CheckTurnouts()
    {
        const std::span<const PlacedObject> objects = layout_.Placed().All();
        for (int i = 0; i < static_cast<int>(objects.size()); ++i) {
            const PlacedObject& o = objects[static_cast<std::size_t>(i)];
            const ObjectType* type = layout_.Catalogue().FindType(o.type);
            const TrackTypeShape* shape = shapes_.ShapeOf(o);
            if (!type || !shape || !type->IsTurnout() || o.key != kNoKey || shape->trailingEnds.empty())
                continue;
            const bool reachable =
                std::any_of(shape->trailingEnds.begin(), shape->trailingEnds.end(), [&](math::Vec3 local) {
                    return joints_.AnyEndNear(TrackShapes::ToWorld(o, local), i);
                });
            if (!reachable)
                Add(FindingKind::TurnoutWithoutKey, {i}, {o.x, o.y, o.z}, static_cast<float>(o.route));
        }
    }

    const CLayout& layout_;
    LayoutCheckSettings settings_;
    TrackShapes shapes_;
    TrackJoints joints_;
    // Objects of the same type lying exactly on one another: each one's first copy (-1 for
    // none), and for a first copy all of them.
    std::vector<int> copyOf_;
    std::vector<std::vector<int>> copies_;
    std::vector<LayoutFinding> findings_;
};

} // namespace

std::string_view FindingKindName(FindingKind kind)
{
    switch (kind) {
    case FindingKind::OpenEnd:
        return "open_end";
    case FindingKind::NearMiss:
        return "near_miss";
    case FindingKind::Overlap:
        return "overlap";
    case FindingKind::Grade:
        return "grade";
    case FindingKind::Clearance:
        return "clearance";
    case FindingKind::TurnoutWithoutKey:
        return "turnout_without_key";
    }
    return "";
}

LayoutCheckResult CheckLayout(const CLayout& layout, const LayoutCheckSettings& settings)
{
    LayoutCheckResult result;
    result.findings = Checker(layout, settings).Run();
    std::sort(result.findings.begin(), result.findings.end(),
              [](const LayoutFinding& a, const LayoutFinding& b) {
                  return std::tie(a.kind, a.position.x, a.position.z, a.position.y, a.objects) <
                         std::tie(b.kind, b.position.x, b.position.z, b.position.y, b.objects);
              });
    for (const LayoutFinding& finding : result.findings)
        ++result.counts[static_cast<std::size_t>(finding.kind)];
    return result;
}

} // namespace layout
