// The road car's, the aeroplane's and the helicopter's share of a map data file: a map loaded
// through this object sets their home positions (where the next model load puts them), and a
// map saved through it writes the homes they hold now (after "原点登録", say). Everything else a
// map holds about vehicles passes through to the object it wraps.
#pragma once

#include "layout/MapFileVehicles.h"

namespace vehicles {

class CCar;
class CHelicopter;
class CPlane;

class VehicleStartPositions final : public layout::MapVehicles {
  public:
    // All four must outlive this object.
    VehicleStartPositions(CPlane& plane, CHelicopter& helicopter, CCar& car, layout::MapVehicles& others);

    math::Vec3 StartPosition(layout::MapVehicle vehicle) const override;
    // Also tells the wrapped object, so that it stays in step.
    void SetStartPosition(layout::MapVehicle vehicle, math::Vec3 position) override;

    layout::TrainHomePose TrainHome(int slot) const override { return others_.TrainHome(slot); }
    void SetTrainHome(int slot, const layout::TrainHomePose& pose) override
    {
        others_.SetTrainHome(slot, pose);
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
    CPlane& plane_;
    CHelicopter& helicopter_;
    CCar& car_;
    layout::MapVehicles& others_;
};

} // namespace vehicles
