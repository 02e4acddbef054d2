// Puts the camera's matrices on the device: the main view before anything of a frame is drawn,
// and the preview camera inside the object dialog's preview.
#pragma once

#include "math/Vector.h"

namespace camera {
class CCamera;
}
namespace gfx {
class Device;
}
namespace ui {
class DialogModel;
}

namespace render {

// Sets the camera's view and projection (built by the pass) on the device. Nothing without a
// device.
void SetViewProjection(gfx::Device* device, const camera::CCamera& camera);

// Builds the preview camera for a bounding sphere and the device's current viewport (the preview
// target's) and sets both. Nothing without a device.
void SetPreviewViewProjection(gfx::Device* device, camera::CCamera& camera, const ui::DialogModel& setUp,
                              math::Vec3 centre, float radius);

} // namespace render
