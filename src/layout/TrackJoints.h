// The track ends of every placed track object and, for each, the other track end it meets:
// the joints of the layout. The check reads them; the mending moves objects and asks again.
// Ends that lie exactly alike (objects stacked at one place) are kept as one stack, so that a
// pile of copies costs what one object does.
#pragma once

#include "layout/LayoutCheck.h"
#include "layout/PlanHashGrid.h"
#include "layout/TrackShapes.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace layout {

// Where one track end meets another: how far apart they are on the plan and in height, and the
// angle by which their directions miss meeting head on.
struct JointFit {
    int partner = -1; // index into the ends; -1: no other end within reach
    float gap = 0;
    float height = 0;
    float angle = 0;
    bool Closed() const;
};

class TrackJoints {
  public:
    // Reads the ends of every placed track object. Both must outlive this object.
    TrackJoints(const CLayout& layout, const TrackShapes& shapes);

    // Every track end, grouped by object in index order.
    const std::vector<TrackEnd>& Ends() const { return ends_; }
    // The end that end e fits best: a closed joint if there is one, else the nearest on the plan.
    JointFit BestPartner(int e) const;
    // The near-miss finding of end e and its partner: the gap on the plan, or when that is
    // closed the height difference, or when that is too the angle.
    LayoutFinding NearMissFinding(int e, const JointFit& fit) const;
    // Whether two objects meet at a joint, closed or not.
    bool Joined(int a, int b) const;
    // Whether some end of an object other than `except` lies within reach of the point.
    bool AnyEndNear(math::Vec3 point, int except) const;
    // Whether the object meets another at a closed joint through any end but `snap`.
    bool ClosedElsewhere(int object, int snap) const;
    // The ends of one object as they lie for this record (after a move).
    void Move(int object, const PlacedObject& record);

  private:
    // Position and direction, bit for bit.
    using StackKey = std::array<std::uint32_t, 6>;
    struct StackHash {
        std::size_t operator()(const StackKey& key) const;
    };

    bool Candidate(const TrackEnd& a, const TrackEnd& b) const;
    JointFit Fit(int a, int b) const;
    static StackKey KeyOf(const TrackEnd& end);
    void AddEnd(int e);
    void RemoveEnd(int e);
    // Calls visit(e) with the first end of every stack near the point for which accept(e) holds,
    // for stacks within reach of the point.
    template <class Accept, class Visit> void ForEachNear(math::Vec3 p, Accept&& accept, Visit&& visit) const;

    const TrackShapes& shapes_;
    std::vector<TrackEnd> ends_;
    std::vector<int> firstEnd_; // per object, its first end (size: objects + 1)
    // The grid lists the first end of each stack; each stack keeps its ends in index order.
    PlanHashGrid grid_;
    std::unordered_map<StackKey, std::vector<int>, StackHash> stacks_;
};

} // namespace layout
