// Quaternions (x, y, z, w) as the original utility library uses them.
#pragma once

#include "math/Vector.h"

namespace math {

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
    friend bool operator==(const Quaternion&, const Quaternion&) = default;
};

// Axis normalised; a zero axis gives (0, 0, 0, cos(a/2)).
Quaternion QuaternionRotationAxis(Vec3 axis, float radians);
// "q1 then q2": RotationQuaternion(Multiply(q1, q2)) == RotationQuaternion(q1) · RotationQuaternion(q2).
Quaternion Multiply(const Quaternion& q1, const Quaternion& q2);
Quaternion Normalize(const Quaternion& q);

}  // namespace math
