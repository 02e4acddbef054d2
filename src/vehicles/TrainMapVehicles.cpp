#include "vehicles/TrainMapVehicles.h"

#include "vehicles/CTrain.h"

namespace vehicles {

TrainMapVehicles::TrainMapVehicles(std::span<CTrain> trains, layout::MapVehicles& others)
    : ForwardingMapVehicles(others), trains_(trains)
{
}

CTrain* TrainMapVehicles::Slot(int slot) const
{
    return slot >= 1 && static_cast<std::size_t>(slot) <= trains_.size()
               ? &trains_[static_cast<std::size_t>(slot - 1)]
               : nullptr;
}

layout::TrainHomePose TrainMapVehicles::TrainHome(int slot) const
{
    const CTrain* train = Slot(slot);
    if (!train) return ForwardingMapVehicles::TrainHome(slot);
    const math::Vec3 home = train->HomePosition();
    return {home.x, home.y, home.z, train->HomeYaw()};
}

void TrainMapVehicles::SetTrainHome(int slot, const layout::TrainHomePose& pose)
{
    if (CTrain* train = Slot(slot)) train->SetHome({pose.x, pose.y, pose.z}, pose.yaw);
    ForwardingMapVehicles::SetTrainHome(slot, pose);
}

} // namespace vehicles
