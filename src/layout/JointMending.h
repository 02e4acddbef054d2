// Mending the near-miss joints of a layout: for each joint whose ends lie apart on the plan
// within the magnet's reach, one of its two objects is moved as the magnet would move it, so
// that its end sits exactly on the other's. The object that is not held at another closed
// joint moves (the later one when neither is); a joint whose two objects are both held
// elsewhere is left alone and listed, and so is one that is off only in height or angle, which
// no move along the ground can close.
#pragma once

#include "layout/LayoutCheck.h"
#include "layout/PlacedObject.h"

#include <vector>

namespace layout {

class CLayout;

struct MendMove {
    int index = 0;
    PlacedObject before;
    PlacedObject after; // only x and z differ
    friend bool operator==(const MendMove&, const MendMove&) = default;
};

struct JointMending {
    std::vector<MendMove> moves;          // one per object, in index order
    std::vector<LayoutFinding> notMended; // near-miss findings of the joints left alone
};

// Works out the moves; changes nothing.
JointMending PlanJointMending(const CLayout& layout);

} // namespace layout
