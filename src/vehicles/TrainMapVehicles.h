// The trains' share of a map data file: a map loaded through this object sets the home poses of
// the train slots, and a map saved through it writes the homes the slots hold now (after
// "原点登録", say). Everything else a map holds about vehicles (the other vehicles' start
// positions, the boxes' choices) passes through to the object it wraps.
#pragma once

#include "layout/MapFileVehicles.h"

#include <span>

namespace vehicles {

class CTrain;

class TrainMapVehicles final : public layout::ForwardingMapVehicles {
  public:
    // trains: the slots in order (slot 1 first); both must outlive this object.
    TrainMapVehicles(std::span<CTrain> trains, layout::MapVehicles& others);

    layout::TrainHomePose TrainHome(int slot) const override;
    // Also tells the wrapped object, so that it stays in step.
    void SetTrainHome(int slot, const layout::TrainHomePose& pose) override;

  private:
    CTrain* Slot(int slot) const;

    std::span<CTrain> trains_;
};

} // namespace vehicles
