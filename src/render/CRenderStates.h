// The device states the program fixes once (depth, blending, texture stage, point sprites),
// the shade, fill and cull choices of the settings dialog, and texture filtering. Stateless:
// applied after creation and again after every device reset.
#pragma once

#include "gfx/DeviceState.h"

namespace gfx {
class Device;
}
namespace ui {
class DialogModel;
}

namespace render {

class CRenderStates {
  public:
    // The fixed states in their order, with the settings dialog's checked shade (1009/1010),
    // fill (1011/1012) and cull (1022/1023/1024) radios in between. Nothing without a device.
    void ApplyFixedStates(gfx::Device* device, const ui::DialogModel& setUp) const;
    // Linear minifying and magnifying filters on sampler 0.
    void ApplyTextureFiltering(gfx::Device* device) const;

    // The radio buttons' handlers: Gouraud when gouraud is true, else flat; solid when solid is
    // true, else wire frame; the cull mode as given.
    void SetShadeMode(gfx::Device* device, bool gouraud) const;
    void SetFillMode(gfx::Device* device, bool solid) const;
    void SetCullMode(gfx::Device* device, gfx::CullMode mode) const;
};

} // namespace render
