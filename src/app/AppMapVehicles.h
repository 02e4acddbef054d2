// The vehicles' share of a map data file as the application holds it: the home poses and
// start positions the map gives (train homes also go to the train slots), and the trains and
// models chosen in the settings dialog's boxes. A choice the boxes do not list (no trains or
// models loaded) is kept as read, so a map saves back as it was loaded.
#pragma once

#include "layout/MapFileVehicles.h"

namespace app {

class CSetUp;
class VehiclesPort;

class AppMapVehicles final : public layout::MapVehicles {
  public:
    // Both must outlive this object.
    AppMapVehicles(CSetUp& setUp, VehiclesPort& vehicles);

    layout::TrainHomePose TrainHome(int slot) const override { return stored_.TrainHome(slot); }
    void SetTrainHome(int slot, const layout::TrainHomePose& pose) override;
    math::Vec3 StartPosition(layout::MapVehicle vehicle) const override
    {
        return stored_.StartPosition(vehicle);
    }
    void SetStartPosition(layout::MapVehicle vehicle, math::Vec3 position) override;

    std::string TrainChoice(int slot) const override;
    std::string VehicleChoice(layout::MapVehicle vehicle) const override;
    void SelectTrainChoice(int slot, std::string_view text) override;
    void SelectVehicleChoice(layout::MapVehicle vehicle, std::string_view text) override;
    void ApplyVehicleSelections() override;

  private:
    CSetUp& setUp_;
    VehiclesPort& vehicles_;
    layout::StoredMapVehicles stored_;
};

} // namespace app
