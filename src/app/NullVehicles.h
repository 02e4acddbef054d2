// The vehicles as the shell sees them before the vehicles exist: folders and home poses are
// kept, every slot is empty ("電車なし"), nothing is picked and nothing moves.
#pragma once

#include "app/VehiclesPort.h"

#include <array>

namespace app {

class NullVehicles final : public VehiclesPort {
  public:
    std::string TrainFolder(int slot) const override;
    void SetTrainFolder(int slot, std::string folder) override;
    void ScanTrainFolder(int) override {}
    std::string VehicleFolder(Vehicle vehicle) const override;
    void SetVehicleFolder(Vehicle vehicle, std::string folder) override;
    void ScanFolder(Vehicle) override {}

    void SetHome(int, float, float, float, float) override {}
    void SelectTrain(int, int) override {}
    void SelectVehicle(Vehicle, int) override {}
    void StoreTrainHome(int) override {}
    void StoreVehicleHome(Vehicle) override {}

    float PickCar(int, const PickQuery&) override { return kNoHit; }
    std::string CarStatus(int) const override { return " "; }
    bool HasSelectedCar(int) const override { return false; }
    void ReanchorGrab(int, const PickQuery&) override {}
    void DragCar(int, const PickQuery&) override {}

    void DriveStep(int) override {}
    void UpdateControls(Vehicle) override {}

    void FillCameraSources(camera::CameraSources&) const override {}

    TrainState Train(int slot) const override;
    RoadCarState RoadCar() const override { return {}; }
    PlaneState Plane() const override { return {}; }
    HelicopterState Helicopter() const override { return {}; }

  private:
    std::array<std::string, kTrainSlotCount> trainFolders_;
    std::array<std::string, 3> vehicleFolders_;
};

} // namespace app
