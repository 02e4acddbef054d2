// Vectors with the conventions of the original utility library: row vectors, left-handed, y up.
#pragma once

namespace math {

struct Vec2 {
    float x = 0, y = 0;
};

struct Vec3 {
    float x = 0, y = 0, z = 0;

    friend Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
    friend Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
    friend Vec3 operator*(float s, Vec3 a) { return {a.x * s, a.y * s, a.z * s}; }
    friend bool operator==(Vec3 a, Vec3 b) = default;
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
    friend bool operator==(Vec4 a, Vec4 b) = default;
};

struct Matrix;

float Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
float Length(Vec3 v);
float LengthSq(Vec3 v);
// A zero vector stays zero.
Vec3 Normalize(Vec3 v);

// (x, y, z, 1) · M, w kept as computed.
Vec4 Transform(Vec3 v, const Matrix& m);
// (x, y, z, 1) · M divided by the resulting w (no check for w = 0, as the original).
Vec3 TransformCoord(Vec3 v, const Matrix& m);
// Only the 3×3 part of M.
Vec3 TransformNormal(Vec3 v, const Matrix& m);

}  // namespace math
