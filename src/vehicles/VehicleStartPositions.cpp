#include "vehicles/VehicleStartPositions.h"

#include "vehicles/CCar.h"
#include "vehicles/CHelicopter.h"
#include "vehicles/CPlane.h"

namespace vehicles {

VehicleStartPositions::VehicleStartPositions(CPlane& plane, CHelicopter& helicopter, CCar& car,
                                             layout::MapVehicles& others)
    : ForwardingMapVehicles(others), plane_(plane), helicopter_(helicopter), car_(car)
{
}

math::Vec3 VehicleStartPositions::StartPosition(layout::MapVehicle vehicle) const
{
    switch (vehicle) {
    case layout::MapVehicle::Plane:
        return plane_.Home();
    case layout::MapVehicle::Helicopter:
        return helicopter_.Home();
    case layout::MapVehicle::Car:
        return car_.Home();
    }
    return ForwardingMapVehicles::StartPosition(vehicle);
}

void VehicleStartPositions::SetStartPosition(layout::MapVehicle vehicle, math::Vec3 position)
{
    ForwardingMapVehicles::SetStartPosition(vehicle, position);
    switch (vehicle) {
    case layout::MapVehicle::Plane:
        plane_.SetHome(position);
        break;
    case layout::MapVehicle::Helicopter:
        helicopter_.SetHome(position);
        break;
    case layout::MapVehicle::Car:
        car_.SetHome(position);
        break;
    }
}

} // namespace vehicles
