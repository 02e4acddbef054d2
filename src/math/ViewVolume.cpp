#include "math/ViewVolume.h"

#include <cmath>

namespace math {

namespace {

bool Usable(const Plane& plane)
{
    const bool finite =
        std::isfinite(plane.a) && std::isfinite(plane.b) && std::isfinite(plane.c) && std::isfinite(plane.d);
    return finite && (plane.a != 0.0f || plane.b != 0.0f || plane.c != 0.0f);
}

} // namespace

ViewVolume::ViewVolume(const Viewport& viewport, const Matrix& projection, const Matrix& view)
{
    const Matrix world = Identity();
    const auto corner = [&](int right, int bottom, float depth) {
        const Vec3 screen{static_cast<float>(viewport.x + right * viewport.width),
                          static_cast<float>(viewport.y + bottom * viewport.height), depth};
        return Unproject(screen, viewport, projection, view, world);
    };
    const std::array<Vec3, 8> c{corner(0, 0, viewport.minZ), corner(1, 0, viewport.minZ),
                                corner(0, 1, viewport.minZ), corner(1, 1, viewport.minZ),
                                corner(0, 0, viewport.maxZ), corner(1, 0, viewport.maxZ),
                                corner(0, 1, viewport.maxZ), corner(1, 1, viewport.maxZ)};
    const Vec3 &n00 = c[0], &n10 = c[1], &n01 = c[2], &n11 = c[3];
    const Vec3 &f00 = c[4], &f10 = c[5], &f01 = c[6], &f11 = c[7];

    // With screen y growing downwards and an ordinary projection these orders make every normal
    // point into the volume.
    planes_ = {
        PlaneFromPoints(n00, n11, n10), // near
        PlaneFromPoints(f10, f01, f00), // far
        PlaneFromPoints(f01, n00, f00), // left
        PlaneFromPoints(n10, f11, f10), // right
        PlaneFromPoints(f00, n10, f10), // top
        PlaneFromPoints(f11, n01, f01), // bottom
    };
    // A mirrored matrix reverses the winding: turn every plane to face the middle of the volume.
    Vec3 middle;
    for (const Vec3& point : c)
        middle = middle + point * 0.125f;
    for (Plane& plane : planes_) {
        if (!Usable(plane)) {
            plane = {};
            continue;
        }
        if (PlaneDotCoord(plane, middle) < 0.0f) plane = {-plane.a, -plane.b, -plane.c, -plane.d};
    }
}

bool ViewVolume::Outside(Vec3 centre, float radius) const
{
    for (const Plane& plane : planes_) {
        if (Usable(plane) && PlaneDotCoord(plane, centre) < -radius) return true;
    }
    return false;
}

} // namespace math
