#include "app/AppVehicles.h"

#include "app/AppLayout.h"
#include "app/CSimulatorApp.h"
#include "layout/CLayoutSurface.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"
#include "vehicles/VehicleMotion.h"

#include <algorithm>
#include <iostream>
#include <numbers>

namespace app {

namespace {

namespace su = ui::setup;
namespace vk = platform::vk;

bool ValidSlot(int slot)
{
    return slot >= 1 && slot <= kTrainSlotCount;
}

int TrainBox(int slot)
{
    return su::kTrainModel[static_cast<std::size_t>(slot - 1)];
}

int DriveTypeBox(int slot)
{
    return su::kDriveType[static_cast<std::size_t>(slot - 1)];
}

} // namespace

AppVehicles::AppVehicles(CSimulatorApp& app, layout::CLayoutSurface& surface, std::string profileSection)
    : app_(app), surface_(surface), plane_(profileSection), helicopter_(profileSection), car_(profileSection)
{
    trains_.reserve(kTrainSlotCount);
    for (int slot = 1; slot <= kTrainSlotCount; ++slot)
        trains_.emplace_back(slot, profileSection);
}

vehicles::CTrain* AppVehicles::Slot(int slot)
{
    return ValidSlot(slot) ? &trains_[static_cast<std::size_t>(slot - 1)] : nullptr;
}

const vehicles::CTrain* AppVehicles::Slot(int slot) const
{
    return ValidSlot(slot) ? &trains_[static_cast<std::size_t>(slot - 1)] : nullptr;
}

std::string AppVehicles::TrainFolder(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train ? train->Folder() : std::string();
}

void AppVehicles::SetTrainFolder(int slot, std::string folder)
{
    if (vehicles::CTrain* train = Slot(slot)) train->SetFolder(std::move(folder));
}

void AppVehicles::ScanTrainFolder(int slot)
{
    vehicles::CTrain* train = Slot(slot);
    if (!train) return;
    train->ReleaseCars();
    std::vector<std::string> items = {std::string(vehicles::kNoTrain)};
    for (std::string& name : train->TrainNames())
        items.push_back(std::move(name));
    ui::DialogModel& setUp = app_.SetUp().Model();
    const bool any = items.size() > 1;
    setUp.SetItems(TrainBox(slot), std::move(items));
    setUp.SetSelection(TrainBox(slot), any ? 1 : 0);
    if (any) SelectTrain(slot, 1);
}

void AppVehicles::SetHome(int slot, float x, float y, float z, float yaw)
{
    if (vehicles::CTrain* train = Slot(slot)) train->SetHome({x, y, z}, yaw);
}

void AppVehicles::SelectTrain(int slot, int index)
{
    vehicles::CTrain* train = Slot(slot);
    if (!train) return;
    const ui::DialogModel& setUp = app_.SetUp().Model();
    const int count = setUp.ItemCount(TrainBox(slot));
    if (count > 1 && index >= 0 && index < count) {
        const std::string name = setUp.ItemText(TrainBox(slot), index);
        if (name != vehicles::kNoTrain) {
            // Without a device the slot stays empty; the device failure was said at start-up.
            if (const platform::Status loaded = train->LoadTrain(app_.Graphics().Device(), name, vehicles::RemoveVertexColours(setUp));
                !loaded)
                std::cerr << "korvela: train " << slot << " not loaded: " << loaded.error() << "\n";
            return;
        }
    }
    train->ReleaseCars();
}

void AppVehicles::StoreTrainHome(int slot)
{
    if (vehicles::CTrain* train = Slot(slot)) train->StoreHome();
}

float AppVehicles::PickCar(int slot, const PickQuery& query)
{
    vehicles::CTrain* train = Slot(slot);
    return train ? train->PickCar(RayOf(query)) : kNoHit;
}

std::string AppVehicles::CarStatus(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train ? train->CarStatus().value_or(" ") : " ";
}

bool AppVehicles::HasSelectedCar(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train && train->HasSelectedCar();
}

void AppVehicles::ReanchorGrab(int slot, const PickQuery& query)
{
    if (vehicles::CTrain* train = Slot(slot)) train->ReanchorGrab(RayOf(query));
}

void AppVehicles::DragCar(int slot, const PickQuery& query)
{
    vehicles::CTrain* train = Slot(slot);
    if (!train || !train->HasSelectedCar()) return;
    ui::ToolBarModel& tools = app_.MainDlg().ToolBar();
    const vehicles::CarDragFlags flags{.shift = app_.Input().KeyDown(vk::kShift) != 0,
                                       .alt = app_.Input().KeyDown(vk::kMenu) != 0,
                                       .grid = tools.IsChecked(ui::cmd::kToolGrid),
                                       .wholeTrain = tools.IsChecked(ui::cmd::kToolMoveTrain),
                                       .reach =
                                           static_cast<float>(app_.SetUp().Model().Position(su::kCulling))};
    if (train->DragCar(RayOf(query), flags).heightDetectionOff)
        tools.SetChecked(ui::cmd::kToolHeightDetection, false);
    if (const auto status = train->CarStatus())
        app_.MainDlg().StatusBar().SetText(CMainDlg::kPickPane, *status);
}

void AppVehicles::DriveStep(int slot)
{
    vehicles::CTrain* train = Slot(slot);
    if (!train) return;
    const ui::DialogModel& setUp = app_.SetUp().Model();
    train->DriveStep(app_.Input(), {.driveType = setUp.Selection(DriveTypeBox(slot)),
                                    .noDeceleration = setUp.IsChecked(su::kNoDeceleration)});
}

bool AppVehicles::TrainRuns(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train && train->Runs(app_.SetUp().Model().Selection(TrainBox(slot)) != 0);
}

TrainState AppVehicles::Train(int slot) const
{
    TrainState state;
    state.slot = slot;
    const vehicles::CTrain* train = Slot(slot);
    if (!train) return state;
    state.speed = train->Speed();
    if (train->Empty()) return state;
    state.name = train->Name();
    for (const vehicles::TrainCar& car : train->Cars()) {
        state.cars.push_back({.x = car.position.x,
                              .y = car.position.y,
                              .z = car.position.z,
                              .pitch = car.pitch,
                              .yaw = car.yaw,
                              .below = car.below,
                              .belowRear = car.belowRear});
    }
    return state;
}

vehicles::VehicleStartPositions AppVehicles::MapStartPositions(layout::MapVehicles& others)
{
    return vehicles::VehicleStartPositions(plane_, helicopter_, car_, others);
}

std::string AppVehicles::VehicleFolder(Vehicle vehicle) const
{
    switch (vehicle) {
    case Vehicle::Plane:
        return plane_.Folder();
    case Vehicle::Helicopter:
        return helicopter_.Folder();
    case Vehicle::Car:
        return car_.Folder();
    }
    return {};
}

void AppVehicles::SetVehicleFolder(Vehicle vehicle, std::string folder)
{
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.SetFolder(std::move(folder));
        break;
    case Vehicle::Helicopter:
        helicopter_.SetFolder(std::move(folder));
        break;
    case Vehicle::Car:
        car_.SetFolder(std::move(folder));
        break;
    }
}

void AppVehicles::ScanFolder(Vehicle vehicle)
{
    ui::DialogModel& setUp = app_.SetUp().Model();
    gfx::Device* device = app_.Graphics().Device();
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.ScanFolder(setUp, device);
        break;
    case Vehicle::Helicopter:
        helicopter_.ScanFolder(setUp, device);
        break;
    case Vehicle::Car:
        car_.ScanFolder(setUp, device);
        break;
    }
}

void AppVehicles::SelectVehicle(Vehicle vehicle, int index)
{
    const ui::DialogModel& setUp = app_.SetUp().Model();
    gfx::Device* device = app_.Graphics().Device();
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.SelectModel(setUp, index, device);
        break;
    case Vehicle::Helicopter:
        helicopter_.SelectModel(setUp, index, device);
        break;
    case Vehicle::Car:
        car_.SelectModel(setUp, index, device);
        break;
    }
}

void AppVehicles::StoreVehicleHome(Vehicle vehicle)
{
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.StoreHome();
        break;
    case Vehicle::Helicopter:
        helicopter_.StoreHome();
        break;
    case Vehicle::Car:
        car_.StoreHome();
        break;
    }
}

void AppVehicles::UpdateControls(Vehicle vehicle)
{
    const input::CInput& input = app_.Input();
    const ui::DialogModel& setUp = app_.SetUp().Model();
    switch (vehicle) {
    case Vehicle::Plane: {
        const float from = plane_.Position().y;
        plane_.UpdateControls(input, setUp);
        plane_.TurnBody();
        if (const auto ground = GroundUnder(plane_.Position(), from)) plane_.StayAbove(*ground);
        app_.OwnLayout().Core().SetAeroplaneVector(plane_.AeroplaneVector());
        break;
    }
    case Vehicle::Helicopter: {
        const float from = helicopter_.Position().y;
        helicopter_.UpdateControls(input, setUp);
        helicopter_.TurnBody();
        if (const auto ground = GroundUnder(helicopter_.Position(), from)) helicopter_.StayAbove(*ground);
        break;
    }
    case Vehicle::Car:
        car_.UpdateControls(input, setUp);
        break;
    }
}

std::optional<float> AppVehicles::GroundUnder(math::Vec3 position, float before)
{
    // From above where the aircraft was and is: a pass that took it through a surface finds it.
    constexpr float kAbove = 1.0f;
    surface_.Refresh();
    return surface_.SurfaceTop(position.x, position.z, std::max(position.y, before) + kAbove);
}

void AppVehicles::FillCameraSources(camera::CameraSources& sources) const
{
    for (int slot = 1; slot <= kTrainSlotCount; ++slot) {
        const vehicles::CTrain& train = trains_[static_cast<std::size_t>(slot - 1)];
        camera::TrainSource& source = sources.trains[static_cast<std::size_t>(slot - 1)];
        if (train.Empty()) {
            source = {};
            continue;
        }
        // The views from the front and behind, and the driver's seat, are those of the leading
        // end: the last car, turned round, when it leads.
        const bool lastLeads = train.LastCarLeads();
        const int car = lastLeads ? train.LastCar() : 0;
        const vehicles::TrainCar& lead = train.Car(car);
        source = {.present = true,
                  .leadPoint = train.CarPoint(car, lastLeads ? vehicles::LeadPointKind::Rear : vehicles::LeadPointKind::Front),
                  .leadRoofHeight = lead.bounds.maxY,
                  .leadPosition = lead.position,
                  .leadPitch = lastLeads ? -lead.pitch : lead.pitch,
                  .leadYaw = lastLeads ? lead.yaw + std::numbers::pi_v<float> : lead.yaw,
                  .seatY = train.SeatY(),
                  .seatZ = train.SeatZ()};
    }

    sources.plane = {.present = plane_.Loaded(),
                     .position = plane_.Position(),
                     .forward = plane_.Forward(),
                     .up = plane_.Up(),
                     .yaw = plane_.Heading(),
                     .cockpitY = plane_.CockpitY(),
                     .cockpitZ = plane_.CockpitZ()};
    sources.helicopter = {.present = helicopter_.Loaded(),
                          .position = helicopter_.Position(),
                          .forward = helicopter_.Forward(),
                          .up = helicopter_.Up(),
                          .yaw = helicopter_.Heading(),
                          .cockpitY = helicopter_.CockpitY(),
                          .cockpitZ = helicopter_.CockpitZ()};
    // The camera stands on the model's origin, where the driver's seat offsets are measured from.
    sources.car = {.present = car_.Placed(),
                   .position = car_.ModelOrigin(app_.SetUp().Model()),
                   .yaw = car_.Heading(),
                   .driver = car_.DriverSeat()};
}

RoadCarState AppVehicles::RoadCar() const
{
    const math::Vec3 p = car_.Position();
    return {.x = p.x, .y = p.y, .z = p.z, .speed = car_.Speed(), .heading = car_.Heading()};
}

PlaneState AppVehicles::Plane() const
{
    const math::Vec3 p = plane_.Position();
    return {.x = p.x,
            .y = p.y,
            .z = p.z,
            .speed = plane_.Speed(),
            .heading = plane_.Heading(),
            .forward = plane_.Forward(),
            .up = plane_.Up()};
}

HelicopterState AppVehicles::Helicopter() const
{
    const math::Vec3 p = helicopter_.Position();
    return {.x = p.x,
            .y = p.y,
            .z = p.z,
            .velocity = helicopter_.Velocity(),
            .heading = helicopter_.Heading(),
            .forward = helicopter_.Forward(),
            .up = helicopter_.Up()};
}

void AppVehicles::FollowTrack()
{
    const ui::DialogModel& setUp = app_.SetUp().Model();
    const ui::ToolBarModel& tools = app_.MainDlg().ToolBar();
    const bool heightDetection = tools.IsChecked(ui::cmd::kToolHeightDetection);
    const bool editing = app_.MainDlg().EditingMode();
    const vehicles::FollowControls follow{.heightDetection = heightDetection,
                                          .curveDetection = tools.IsChecked(ui::cmd::kToolCurveDetection),
                                          .editTool = editing};
    for (vehicles::CTrain& train : trains_) {
        if (!train.Runs(setUp.Selection(TrainBox(train.Slot())) != 0)) continue;
        const int thrown = surface_.ThrownTurnouts();
        train.FollowTrack(surface_, follow);
        // A turnout the train threw shows in the point buttons as if the user had switched it.
        if (surface_.ThrownTurnouts() != thrown) app_.RefreshTurnoutControls();
    }
    car_.FollowGround(setUp, {.surface = &surface_, .heightDetection = heightDetection, .editing = editing});
}

} // namespace app
