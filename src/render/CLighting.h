// The four directional lights of the scene, their brightness following the settings dialog's
// "光量" slider (1077). Stateless: applied after creation, after every device reset and
// whenever the slider moves.
#pragma once

#include "gfx/DeviceState.h"

namespace gfx {
class Device;
}
namespace ui {
class DialogModel;
}

namespace render {

class CLighting {
  public:
    // Sets and enables lights 0 to 3. Nothing without a device.
    void ApplyLights(gfx::Device* device, const ui::DialogModel& setUp) const;

    // Light i (0 to 3) for a slider position of 0 to 100: white at position × 0.01, the fixed
    // direction normalised.
    static gfx::Light MakeLight(int index, int lightPosition);
};

} // namespace render
