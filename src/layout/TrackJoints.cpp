#include "layout/TrackJoints.h"

#include "layout/CLayout.h"
#include "layout/LayoutCheck.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <tuple>

namespace layout {

namespace {

// Ends further apart in height than this are not a joint, however close on the plan: a track
// passing over the end of another.
constexpr float kJointHeightWindow = 1.0f;

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
            ends_.push_back(end);
            AddEnd(static_cast<int>(ends_.size()) - 1);
        }
    }
    firstEnd_.push_back(static_cast<int>(ends_.size()));
}

std::size_t TrackJoints::StackHash::operator()(const StackKey& key) const
{
    std::uint64_t hash = 1469598103934665603ull;
    for (const std::uint32_t word : key)
        hash = (hash ^ word) * 1099511628211ull;
    return static_cast<std::size_t>(hash);
}

TrackJoints::StackKey TrackJoints::KeyOf(const TrackEnd& end)
{
    return {std::bit_cast<std::uint32_t>(end.position.x),  std::bit_cast<std::uint32_t>(end.position.y),
            std::bit_cast<std::uint32_t>(end.position.z),  std::bit_cast<std::uint32_t>(end.direction.x),
            std::bit_cast<std::uint32_t>(end.direction.y), std::bit_cast<std::uint32_t>(end.direction.z)};
}

void TrackJoints::AddEnd(int e)
{
    const TrackEnd& end = ends_[static_cast<std::size_t>(e)];
    std::vector<int>& stack = stacks_[KeyOf(end)];
    if (stack.empty() || e < stack.front()) {
        if (!stack.empty()) grid_.Remove(stack.front(), end.position.x, end.position.z);
        grid_.Insert(e, end.position.x, end.position.z);
    }
    stack.insert(std::lower_bound(stack.begin(), stack.end(), e), e);
}

void TrackJoints::RemoveEnd(int e)
{
    const TrackEnd& end = ends_[static_cast<std::size_t>(e)];
    const auto found = stacks_.find(KeyOf(end));
    if (found == stacks_.end()) return;
    std::vector<int>& stack = found->second;
    const bool first = !stack.empty() && stack.front() == e;
    std::erase(stack, e);
    if (first) {
        grid_.Remove(e, end.position.x, end.position.z);
        if (!stack.empty()) grid_.Insert(stack.front(), end.position.x, end.position.z);
    }
    if (stack.empty()) stacks_.erase(found);
}

// Every end of a stack fits alike; of those accepted, the one of the lowest index stands for it.
template <class Accept, class Visit>
void TrackJoints::ForEachNear(math::Vec3 p, Accept&& accept, Visit&& visit) const
{
    grid_.ForEach(p.x - kJointReach, p.z - kJointReach, p.x + kJointReach, p.z + kJointReach, [&](int first) {
        const auto found = stacks_.find(KeyOf(ends_[static_cast<std::size_t>(first)]));
        if (found == stacks_.end()) return;
        for (const int o : found->second) {
            if (!accept(o)) continue;
            visit(o);
            return;
        }
    });
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

JointFit TrackJoints::BestPartner(int e) const
{
    const TrackEnd& end = ends_[static_cast<std::size_t>(e)];
    const math::Vec3 p = end.position;
    JointFit best;
    auto rank = [](const JointFit& f) {
        return std::tuple(!f.Closed(), f.gap, f.height, f.angle, f.partner);
    };
    ForEachNear(
        p, [&](int o) { return Candidate(end, ends_[static_cast<std::size_t>(o)]); },
        [&](int o) {
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
    const auto endsOf = [this](int object) {
        const bool known = object >= 0 && object + 1 < static_cast<int>(firstEnd_.size());
        return std::pair(known ? firstEnd_[static_cast<std::size_t>(object)] : 0,
                         known ? firstEnd_[static_cast<std::size_t>(object) + 1] : 0);
    };
    const auto [a0, a1] = endsOf(a);
    const auto [b0, b1] = endsOf(b);
    for (int i = a0; i < a1; ++i) {
        for (int j = b0; j < b1; ++j) {
            if (Candidate(ends_[static_cast<std::size_t>(i)], ends_[static_cast<std::size_t>(j)])) return true;
        }
    }
    return false;
}

bool TrackJoints::AnyEndNear(math::Vec3 point, int except) const
{
    bool found = false;
    const TrackEnd probe{except, -1, point, {}};
    ForEachNear(
        point, [&](int o) { return Candidate(probe, ends_[static_cast<std::size_t>(o)]); },
        [&](int) { found = true; });
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
        const int e = first + static_cast<int>(k);
        RemoveEnd(e);
        ends_[static_cast<std::size_t>(e)] = moved[k];
        AddEnd(e);
    }
}

} // namespace layout
