#include "app/NullVehicles.h"

namespace app {

namespace {

bool ValidSlot(int slot)
{
    return slot >= 1 && slot <= kTrainSlotCount;
}

} // namespace

std::string NullVehicles::TrainFolder(int slot) const
{
    return ValidSlot(slot) ? trainFolders_[static_cast<std::size_t>(slot - 1)] : std::string();
}

void NullVehicles::SetTrainFolder(int slot, std::string folder)
{
    if (ValidSlot(slot)) trainFolders_[static_cast<std::size_t>(slot - 1)] = std::move(folder);
}

std::string NullVehicles::VehicleFolder(Vehicle vehicle) const
{
    return vehicleFolders_[static_cast<std::size_t>(vehicle)];
}

void NullVehicles::SetVehicleFolder(Vehicle vehicle, std::string folder)
{
    vehicleFolders_[static_cast<std::size_t>(vehicle)] = std::move(folder);
}

TrainState NullVehicles::Train(int slot) const
{
    TrainState state;
    state.slot = slot;
    return state;
}

} // namespace app
