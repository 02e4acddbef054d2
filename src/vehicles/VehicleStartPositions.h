// The road car's, the aeroplane's and the helicopter's share of a map data file: a map loaded
// through this object sets their home positions (where the next model load puts them), and a
// map saved through it writes the homes they hold now (after "原点登録", say). Everything else a
// map holds about vehicles passes through to the object it wraps.
#pragma once

#include "layout/MapFileVehicles.h"

namespace vehicles {

class CCar;
class CHelicopter;
class CPlane;

class VehicleStartPositions final : public layout::ForwardingMapVehicles {
  public:
    // All four must outlive this object.
    VehicleStartPositions(CPlane& plane, CHelicopter& helicopter, CCar& car, layout::MapVehicles& others);

    math::Vec3 StartPosition(layout::MapVehicle vehicle) const override;
    // Also tells the wrapped object, so that it stays in step.
    void SetStartPosition(layout::MapVehicle vehicle, math::Vec3 position) override;

  private:
    CPlane& plane_;
    CHelicopter& helicopter_;
    CCar& car_;
};

} // namespace vehicles
