// Quaternion helpers with the original library's order of composition.
#include "math/Quaternion.h"

#include <cmath>

namespace math {

Quaternion QuaternionRotationAxis(Vec3 axis, float radians)
{
    const Vec3 n = Normalize(axis);
    const float s = std::sin(radians / 2.0f);
    return {s * n.x, s * n.y, s * n.z, std::cos(radians / 2.0f)};
}

Quaternion Multiply(const Quaternion& q1, const Quaternion& q2)
{
    // q2 ⊗ q1 (Hamilton), so that the product rotates by q1 first, like matrix products.
    return {
        q2.w * q1.x + q2.x * q1.w + q2.y * q1.z - q2.z * q1.y,
        q2.w * q1.y - q2.x * q1.z + q2.y * q1.w + q2.z * q1.x,
        q2.w * q1.z + q2.x * q1.y - q2.y * q1.x + q2.z * q1.w,
        q2.w * q1.w - q2.x * q1.x - q2.y * q1.y - q2.z * q1.z,
    };
}

Quaternion Normalize(const Quaternion& q)
{
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    // A zero quaternion has no direction; keep it zero rather than dividing into NaN.
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

} // namespace math
