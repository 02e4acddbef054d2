// The road car, the aeroplane and the helicopter as the application runs them: their folders,
// model boxes and home positions, the per-pass steps, their drawing and overlay lines, their
// camera sources and their share of the run report. Everything about the train slots is
// passed on to the trains' own port and scene, so this one object can stand for the vehicles
// of both kinds.
#pragma once

#include "app/VehiclesPort.h"
#include "render/FrameScene.h"
#include "vehicles/CCar.h"
#include "vehicles/CHelicopter.h"
#include "vehicles/CPlane.h"
#include "vehicles/VehicleStartPositions.h"

#include <string>

namespace layout {
class CLayoutSurface;
}

namespace app {

class CSimulatorApp;

class AppVehicles final : public VehiclesPort, public render::FrameScene {
  public:
    // app's parts (settings dialog, device, keys, camera, tool bar, layout) are read at each
    // call, never during construction. trains and trainScene answer for the train slots and
    // the frame's items other than these three vehicles; the road car stands on surface. All
    // must outlive this object. profileSection is the section of the model .ini files (the
    // executable's base name).
    AppVehicles(CSimulatorApp& app, VehiclesPort& trains, render::FrameScene& trainScene,
                layout::CLayoutSurface& surface, std::string profileSection);

    vehicles::CPlane& CorePlane() { return plane_; }
    vehicles::CHelicopter& CoreHelicopter() { return helicopter_; }
    vehicles::CCar& CoreCar() { return car_; }

    // The three vehicles' share of the map data file, passing the rest on to others (which
    // must outlive the result).
    vehicles::VehicleStartPositions MapStartPositions(layout::MapVehicles& others);

    // --- train slots: passed on
    std::string TrainFolder(int slot) const override { return trains_.TrainFolder(slot); }
    void SetTrainFolder(int slot, std::string folder) override
    {
        trains_.SetTrainFolder(slot, std::move(folder));
    }
    void ScanTrainFolder(int slot) override { trains_.ScanTrainFolder(slot); }
    void SetHome(int slot, float x, float y, float z, float yaw) override
    {
        trains_.SetHome(slot, x, y, z, yaw);
    }
    void SelectTrain(int slot, int index) override { trains_.SelectTrain(slot, index); }
    void StoreTrainHome(int slot) override { trains_.StoreTrainHome(slot); }
    float PickCar(int slot, const PickQuery& query) override { return trains_.PickCar(slot, query); }
    std::string CarStatus(int slot) const override { return trains_.CarStatus(slot); }
    bool HasSelectedCar(int slot) const override { return trains_.HasSelectedCar(slot); }
    void ReanchorGrab(int slot, const PickQuery& query) override { trains_.ReanchorGrab(slot, query); }
    void DragCar(int slot, const PickQuery& query) override { trains_.DragCar(slot, query); }
    void DriveStep(int slot) override { trains_.DriveStep(slot); }
    TrainState Train(int slot) const override { return trains_.Train(slot); }

    // --- the three vehicles
    std::string VehicleFolder(Vehicle vehicle) const override;
    void SetVehicleFolder(Vehicle vehicle, std::string folder) override;
    void ScanFolder(Vehicle vehicle) override;
    void SelectVehicle(Vehicle vehicle, int index) override;
    void StoreVehicleHome(Vehicle vehicle) override;
    // The aeroplane also hands the layout its vector for the line overlay.
    void UpdateControls(Vehicle vehicle) override;
    // The trains' sources, then the three vehicles'.
    void FillCameraSources(camera::CameraSources& sources) const override;
    RoadCarState RoadCar() const override;
    PlaneState Plane() const override;
    HelicopterState Helicopter() const override;

    // --- the frame
    void DrawBackground(gfx::Device& device) override { trainScene_.DrawBackground(device); }
    void DrawCars(gfx::Device& device, int slot) override { trainScene_.DrawCars(device, slot); }
    void DrawPlacedObjects(gfx::Device& device, int pass) override
    {
        trainScene_.DrawPlacedObjects(device, pass);
    }
    void DrawPlane(gfx::Device& device) override;
    void DrawHelicopter(gfx::Device& device) override;
    void DrawRoadCar(gfx::Device& device) override;
    void DrawLineOverlay(gfx::Device& device) override { trainScene_.DrawLineOverlay(device); }
    void DrawKeyLabels(gfx::Device& device, float pointSize) override
    {
        trainScene_.DrawKeyLabels(device, pointSize);
    }
    std::string TrainSpeedText(int slot) const override { return trainScene_.TrainSpeedText(slot); }
    std::string CarSpeedText() const override { return car_.SpeedText(); }
    std::string PlaneSpeedText() const override { return plane_.SpeedText(); }
    std::string PlaneAltitudeText() const override { return plane_.AltitudeText(); }
    std::string PlaneAngleText() const override { return plane_.AngleText(); }
    std::string HelicopterSpeedText() const override { return helicopter_.SpeedText(); }
    std::string HelicopterAltitudeText() const override { return helicopter_.AltitudeText(); }
    std::optional<render::PreviewSubject> PreviewType() const override { return trainScene_.PreviewType(); }
    void DrawPreview(gfx::Device& device) override { trainScene_.DrawPreview(device); }

  private:
    CSimulatorApp& app_;
    VehiclesPort& trains_;
    render::FrameScene& trainScene_;
    layout::CLayoutSurface& surface_;
    vehicles::CPlane plane_;
    vehicles::CHelicopter helicopter_;
    vehicles::CCar car_;
};

} // namespace app
