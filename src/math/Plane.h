// Planes a·x + b·y + c·z + d = 0.
#pragma once

#include "math/Vector.h"

namespace math {

struct Plane {
    float a = 0, b = 0, c = 0, d = 0;
    friend bool operator==(const Plane&, const Plane&) = default;
};

// Normalised; collinear points give (0, 0, 0, 0).
Plane PlaneFromPoints(Vec3 p1, Vec3 p2, Vec3 p3);
// Not normalised.
Plane PlaneFromPointNormal(Vec3 point, Vec3 normal);
float PlaneDotCoord(const Plane& p, Vec3 v);

}  // namespace math
