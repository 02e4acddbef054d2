// Vector helpers in single precision, computed the way the original utility library does.
#include "math/Vector.h"

#include "math/Matrix.h"

#include <cmath>

namespace math {

float Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float LengthSq(Vec3 v)
{
    return v.x * v.x + v.y * v.y + v.z * v.z;
}

float Length(Vec3 v)
{
    return std::sqrt(LengthSq(v));
}

Vec3 Normalize(Vec3 v)
{
    const float length = Length(v);
    if (length == 0.0f) return {};
    return {v.x / length, v.y / length, v.z / length};
}

Vec4 Transform(Vec3 v, const Matrix& m)
{
    return {
        m.m[0][0] * v.x + m.m[1][0] * v.y + m.m[2][0] * v.z + m.m[3][0],
        m.m[0][1] * v.x + m.m[1][1] * v.y + m.m[2][1] * v.z + m.m[3][1],
        m.m[0][2] * v.x + m.m[1][2] * v.y + m.m[2][2] * v.z + m.m[3][2],
        m.m[0][3] * v.x + m.m[1][3] * v.y + m.m[2][3] * v.z + m.m[3][3],
    };
}

Vec3 TransformCoord(Vec3 v, const Matrix& m)
{
    const Vec4 t = Transform(v, m);
    return {t.x / t.w, t.y / t.w, t.z / t.w};
}

Vec3 TransformNormal(Vec3 v, const Matrix& m)
{
    return {
        m.m[0][0] * v.x + m.m[1][0] * v.y + m.m[2][0] * v.z,
        m.m[0][1] * v.x + m.m[1][1] * v.y + m.m[2][1] * v.z,
        m.m[0][2] * v.x + m.m[1][2] * v.y + m.m[2][2] * v.z,
    };
}

} // namespace math
