#include "layout/JointMending.h"

#include "layout/CLayout.h"
#include "layout/TrackJoints.h"
#include "layout/TrackShapes.h"

#include <algorithm>
#include <map>
#include <set>

namespace layout {

JointMending PlanJointMending(const CLayout& layout)
{
    const TrackShapes shapes(layout);
    TrackJoints joints(layout, shapes);
    std::vector<PlacedObject> records(layout.Placed().All().begin(), layout.Placed().All().end());
    std::map<int, PlacedObject> before;
    JointMending result;
    std::set<std::pair<int, int>> seen;

    const int endCount = static_cast<int>(joints.Ends().size());
    for (int e = 0; e < endCount; ++e) {
        const JointFit fit = joints.BestPartner(e);
        if (fit.partner < 0 || fit.Closed()) continue;
        if (!seen.insert({std::min(e, fit.partner), std::max(e, fit.partner)}).second) continue;
        const TrackEnd a = joints.Ends()[static_cast<std::size_t>(std::min(e, fit.partner))];
        const TrackEnd b = joints.Ends()[static_cast<std::size_t>(std::max(e, fit.partner))];
        const LayoutFinding finding = joints.NearMissFinding(e, fit);
        if (fit.gap <= kJointTolerance) {
            result.notMended.push_back(finding);
            continue;
        }
        const bool aHeld = joints.ClosedElsewhere(a.object, a.snap);
        const bool bHeld = joints.ClosedElsewhere(b.object, b.snap);
        if (aHeld && bHeld) {
            result.notMended.push_back(finding);
            continue;
        }
        const bool moveB = !bHeld && (aHeld || b.object > a.object);
        const TrackEnd& mover = moveB ? b : a;
        const TrackEnd& target = moveB ? a : b;
        PlacedObject& record = records[static_cast<std::size_t>(mover.object)];
        before.try_emplace(mover.object, record);
        record.x += target.position.x - mover.position.x;
        record.z += target.position.z - mover.position.z;
        joints.Move(mover.object, record);
    }
    for (const auto& [index, old] : before) {
        const PlacedObject& now = records[static_cast<std::size_t>(index)];
        if (now != old) result.moves.push_back({index, old, now});
    }
    return result;
}

} // namespace layout
