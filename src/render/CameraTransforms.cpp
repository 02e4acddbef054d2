#include "render/CameraTransforms.h"

#include "camera/CCamera.h"
#include "gfx/Device.h"

namespace render {

void SetViewProjection(gfx::Device* device, const camera::CCamera& camera)
{
    if (!device) return;
    device->SetTransform(gfx::TransformKind::View, camera.View());
    device->SetTransform(gfx::TransformKind::Projection, camera.Projection());
}

void SetPreviewViewProjection(gfx::Device* device, camera::CCamera& camera, const ui::DialogModel& setUp,
                              math::Vec3 centre, float radius)
{
    if (!device) return;
    const math::Viewport& viewport = device->State().viewport;
    camera.BuildPreviewViewProjection(setUp, centre, radius, viewport.width, viewport.height);
    device->SetTransform(gfx::TransformKind::View, camera.PreviewView());
    device->SetTransform(gfx::TransformKind::Projection, camera.PreviewProjection());
}

} // namespace render
