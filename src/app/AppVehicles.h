// The six train slots, the road car, the aeroplane and the helicopter as the application runs
// them: folders and the settings dialog's boxes, loading and home poses, picking and dragging of
// cars with the tool bar's grid and modes, the per-pass steps (driving, flying, the per-car track
// following and the road car's ground following), the camera's sources and the vehicles' share
// of the run report. Drawing them is the scene's (AppScene), which only reads them.
#pragma once

#include "app/VehiclesPort.h"
#include "vehicles/CCar.h"
#include "vehicles/CHelicopter.h"
#include "vehicles/CPlane.h"
#include "vehicles/CTrain.h"
#include "vehicles/VehicleStartPositions.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace layout {
class CLayoutSurface;
class MapVehicles;
} // namespace layout

namespace app {

class CSimulatorApp;

class AppVehicles final : public VehiclesPort {
  public:
    // app's parts (settings dialog, device, keys, tool bar, status bar, layout) are read at each
    // call, never during construction. Trains and the road car stand on surface. Both must
    // outlive this object. profileSection is the section of the model .ini files (the
    // executable's base name).
    AppVehicles(CSimulatorApp& app, layout::CLayoutSurface& surface, std::string profileSection);

    // Slot 1 to 6; null for any other number.
    vehicles::CTrain* Slot(int slot);
    const vehicles::CTrain* Slot(int slot) const;
    // The six slots in order, for the map file's home poses (vehicles::TrainMapVehicles).
    std::span<vehicles::CTrain> Slots() { return trains_; }
    const vehicles::CPlane& CorePlane() const { return plane_; }
    const vehicles::CHelicopter& CoreHelicopter() const { return helicopter_; }
    const vehicles::CCar& CoreCar() const { return car_; }

    // The three vehicles' share of the map data file, passing the rest on to others (which
    // must outlive the result).
    vehicles::VehicleStartPositions MapStartPositions(layout::MapVehicles& others);

    // --- folders, models and homes
    std::string TrainFolder(int slot) const override;
    void SetTrainFolder(int slot, std::string folder) override;
    // Fills the slot's train box ("電車なし", then the folder's trains) and loads the first train.
    void ScanTrainFolder(int slot) override;
    std::string VehicleFolder(Vehicle vehicle) const override;
    void SetVehicleFolder(Vehicle vehicle, std::string folder) override;
    void ScanFolder(Vehicle vehicle) override;
    void SetHome(int slot, float x, float y, float z, float yaw) override;
    // Loads the train the box shows at index, or empties the slot for "電車なし".
    void SelectTrain(int slot, int index) override;
    void SelectVehicle(Vehicle vehicle, int index) override;
    void StoreTrainHome(int slot) override;
    void StoreVehicleHome(Vehicle vehicle) override;

    // --- cars under the mouse
    float PickCar(int slot, const PickQuery& query) override;
    std::string CarStatus(int slot) const override;
    bool HasSelectedCar(int slot) const override;
    void ReanchorGrab(int slot, const PickQuery& query) override;
    // Shift raises (and switches "高さの検出" off), Alt turns, "グリッド" snaps, and with
    // "電車１編成の移動" the whole train moves. The car's status goes to pane 0.
    void DragCar(int slot, const PickQuery& query) override;

    // Whether the slot's train takes part in the passes (loaded, and its box shows a train).
    bool TrainRuns(int slot) const;

    // --- one pass
    void DriveStep(int slot) override;
    // The keypad, then the body's turn; the aeroplane also hands the layout its vector for the
    // line overlay.
    void UpdateControls(Vehicle vehicle) override;
    // Every running train settles onto the track with the tool bar's detections, slot by slot; a
    // turnout a train throws shows in the point buttons. Then the road car follows the ground.
    void FollowTrack() override;

    // --- read-outs
    void FillCameraSources(camera::CameraSources& sources) const override;
    TrainState Train(int slot) const override;
    RoadCarState RoadCar() const override;
    PlaneState Plane() const override;
    HelicopterState Helicopter() const override;

  private:
    // The highest surface under an aircraft at position that was at height `before` last pass.
    std::optional<float> GroundUnder(math::Vec3 position, float before);

    CSimulatorApp& app_;
    layout::CLayoutSurface& surface_;
    std::vector<vehicles::CTrain> trains_;
    vehicles::CPlane plane_;
    vehicles::CHelicopter helicopter_;
    vehicles::CCar car_;
};

} // namespace app
