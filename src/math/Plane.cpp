// Plane helpers: from three points (normalised) or from a point and a normal (as given).
#include "math/Plane.h"

namespace math {

Plane PlaneFromPoints(Vec3 p1, Vec3 p2, Vec3 p3)
{
    // Collinear points give a zero normal, which Normalize keeps zero, so the plane is all zero.
    return PlaneFromPointNormal(p1, Normalize(Cross(p2 - p1, p3 - p1)));
}

Plane PlaneFromPointNormal(Vec3 point, Vec3 normal)
{
    return {normal.x, normal.y, normal.z, -Dot(point, normal)};
}

float PlaneDotCoord(const Plane& p, Vec3 v)
{
    return p.a * v.x + p.b * v.y + p.c * v.z + p.d;
}

} // namespace math
