// The trains' share of a map data file: a map loaded through this object sets the home poses of
// the train slots, and a map saved through it writes the homes the slots hold now (after
// "原点登録", say). Everything else a map holds about vehicles (the other vehicles' start
// positions, the boxes' choices) passes through to the object it wraps.
#pragma once

#include "layout/MapFileVehicles.h"

#include <span>

namespace vehicles {

class CTrain;

class TrainMapVehicles final : public layout::MapVehicles {
  public:
    // trains: the slots in order (slot 1 first); both must outlive this object.
    TrainMapVehicles(std::span<CTrain> trains, layout::MapVehicles& others);

    layout::TrainHomePose TrainHome(int slot) const override;
    // Also tells the wrapped object, so that it stays in step.
    void SetTrainHome(int slot, const layout::TrainHomePose& pose) override;
    math::Vec3 StartPosition(layout::MapVehicle vehicle) const override
    {
        return others_.StartPosition(vehicle);
    }
    void SetStartPosition(layout::MapVehicle vehicle, math::Vec3 position) override
    {
        others_.SetStartPosition(vehicle, position);
    }
    std::string TrainChoice(int slot) const override { return others_.TrainChoice(slot); }
    std::string VehicleChoice(layout::MapVehicle vehicle) const override
    {
        return others_.VehicleChoice(vehicle);
    }
    void SelectTrainChoice(int slot, std::string_view text) override
    {
        others_.SelectTrainChoice(slot, text);
    }
    void SelectVehicleChoice(layout::MapVehicle vehicle, std::string_view text) override
    {
        others_.SelectVehicleChoice(vehicle, text);
    }
    void ApplyVehicleSelections() override { others_.ApplyVehicleSelections(); }

  private:
    CTrain* Slot(int slot) const;

    std::span<CTrain> trains_;
    layout::MapVehicles& others_;
};

} // namespace vehicles
