#include "layout/MapFileVehicles.h"

namespace layout {

namespace {

constexpr const char* kNoTrain = "電車なし";

std::size_t VehicleIndex(MapVehicle vehicle)
{
    return static_cast<std::size_t>(vehicle);
}

bool ValidVehicle(MapVehicle vehicle)
{
    return VehicleIndex(vehicle) < kMapVehicles.size();
}

} // namespace

TrainHomePose DefaultTrainHome(int slot)
{
    return {static_cast<float>(4 * (slot - 1) - 10), 0.0f, 0.0f, 0.0f};
}

StoredMapVehicles::StoredMapVehicles()
{
    for (int slot = 1; slot <= kMapTrainSlots; ++slot) {
        homes_[slot - 1] = DefaultTrainHome(slot);
        trainChoices_[slot - 1] = kNoTrain;
    }
}

TrainHomePose StoredMapVehicles::TrainHome(int slot) const
{
    return ValidSlot(slot) ? homes_[slot - 1] : TrainHomePose{};
}

void StoredMapVehicles::SetTrainHome(int slot, const TrainHomePose& pose)
{
    if (ValidSlot(slot)) homes_[slot - 1] = pose;
}

math::Vec3 StoredMapVehicles::StartPosition(MapVehicle vehicle) const
{
    return ValidVehicle(vehicle) ? starts_[VehicleIndex(vehicle)] : math::Vec3{};
}

void StoredMapVehicles::SetStartPosition(MapVehicle vehicle, math::Vec3 position)
{
    if (ValidVehicle(vehicle)) starts_[VehicleIndex(vehicle)] = position;
}

std::string StoredMapVehicles::TrainChoice(int slot) const
{
    return ValidSlot(slot) ? trainChoices_[slot - 1] : std::string();
}

std::string StoredMapVehicles::VehicleChoice(MapVehicle vehicle) const
{
    return ValidVehicle(vehicle) ? vehicleChoices_[VehicleIndex(vehicle)] : std::string();
}

void StoredMapVehicles::SelectTrainChoice(int slot, std::string_view text)
{
    if (ValidSlot(slot)) trainChoices_[slot - 1] = std::string(text);
}

void StoredMapVehicles::SelectVehicleChoice(MapVehicle vehicle, std::string_view text)
{
    if (ValidVehicle(vehicle)) vehicleChoices_[VehicleIndex(vehicle)] = std::string(text);
}

} // namespace layout
