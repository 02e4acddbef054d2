// The operation settings as the lines of a map file's ":Operation Data" section, pieces named
// by their record index at the time of writing:
//
//   protect,1
//   slot,SLOT,AUTO,KMH,SHUTTLE        one line for each slot with something set
//   itinerary,SLOT,INDEX,INDEX...     the stops the slot's train visits in turn
//   stop,INDEX,SECONDS                a piece of a stop and its dwell
//   terminus,INDEX                    a piece of a stop that is a terminus (shuttles turn back)
//
// Reading skips lines it does not understand and pieces that no longer exist, and keeps values
// in range, so that a hand-edited file cannot do harm.
#pragma once

#include "layout/MapFileVehicles.h"
#include "operation/Operation.h"

#include <string>
#include <vector>

namespace layout {
class PlacedObjects;
}

namespace operation {

// None when nothing is set.
std::vector<std::string> OperationLines(const OperationSettings& settings, const layout::PlacedObjects& placed);
OperationSettings ReadOperationLines(const std::vector<std::string>& lines, const layout::PlacedObjects& placed);

// A map's operation data goes to and comes from the operation; everything else passes through
// to the object it wraps. All three must outlive this object.
class OperationMapVehicles final : public layout::ForwardingMapVehicles {
  public:
    OperationMapVehicles(Operation& operation, const layout::PlacedObjects& placed, layout::MapVehicles& others)
        : ForwardingMapVehicles(others), operation_(operation), placed_(placed)
    {
    }

    std::vector<std::string> OperationLines() const override;
    void SetOperationLines(const std::vector<std::string>& lines) override;

  private:
    Operation& operation_;
    const layout::PlacedObjects& placed_;
};

} // namespace operation
