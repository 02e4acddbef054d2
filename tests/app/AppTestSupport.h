// Stand-ins that record what the application asks of the layout, the vehicles and the viewers,
// and a fixture that builds the whole application over the recording device in a scratch
// "executable folder".
#pragma once

#include "app/CSimulatorApp.h"
#include "app/LayoutPort.h"
#include "app/VehiclesPort.h"
#include "app/dialogs/ViewerPort.h"
#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "platform/RecordingDialogService.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace apptest {

// A layout whose pick distance and selection the test decides; every call is logged by name.
class StubLayout final : public app::LayoutPort {
  public:
    std::vector<std::string> log;
    float pickDistance = app::kNoHit;
    int selected = -1;
    int routeCount = 0;
    int route = -1;
    std::string status = "object status";

    std::string ObjectFolder() const override { return objectFolder; }
    void SetObjectFolder(std::string folder) override { objectFolder = std::move(folder); }
    std::string BackgroundName() const override { return background; }
    void SetBackgroundName(std::string name) override { background = std::move(name); }
    std::string MapFilePath() const override { return mapFile; }
    void SetMapFilePath(std::string path) override { mapFile = std::move(path); }

    void ScanObjectFolder() override { log.push_back("ScanObjectFolder " + objectFolder); }
    void ChooseBackground() override { log.push_back("ChooseBackground"); }
    void LoadMap() override { log.push_back("LoadMap"); }
    void SaveMap() override { log.push_back("SaveMap"); }
    void ImportMap() override { log.push_back("ImportMap"); }
    bool LoadMapFile(const std::string& path) override
    {
        log.push_back("LoadMapFile " + path);
        return true;
    }

    int SelectedIndex() const override { return selected; }
    int SelectedRouteCount() const override { return routeCount; }
    int SelectedRoute() const override { return route; }
    void SetSelectedRoute(int r) override { log.push_back("SetSelectedRoute " + std::to_string(r)); }
    camera::SelectedObjectSource SelectedObject() const override { return {}; }
    void AssignKey(int key) override { log.push_back("AssignKey " + std::to_string(key)); }
    void PollTurnoutKeys() override { log.push_back("PollTurnoutKeys"); }
    void RefreshKeyColumn() override { log.push_back("RefreshKeyColumn"); }

    float PickPlacedObject(const app::PickQuery&) override { return pickDistance; }
    std::string SelectedStatus() const override { return status; }
    void RegrabSelected(const app::PickQuery&) override { log.push_back("RegrabSelected"); }
    void DragSelected(const app::PickQuery&) override { log.push_back("DragSelected"); }

    std::vector<std::string> TypeNames() const override { return types; }
    std::vector<app::PlacedObjectState> PlacedObjects() const override { return objects; }

    std::string objectFolder;
    std::string background;
    std::string mapFile;
    std::vector<std::string> types;
    std::vector<app::PlacedObjectState> objects;
};

// Vehicles with stub pick distances and selected cars; calls are logged by name.
class StubVehicles final : public app::VehiclesPort {
  public:
    std::vector<std::string> log;
    std::array<float, 6> pickDistances{app::kNoHit, app::kNoHit, app::kNoHit,
                                       app::kNoHit, app::kNoHit, app::kNoHit};
    std::array<bool, 6> selectedCar{};
    std::array<std::string, 6> trainFolders;
    std::array<std::string, 3> vehicleFolders;

    std::string TrainFolder(int slot) const override
    {
        return trainFolders[static_cast<std::size_t>(slot - 1)];
    }
    void SetTrainFolder(int slot, std::string folder) override
    {
        trainFolders[static_cast<std::size_t>(slot - 1)] = std::move(folder);
    }
    void ScanTrainFolder(int slot) override { log.push_back("ScanTrainFolder " + std::to_string(slot)); }
    std::string VehicleFolder(app::Vehicle v) const override
    {
        return vehicleFolders[static_cast<std::size_t>(v)];
    }
    void SetVehicleFolder(app::Vehicle v, std::string folder) override
    {
        vehicleFolders[static_cast<std::size_t>(v)] = std::move(folder);
    }
    void ScanFolder(app::Vehicle v) override { log.push_back("ScanFolder " + Name(v)); }

    void SetHome(int slot, float x, float, float, float) override
    {
        log.push_back("SetHome " + std::to_string(slot) + " " + std::to_string(static_cast<int>(x)));
    }
    void SelectTrain(int slot, int index) override
    {
        log.push_back("SelectTrain " + std::to_string(slot) + " " + std::to_string(index));
    }
    void SelectVehicle(app::Vehicle v, int index) override
    {
        log.push_back("SelectVehicle " + Name(v) + " " + std::to_string(index));
    }
    void StoreTrainHome(int slot) override { log.push_back("StoreTrainHome " + std::to_string(slot)); }
    void StoreVehicleHome(app::Vehicle v) override { log.push_back("StoreVehicleHome " + Name(v)); }

    float PickCar(int slot, const app::PickQuery&) override
    {
        return pickDistances[static_cast<std::size_t>(slot - 1)];
    }
    std::string CarStatus(int slot) const override { return "car of train " + std::to_string(slot); }
    bool HasSelectedCar(int slot) const override { return selectedCar[static_cast<std::size_t>(slot - 1)]; }
    void ReanchorGrab(int slot, const app::PickQuery&) override
    {
        log.push_back("ReanchorGrab " + std::to_string(slot));
    }
    void DragCar(int slot, const app::PickQuery&) override
    {
        log.push_back("DragCar " + std::to_string(slot));
    }

    void DriveStep(int slot) override { log.push_back("DriveStep " + std::to_string(slot)); }
    void UpdateControls(app::Vehicle v) override { log.push_back("UpdateControls " + Name(v)); }
    void FollowTrack() override { log.push_back("FollowTrack"); }
    void FillCameraSources(camera::CameraSources&) const override {}

    app::TrainState Train(int slot) const override
    {
        app::TrainState state;
        state.slot = slot;
        return state;
    }
    app::RoadCarState RoadCar() const override { return {}; }
    app::PlaneState Plane() const override { return {}; }
    app::HelicopterState Helicopter() const override { return {}; }

    static std::string Name(app::Vehicle v)
    {
        switch (v) {
        case app::Vehicle::Plane:
            return "Plane";
        case app::Vehicle::Helicopter:
            return "Helicopter";
        default:
            return "Car";
        }
    }
};

class StubViewers final : public app::ViewerPort {
  public:
    std::vector<std::string> log;
    bool messagesVisible = false;

    void ToggleHelp() override { log.push_back("ToggleHelp"); }
    void OpenMessages() override
    {
        log.push_back("OpenMessages");
        messagesVisible = true;
    }
    bool MessagesVisible() const override { return messagesVisible; }
    void HideMessages() override
    {
        log.push_back("HideMessages");
        messagesVisible = false;
    }
    void CheckForUpdate() override { log.push_back("CheckForUpdate"); }
};

// Count of entries of log equal to entry.
inline int Count(const std::vector<std::string>& log, const std::string& entry)
{
    int n = 0;
    for (const auto& line : log)
        n += line == entry ? 1 : 0;
    return n;
}

// A factory for the recording device; failCreation makes every creation fail.
inline render::DeviceFactory RecordingFactory(bool failCreation = false)
{
    return [failCreation](const gfx::DeviceOptions& options) {
        gfx::RecordingDevice::Options recording;
        recording.device = options;
        recording.main = {640, 480};
        recording.failCreation = failCreation;
        auto created = gfx::RecordingDevice::Create(recording);
        return gfx::Created<gfx::Device>{std::move(created.device), std::move(created.error)};
    };
}

// The whole application over stubs in a scratch executable folder "…/bin/" named "korvela".
// The window is 640 × 480 of client area with a 24-pixel tool bar and a 20-pixel status bar.
class AppFixture {
  public:
    static constexpr int kToolBar = 24;
    static constexpr int kStatusBar = 20;

    explicit AppFixture(bool failDevice = false, std::string name = "korvela")
    {
        std::filesystem::create_directories(dir.Path() / "bin");
        folder = (dir.Path() / "bin").string() + "/";
        app::AppEnvironment environment{
            .executableFolder = folder,
            .executableName = std::move(name),
            .deviceFactory = RecordingFactory(failDevice),
            .ports = {.layout = &layout, .vehicles = &vehicles, .viewers = &viewers}};
        app = std::make_unique<app::CSimulatorApp>(std::move(environment), dialogs, keys);
        app->SetWindowMetrics(640, 480, kToolBar, kStatusBar);
    }

    gfx::RecordingDevice* Device() const
    {
        return dynamic_cast<gfx::RecordingDevice*>(app->Graphics().Device());
    }

    testsupport::TempDir dir;
    std::string folder;
    StubLayout layout;
    StubVehicles vehicles;
    StubViewers viewers;
    platform::RecordingDialogService dialogs;
    platform::KeyState keys;
    std::unique_ptr<app::CSimulatorApp> app;
};

} // namespace apptest
