// 4×4 matrices for row vectors: v' = v · M, translation in row 3, World·View·Proj order.
#pragma once

#include "math/Vector.h"

namespace math {

struct Quaternion;

struct Matrix {
    float m[4][4] = {};

    float& operator()(int r, int c) { return m[r][c]; }
    float operator()(int r, int c) const { return m[r][c]; }
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

Matrix Identity();
Matrix Translation(float x, float y, float z);
Matrix Scaling(float sx, float sy, float sz);
Matrix RotationX(float radians);
Matrix RotationY(float radians);
Matrix RotationZ(float radians);
// The axis is normalised; a zero axis gives diag(cos a, cos a, cos a, 1).
Matrix RotationAxis(Vec3 axis, float radians);
// Not normalised first, as the original.
Matrix RotationQuaternion(const Quaternion& q);
// a · b: applies a first, then b.
Matrix Multiply(const Matrix& a, const Matrix& b);
inline Matrix operator*(const Matrix& a, const Matrix& b) { return Multiply(a, b); }
// False (and out untouched) when m is singular.
bool Inverse(const Matrix& m, Matrix& out);
Matrix Transpose(const Matrix& m);

Matrix LookAtLH(Vec3 eye, Vec3 at, Vec3 up);
Matrix PerspectiveFovLH(float fovy, float aspect, float zn, float zf);
Matrix OrthoLH(float w, float h, float zn, float zf);

}  // namespace math
