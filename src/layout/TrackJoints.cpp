#include "layout/TrackJoints.h"

#include "layout/CLayout.h"
#include "layout/LayoutCheck.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace layout {

namespace {

// Ends further apart in height than this are not a joint, however close on the plan: a track
// passing over the end of another.
constexpr float kJointHeightWindow = 1.0f;

std::uint64_t PairKey(int a, int b)
{
    return static_cast<std::uint64_t>(std::min(a, b)) << 32 | static_cast<std::uint32_t>(std::max(a, b));
}

} // namespace

bool JointFit::Closed() const
{
    return partner >= 0 && gap <= kJointTolerance && height <= kJointTolerance &&
           angle <= kJointAngleTolerance;
}

TrackJoints::TrackJoints(const CLayout& layout, const TrackShapes& shapes)
    : shapes_(shapes), grid_(kJointReach)
{
    const std::span<const PlacedObject> objects = layout.Placed().All();
    for (int i = 0; i < static_cast<int>(objects.size()); ++i) {
        firstEnd_.push_back(static_cast<int>(ends_.size()));
        for (const TrackEnd& end : shapes.Ends(i, objects[static_cast<std::size_t>(i)])) {
            grid_.Insert(static_cast<int>(ends_.size()), end.position.x, end.position.z);
            ends_.push_back(end);
        }
    }
    firstEnd_.push_back(static_cast<int>(ends_.size()));
    for (int e = 0; e < static_cast<int>(ends_.size()); ++e)
        NoteJoins(e);
}

bool TrackJoints::Candidate(const TrackEnd& a, const TrackEnd& b) const
{
    return a.object != b.object &&
           std::hypot(a.position.x - b.position.x, a.position.z - b.position.z) <= kJointReach &&
           std::fabs(a.position.y - b.position.y) <= kJointHeightWindow;
}

JointFit TrackJoints::Fit(int a, int b) const
{
    const TrackEnd& ea = ends_[static_cast<std::size_t>(a)];
    const TrackEnd& eb = ends_[static_cast<std::size_t>(b)];
    return {b, std::hypot(ea.position.x - eb.position.x, ea.position.z - eb.position.z),
            std::fabs(ea.position.y - eb.position.y), JointAngle(ea.direction, eb.direction)};
}

void TrackJoints::NoteJoins(int e)
{
    const TrackEnd& end = ends_[static_cast<std::size_t>(e)];
    const math::Vec3 p = end.position;
    grid_.ForEach(p.x - kJointReach, p.z - kJointReach, p.x + kJointReach, p.z + kJointReach, [&](int o) {
        const TrackEnd& other = ends_[static_cast<std::size_t>(o)];
        if (Candidate(end, other)) joined_.insert(PairKey(end.object, other.object));
    });
}

JointFit TrackJoints::BestPartner(int e) const
{
    const TrackEnd& end = ends_[static_cast<std::size_t>(e)];
    const math::Vec3 p = end.position;
    JointFit best;
    auto rank = [](const JointFit& f) {
        return std::tuple(!f.Closed(), f.gap, f.height, f.angle, f.partner);
    };
    grid_.ForEach(p.x - kJointReach, p.z - kJointReach, p.x + kJointReach, p.z + kJointReach, [&](int o) {
        if (!Candidate(end, ends_[static_cast<std::size_t>(o)])) return;
        const JointFit fit = Fit(e, o);
        if (best.partner < 0 || rank(fit) < rank(best)) best = fit;
    });
    return best;
}

LayoutFinding TrackJoints::NearMissFinding(int e, const JointFit& fit) const
{
    const TrackEnd& a = ends_[static_cast<std::size_t>(e)];
    const TrackEnd& b = ends_[static_cast<std::size_t>(fit.partner)];
    const float value = fit.gap > kJointTolerance      ? fit.gap
                        : fit.height > kJointTolerance ? fit.height
                                                       : fit.angle;
    return {FindingKind::NearMiss,
            {std::min(a.object, b.object), std::max(a.object, b.object)},
            (a.position + b.position) * 0.5f,
            value};
}

bool TrackJoints::Joined(int a, int b) const
{
    return joined_.contains(PairKey(a, b));
}

bool TrackJoints::AnyEndNear(math::Vec3 point, int except) const
{
    bool found = false;
    const TrackEnd probe{except, -1, point, {}};
    grid_.ForEach(point.x - kJointReach, point.z - kJointReach, point.x + kJointReach, point.z + kJointReach,
                  [&](int o) { found = found || Candidate(probe, ends_[static_cast<std::size_t>(o)]); });
    return found;
}

bool TrackJoints::ClosedElsewhere(int object, int snap) const
{
    if (object < 0 || object + 1 >= static_cast<int>(firstEnd_.size())) return false;
    for (int e = firstEnd_[static_cast<std::size_t>(object)];
         e < firstEnd_[static_cast<std::size_t>(object) + 1]; ++e) {
        if (ends_[static_cast<std::size_t>(e)].snap != snap && BestPartner(e).Closed()) return true;
    }
    return false;
}

void TrackJoints::Move(int object, const PlacedObject& record)
{
    if (object < 0 || object + 1 >= static_cast<int>(firstEnd_.size())) return;
    const std::vector<TrackEnd> moved = shapes_.Ends(object, record);
    const int first = firstEnd_[static_cast<std::size_t>(object)];
    for (std::size_t k = 0;
         k < moved.size() && first + static_cast<int>(k) < firstEnd_[static_cast<std::size_t>(object) + 1];
         ++k) {
        TrackEnd& end = ends_[static_cast<std::size_t>(first) + k];
        grid_.Remove(first + static_cast<int>(k), end.position.x, end.position.z);
        end = moved[k];
        grid_.Insert(first + static_cast<int>(k), end.position.x, end.position.z);
        NoteJoins(first + static_cast<int>(k));
    }
}

} // namespace layout
