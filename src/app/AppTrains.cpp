#include "app/AppTrains.h"

#include "app/AppLayout.h"
#include "app/CSimulatorApp.h"
#include "layout/CLayoutSurface.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"
#include "vehicles/VehicleMotion.h"

#include <iostream>

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

AppTrains::AppTrains(CSimulatorApp& app, layout::CLayoutSurface& surface, std::string profileSection)
    : app_(app), surface_(surface)
{
    trains_.reserve(kTrainSlotCount);
    for (int slot = 1; slot <= kTrainSlotCount; ++slot)
        trains_.emplace_back(slot, profileSection);
}

vehicles::CTrain* AppTrains::Slot(int slot)
{
    return ValidSlot(slot) ? &trains_[static_cast<std::size_t>(slot - 1)] : nullptr;
}

const vehicles::CTrain* AppTrains::Slot(int slot) const
{
    return ValidSlot(slot) ? &trains_[static_cast<std::size_t>(slot - 1)] : nullptr;
}

std::string AppTrains::TrainFolder(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train ? train->Folder() : std::string();
}

void AppTrains::SetTrainFolder(int slot, std::string folder)
{
    if (vehicles::CTrain* train = Slot(slot)) train->SetFolder(std::move(folder));
}

void AppTrains::ScanTrainFolder(int slot)
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

void AppTrains::SetHome(int slot, float x, float y, float z, float yaw)
{
    if (vehicles::CTrain* train = Slot(slot)) train->SetHome({x, y, z}, yaw);
}

void AppTrains::SelectTrain(int slot, int index)
{
    vehicles::CTrain* train = Slot(slot);
    if (!train) return;
    const ui::DialogModel& setUp = app_.SetUp().Model();
    const int count = setUp.ItemCount(TrainBox(slot));
    if (count > 1 && index >= 0 && index < count) {
        const std::string name = setUp.ItemText(TrainBox(slot), index);
        if (name != vehicles::kNoTrain) {
            // Without a device the slot stays empty; the device failure was said at start-up.
            if (const platform::Status loaded =
                    train->LoadTrain(app_.Graphics().Device(), name, vehicles::RemoveVertexColours(setUp));
                !loaded)
                std::cerr << "korvela: train " << slot << " not loaded: " << loaded.error() << "\n";
            return;
        }
    }
    train->ReleaseCars();
}

void AppTrains::StoreTrainHome(int slot)
{
    if (vehicles::CTrain* train = Slot(slot)) train->StoreHome();
}

float AppTrains::PickCar(int slot, const PickQuery& query)
{
    vehicles::CTrain* train = Slot(slot);
    return train ? train->PickCar(RayOf(query)) : kNoHit;
}

std::string AppTrains::CarStatus(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train ? train->CarStatus().value_or(" ") : " ";
}

bool AppTrains::HasSelectedCar(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train && train->HasSelectedCar();
}

void AppTrains::ReanchorGrab(int slot, const PickQuery& query)
{
    if (vehicles::CTrain* train = Slot(slot)) train->ReanchorGrab(RayOf(query));
}

void AppTrains::DragCar(int slot, const PickQuery& query)
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

void AppTrains::DriveStep(int slot)
{
    vehicles::CTrain* train = Slot(slot);
    if (!train) return;
    const ui::DialogModel& setUp = app_.SetUp().Model();
    train->DriveStep(app_.Input(), {.driveType = setUp.Selection(DriveTypeBox(slot)),
                                    .noDeceleration = setUp.IsChecked(su::kNoDeceleration)});
}

void AppTrains::FillCameraSources(camera::CameraSources& sources) const
{
    for (int slot = 1; slot <= kTrainSlotCount; ++slot) {
        const vehicles::CTrain& train = trains_[static_cast<std::size_t>(slot - 1)];
        camera::TrainSource& source = sources.trains[static_cast<std::size_t>(slot - 1)];
        if (train.Empty()) {
            source = {};
            continue;
        }
        source = {.present = true,
                  .leadPoint = train.LeadPoint(vehicles::LeadPointKind::Front),
                  .leadRoofHeight = train.LeadRoofHeight(),
                  .leadPosition = train.LeadPosition(),
                  .leadPitch = train.LeadPitch(),
                  .leadYaw = train.LeadYaw(),
                  .seatY = train.SeatY(),
                  .seatZ = train.SeatZ()};
    }
}

TrainState AppTrains::Train(int slot) const
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

double AppTrains::TakeTrackFollowingMs()
{
    const double ms = std::chrono::duration<double, std::milli>(followTime_).count();
    followTime_ = std::chrono::nanoseconds{0};
    return ms;
}

void AppTrains::DrawCars(gfx::Device& device, int slot)
{
    vehicles::CTrain* train = Slot(slot);
    if (!train) return;
    const ui::DialogModel& setUp = app_.SetUp().Model();
    const ui::ToolBarModel& tools = app_.MainDlg().ToolBar();
    const vehicles::FollowControls follow{.heightDetection = tools.IsChecked(ui::cmd::kToolHeightDetection),
                                          .curveDetection = tools.IsChecked(ui::cmd::kToolCurveDetection),
                                          .editTool = app_.MainDlg().EditingMode()};
    const gfx::DeviceState& state = device.State();
    const vehicles::CullView view{.view = state.Transform(gfx::TransformKind::View),
                                  .projection = state.Transform(gfx::TransformKind::Projection),
                                  .viewport = state.viewport,
                                  .eye = app_.Camera().Eye(),
                                  .cullingDistance = static_cast<float>(setUp.Position(su::kCulling))};
    const int thrown = surface_.ThrownTurnouts();
    train->DrawCars(&device, surface_, follow, view, setUp.Selection(TrainBox(slot)) != 0, &followTime_);
    // A turnout the train threw shows in the point buttons as if the user had switched it.
    if (surface_.ThrownTurnouts() != thrown) app_.RefreshTurnoutControls();
}

std::string AppTrains::SpeedText(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    return train ? train->SpeedText() : "0km/h";
}

render::TrainLabels AppTrains::Labels(int slot) const
{
    render::TrainLabels labels;
    const vehicles::CTrain* train = Slot(slot);
    if (!train) return labels;
    const ui::DialogModel& setUp = app_.SetUp().Model();
    labels.shown = setUp.Selection(TrainBox(slot)) != 0;
    labels.driveType = setUp.Selection(DriveTypeBox(slot));
    labels.points = {train->LeadPoint(vehicles::LeadPointKind::Rear),
                     train->LeadPoint(vehicles::LeadPointKind::Front),
                     train->LeadPoint(vehicles::LeadPointKind::Middle)};
    return labels;
}

layout::TrainHomePose AppTrains::TrainHome(int slot) const
{
    const vehicles::CTrain* train = Slot(slot);
    if (!train) return {};
    const math::Vec3 home = train->HomePosition();
    return {home.x, home.y, home.z, train->HomeYaw()};
}

} // namespace app
