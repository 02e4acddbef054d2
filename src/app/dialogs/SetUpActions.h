// Effects of the settings dialog's handlers outside the dialog itself: render states on the
// current device, the camera's field of view, lights, the object preview, the vehicles'
// choices and home poses, the key labels and the object dialog. The application forwards each
// to the subsystem that owns it; every one does nothing by default, so a test overrides only
// what it watches.
#pragma once

#include "gfx/DeviceState.h"

namespace app {

// The three vehicles besides the trains.
enum class Vehicle { Plane, Helicopter, Car };

class SetUpActions {
  public:
    virtual ~SetUpActions() = default;

    virtual void SetShadeMode(gfx::ShadeMode) {}
    virtual void SetFillMode(gfx::FillMode) {}
    virtual void SetCullMode(gfx::CullMode) {}
    // Degrees, from the "画角" slider.
    virtual void SetFieldOfView(float) {}
    virtual void ApplyLights() {}
    virtual void RenderPreview() {}
    virtual void SelectTrain(int /*slot*/, int /*index*/) {}
    virtual void SelectVehicle(Vehicle, int /*index*/) {}
    virtual void StoreTrainHome(int /*slot*/) {}
    virtual void StoreVehicleHome(Vehicle) {}
    // The key-label style changed: labels loaded again, key column rewritten.
    virtual void ReloadKeyLabels() {}
    // F4: show the object dialog when hidden, hide it when shown.
    virtual void ToggleObjectDialog() {}
};

} // namespace app
