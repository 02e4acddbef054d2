// The six train slots as the application runs them: their folder and the settings dialog's
// train boxes, loading and home poses, picking and dragging of cars with the tool bar's grid and
// modes, the per-pass speed rule with the drive-type boxes, the per-car pass of the frame, the
// camera's train sources and the trains' share of the run report. The three other vehicles are
// not handled here (AppVehicles answers for them and passes the train slots on to this port).
#pragma once

#include "app/VehiclesPort.h"
#include "layout/MapFileVehicles.h"
#include "render/CSpriteLabels.h"
#include "vehicles/CTrain.h"

#include <chrono>
#include <span>
#include <string>
#include <vector>

namespace gfx {
class Device;
}
namespace layout {
class CLayoutSurface;
}

namespace app {

class CSimulatorApp;

class AppTrains final : public VehiclesPort {
  public:
    // app's parts (settings dialog, device, keys, tool bar, status bar, camera) are read at
    // each call, never during construction. The trains probe the layout through surface.
    // Both must outlive this object. profileSection is the section of the train and car files
    // (the executable's base name).
    AppTrains(CSimulatorApp& app, layout::CLayoutSurface& surface, std::string profileSection);

    // Slot 1 to 6; null for any other number.
    vehicles::CTrain* Slot(int slot);
    const vehicles::CTrain* Slot(int slot) const;
    // The six slots in order, for the map file's home poses (vehicles::TrainMapVehicles).
    std::span<vehicles::CTrain> Slots() { return trains_; }

    // --- train slots
    std::string TrainFolder(int slot) const override;
    void SetTrainFolder(int slot, std::string folder) override;
    // Fills the slot's train box ("電車なし", then the folder's trains) and loads the first train.
    void ScanTrainFolder(int slot) override;
    void SetHome(int slot, float x, float y, float z, float yaw) override;
    // Loads the train the box shows at index, or empties the slot for "電車なし".
    void SelectTrain(int slot, int index) override;
    void StoreTrainHome(int slot) override;
    float PickCar(int slot, const PickQuery& query) override;
    std::string CarStatus(int slot) const override;
    bool HasSelectedCar(int slot) const override;
    void ReanchorGrab(int slot, const PickQuery& query) override;
    // Shift raises (and switches "高さの検出" off), Alt turns, "グリッド" snaps, and with
    // "電車１編成の移動" the whole train moves. The car's status goes to pane 0.
    void DragCar(int slot, const PickQuery& query) override;
    void DriveStep(int slot) override;
    // The trains' sources only; the others are left as they are.
    void FillCameraSources(camera::CameraSources& sources) const override;
    TrainState Train(int slot) const override;

    // --- the three other vehicles are not trains: nothing here
    std::string VehicleFolder(Vehicle) const override { return {}; }
    void SetVehicleFolder(Vehicle, std::string) override {}
    void ScanFolder(Vehicle) override {}
    void SelectVehicle(Vehicle, int) override {}
    void StoreVehicleHome(Vehicle) override {}
    void UpdateControls(Vehicle) override {}
    RoadCarState RoadCar() const override { return {}; }
    PlaneState Plane() const override { return {}; }
    HelicopterState Helicopter() const override { return {}; }

    // --- the frame
    // The per-car pass of the slot: track following with the tool bar's detections, culling
    // against the device's current view, and drawing.
    void DrawCars(gfx::Device& device, int slot);
    // Time spent following the track inside DrawCars since the last call, in milliseconds.
    double TakeTrackFollowingMs();
    // "100km/h"; an unknown slot reads as standing.
    std::string SpeedText(int slot) const;
    // What the slot's key labels need this frame.
    render::TrainLabels Labels(int slot) const;
    layout::TrainHomePose TrainHome(int slot) const;

  private:
    CSimulatorApp& app_;
    layout::CLayoutSurface& surface_;
    std::vector<vehicles::CTrain> trains_;
    std::chrono::nanoseconds followTime_{0};
};

} // namespace app
