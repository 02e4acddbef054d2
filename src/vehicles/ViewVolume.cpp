#include "vehicles/ViewVolume.h"

namespace vehicles {

ViewVolume::ViewVolume(const math::Viewport& viewport, const math::Matrix& projection,
                       const math::Matrix& view)
{
    const math::Matrix world = math::Identity();
    const float left = static_cast<float>(viewport.x);
    const float top = static_cast<float>(viewport.y);
    const float right = static_cast<float>(viewport.x + viewport.width);
    const float bottom = static_cast<float>(viewport.y + viewport.height);
    // Corners 0 to 3 at the near depth, 4 to 7 at the far depth: top left, top right, bottom
    // left, bottom right.
    std::array<math::Vec3, 8> c;
    for (int depth = 0; depth < 2; ++depth) {
        const float z = static_cast<float>(depth);
        c[depth * 4 + 0] = math::Unproject({left, top, z}, viewport, projection, view, world);
        c[depth * 4 + 1] = math::Unproject({right, top, z}, viewport, projection, view, world);
        c[depth * 4 + 2] = math::Unproject({left, bottom, z}, viewport, projection, view, world);
        c[depth * 4 + 3] = math::Unproject({right, bottom, z}, viewport, projection, view, world);
    }
    planes_ = {math::PlaneFromPoints(c[0], c[1], c[2]), math::PlaneFromPoints(c[4], c[6], c[5]),
               math::PlaneFromPoints(c[0], c[2], c[4]), math::PlaneFromPoints(c[1], c[5], c[3]),
               math::PlaneFromPoints(c[0], c[4], c[1]), math::PlaneFromPoints(c[2], c[3], c[6])};
    // Whatever the winding gave, turn every plane to face the middle of the volume.
    math::Vec3 middle;
    for (const math::Vec3& corner : c)
        middle = middle + corner * 0.125f;
    for (math::Plane& plane : planes_) {
        if (math::PlaneDotCoord(plane, middle) < 0.0f) plane = {-plane.a, -plane.b, -plane.c, -plane.d};
    }
}

bool ViewVolume::Outside(math::Vec3 centre, float radius) const
{
    for (const math::Plane& plane : planes_) {
        if (math::PlaneDotCoord(plane, centre) < -radius) return true;
    }
    return false;
}

} // namespace vehicles
