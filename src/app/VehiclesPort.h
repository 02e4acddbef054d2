// What the application shell asks of the six train slots and the three other vehicles: their
// folders and model choices, home poses, picking and dragging of cars, the per-pass steps and
// the read-outs of a run report. AppVehicles answers unless tests give another.
#pragma once

#include "app/RunState.h"
#include "app/dialogs/PickQuery.h"
#include "app/dialogs/SetUpActions.h"
#include "camera/CameraSources.h"

#include <string>

namespace app {

class VehiclesPort {
  public:
    virtual ~VehiclesPort() = default;

    // Train slots are numbered 1 to 6; folders end in '/'.
    virtual std::string TrainFolder(int slot) const = 0;
    virtual void SetTrainFolder(int slot, std::string folder) = 0;
    virtual void ScanTrainFolder(int slot) = 0;
    virtual std::string VehicleFolder(Vehicle vehicle) const = 0;
    virtual void SetVehicleFolder(Vehicle vehicle, std::string folder) = 0;
    virtual void ScanFolder(Vehicle vehicle) = 0;

    virtual void SetHome(int slot, float x, float y, float z, float yaw) = 0;
    // The train or model chosen in the settings dialog (-1: none).
    virtual void SelectTrain(int slot, int index) = 0;
    virtual void SelectVehicle(Vehicle vehicle, int index) = 0;
    virtual void StoreTrainHome(int slot) = 0;
    virtual void StoreVehicleHome(Vehicle vehicle) = 0;

    // Distance to the slot's nearest car under the point (kNoHit for none); selects it.
    virtual float PickCar(int slot, const PickQuery& query) = 0;
    virtual std::string CarStatus(int slot) const = 0;
    virtual bool HasSelectedCar(int slot) const = 0;
    virtual void ReanchorGrab(int slot, const PickQuery& query) = 0;
    virtual void DragCar(int slot, const PickQuery& query) = 0;

    virtual void DriveStep(int slot) = 0;
    virtual void UpdateControls(Vehicle vehicle) = 0;
    // After the camera rig: the trains' per-car track following and the road car's ground
    // following of this pass.
    virtual void FollowTrack() {}

    // What the camera reads of the trains and vehicles this frame (sources.selected is left alone).
    virtual void FillCameraSources(camera::CameraSources& sources) const = 0;

    // Read-outs for the run report.
    virtual TrainState Train(int slot) const = 0;
    virtual RoadCarState RoadCar() const = 0;
    virtual PlaneState Plane() const = 0;
    virtual HelicopterState Helicopter() const = 0;
};

} // namespace app
