#include "app/AppMapVehicles.h"

#include "app/VehiclesPort.h"
#include "app/dialogs/CSetUp.h"
#include "ui/SetUpTemplate.h"

namespace app {

namespace {

namespace su = ui::setup;

// The settings dialog's box of a train slot (1 to 6) or a vehicle; kNoId for neither.
int TrainBox(int slot)
{
    return slot >= 1 && slot <= 6 ? su::kTrainModel[static_cast<std::size_t>(slot - 1)] : ui::kNoId;
}

int VehicleBox(layout::MapVehicle vehicle)
{
    switch (vehicle) {
    case layout::MapVehicle::Plane:
        return su::kPlaneModel;
    case layout::MapVehicle::Helicopter:
        return su::kHelicopterModel;
    case layout::MapVehicle::Car:
        return su::kCarModel;
    }
    return ui::kNoId;
}

// The box's chosen entry, or what the map named when the box has none chosen.
std::string Choice(const ui::DialogModel& model, int box, std::string stored)
{
    const int selection = model.Selection(box);
    return selection >= 0 ? model.ItemText(box, selection) : stored;
}

void Select(ui::DialogModel& model, int box, std::string_view text)
{
    const int index = model.FindItem(box, text);
    if (index >= 0) model.SetSelection(box, index);
}

} // namespace

AppMapVehicles::AppMapVehicles(CSetUp& setUp, VehiclesPort& vehicles) : setUp_(setUp), vehicles_(vehicles) {}

void AppMapVehicles::SetTrainHome(int slot, const layout::TrainHomePose& pose)
{
    stored_.SetTrainHome(slot, pose);
    if (slot >= 1 && slot <= layout::kMapTrainSlots)
        vehicles_.SetHome(slot, pose.x, pose.y, pose.z, pose.yaw);
}

void AppMapVehicles::SetStartPosition(layout::MapVehicle vehicle, math::Vec3 position)
{
    stored_.SetStartPosition(vehicle, position);
}

std::string AppMapVehicles::TrainChoice(int slot) const
{
    return Choice(setUp_.Model(), TrainBox(slot), stored_.TrainChoice(slot));
}

std::string AppMapVehicles::VehicleChoice(layout::MapVehicle vehicle) const
{
    return Choice(setUp_.Model(), VehicleBox(vehicle), stored_.VehicleChoice(vehicle));
}

void AppMapVehicles::SelectTrainChoice(int slot, std::string_view text)
{
    stored_.SelectTrainChoice(slot, text);
    Select(setUp_.Model(), TrainBox(slot), text);
}

void AppMapVehicles::SelectVehicleChoice(layout::MapVehicle vehicle, std::string_view text)
{
    stored_.SelectVehicleChoice(vehicle, text);
    Select(setUp_.Model(), VehicleBox(vehicle), text);
}

void AppMapVehicles::ApplyVehicleSelections()
{
    setUp_.ApplyVehicleSelections();
}

} // namespace app
