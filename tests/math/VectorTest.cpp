// Vector, plane, quaternion and screen-mapping helpers against the original library's values.
#include "math/Matrix.h"
#include "math/Plane.h"
#include "math/Quaternion.h"
#include "math/Viewport.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using math::Matrix;
using math::Quaternion;
using math::Vec3;

constexpr float kPi = std::numbers::pi_v<float>;

float Tol(float expected)
{
    return 1e-5f * std::max(1.0f, std::fabs(expected));
}

void ExpectVecNear(Vec3 expected, Vec3 actual)
{
    EXPECT_NEAR(expected.x, actual.x, Tol(expected.x));
    EXPECT_NEAR(expected.y, actual.y, Tol(expected.y));
    EXPECT_NEAR(expected.z, actual.z, Tol(expected.z));
}

void ExpectQuatNear(Quaternion expected, Quaternion actual)
{
    EXPECT_NEAR(expected.x, actual.x, Tol(expected.x));
    EXPECT_NEAR(expected.y, actual.y, Tol(expected.y));
    EXPECT_NEAR(expected.z, actual.z, Tol(expected.z));
    EXPECT_NEAR(expected.w, actual.w, Tol(expected.w));
}

Matrix FromRows(const float (&rows)[4][4])
{
    Matrix m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.m[r][c] = rows[r][c];
    return m;
}

const Matrix kM = FromRows({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}});

TEST(VectorProducts, CrossDotAndLength)
{
    EXPECT_EQ((Vec3{-18, 40, -39}), math::Cross({9, 6, 2}, {2, -3, -4}));
    // Left-handed: x × y = z still holds for the formula; the handedness is in the matrices.
    EXPECT_EQ((Vec3{0, 0, 1}), math::Cross({1, 0, 0}, {0, 1, 0}));
    EXPECT_EQ(54.0f - 18.0f - 8.0f, math::Dot({9, 6, 2}, {6, -3, -4}));
    EXPECT_EQ(7.0f, math::Length({2, 3, 6}));
    EXPECT_EQ(49.0f, math::LengthSq({2, 3, 6}));
}

TEST(VectorProducts, NormalizeKeepsZeroVectorZero)
{
    ExpectVecNear({2.0f / 7, 3.0f / 7, 6.0f / 7}, math::Normalize(Vec3{2, 3, 6}));
    const Vec3 zero = math::Normalize(Vec3{0, 0, 0});
    EXPECT_EQ((Vec3{0, 0, 0}), zero);
    EXPECT_FALSE(std::isnan(zero.x));
}

TEST(VectorTransform, WIsKeptDividedOrIgnored)
{
    EXPECT_EQ((math::Vec4{70, 88, 106, 124}), math::Transform({9, 6, 2}, kM));
    ExpectVecNear({70.0f / 124, 88.0f / 124, 106.0f / 124}, math::TransformCoord({9, 6, 2}, kM));
    EXPECT_EQ((Vec3{57, 74, 91}), math::TransformNormal({9, 6, 2}, kM));
}

TEST(PlaneHelpers, FromPointsIsNormalisedFromPointNormalIsNot)
{
    const math::Plane p = math::PlaneFromPoints({1, 2, 3}, {1, -6, -5}, {83, 74, 65});
    EXPECT_NEAR(0.085914f, p.a, 1e-6f);
    EXPECT_NEAR(-0.704492f, p.b, 1e-6f);
    EXPECT_NEAR(0.704492f, p.c, 1e-6f);
    EXPECT_NEAR(-0.790406f, p.d, 1e-6f);
    // Each of the three points lies on it.
    EXPECT_NEAR(0.0f, math::PlaneDotCoord(p, {83, 74, 65}), 1e-4f);

    EXPECT_EQ((math::Plane{17, 31, 24, -950}), math::PlaneFromPointNormal({11, 13, 15}, {17, 31, 24}));
}

TEST(PlaneHelpers, CollinearPointsGiveTheZeroPlane)
{
    const math::Plane p = math::PlaneFromPoints({1, 1, 1}, {2, 2, 2}, {4, 4, 4});
    EXPECT_EQ((math::Plane{0, 0, 0, 0}), p);
    const math::Plane same = math::PlaneFromPoints({5, 0, 1}, {5, 0, 1}, {7, 3, 2});
    EXPECT_EQ((math::Plane{0, 0, 0, 0}), same);
}

TEST(QuaternionHelpers, RotationAxisNormalisesTheAxis)
{
    ExpectQuatNear({0.067116f, 0.234905f, 0.436251f, 0.866025f},
                   math::QuaternionRotationAxis({2, 7, 13}, kPi / 3));
    ExpectQuatNear({0, 0, 0, 0.866025f}, math::QuaternionRotationAxis({0, 0, 0}, kPi / 3));
}

TEST(QuaternionHelpers, MultiplyComposesFirstThenSecond)
{
    EXPECT_EQ((Quaternion{3, 61, -32, 85}),
              math::Multiply(Quaternion{1, 2, 4, 10}, Quaternion{-3, 4, -5, 7}));

    // Same order as matrices: rotate by q1, then by q2.
    const Quaternion q1 = math::QuaternionRotationAxis({1, 2, 3}, 0.7f);
    const Quaternion q2 = math::QuaternionRotationAxis({-2, 0.5f, 1}, 1.9f);
    const Matrix viaQuaternion = math::RotationQuaternion(math::Multiply(q1, q2));
    const Matrix viaMatrices = math::RotationQuaternion(q1) * math::RotationQuaternion(q2);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(viaMatrices.m[r][c], viaQuaternion.m[r][c], 1e-5f);
}

TEST(QuaternionHelpers, NormalizeGivesUnitLengthAndZeroStaysZero)
{
    ExpectQuatNear({1.0f / 11, 2.0f / 11, 4.0f / 11, 10.0f / 11}, math::Normalize(Quaternion{1, 2, 4, 10}));
    EXPECT_EQ((Quaternion{0, 0, 0, 0}), math::Normalize(Quaternion{0, 0, 0, 0}));
}

struct ScreenCase : ::testing::Test {
    math::Viewport vp{10, 5, 800, 680, 0.2f, 0.9f};
    Matrix proj = math::PerspectiveFovLH(kPi / 4, 20.0f / 17.0f, 1.0f, 1000.0f);
    Matrix view = FromRows({{10, 5, 7, 8}, {11, 20, 16, 33}, {19, -21, 30, 43}, {2, 3, -4, -40}});
    Matrix world = FromRows({{21, 2, 3, 4}, {5, 23, 7, 8}, {-8, -7, 25, -5}, {-4, -3, -2, 27}});
    Matrix id = math::Identity();
};

TEST_F(ScreenCase, ProjectAndUnprojectMatchTheLibrary)
{
    ExpectVecNear({1135.721924f, 147.086914f, 0.153412f}, math::Project({9, 6, 2}, vp, proj, view, world));
    ExpectVecNear({4010, -1695, 1.6f}, math::Project({9, 6, 2}, vp, id, id, id));
    ExpectVecNear({-2.913411f, 1.593215f, 0.380724f}, math::Unproject({9, 6, 2}, vp, proj, view, world));
    ExpectVecNear({-1.0025f, 0.997059f, 2.571429f}, math::Unproject({9, 6, 2}, vp, id, id, id));
}

TEST_F(ScreenCase, UnprojectUndoesProject)
{
    const Vec3 point{0.3f, -0.2f, 0.5f};
    const Vec3 screen = math::Project(point, vp, proj, id, id);
    ExpectVecNear(point, math::Unproject(screen, vp, proj, id, id));
}

TEST_F(ScreenCase, SingularProductIsUsedUninverted)
{
    // A flat world matrix makes W·V·P singular: the screen point then goes through the product
    // itself, as the library's inverse leaves its output unwritten.
    const Matrix flat = math::Scaling(1, 0, 1);
    const Matrix m = flat * id * id;
    const Vec3 ndc{2.0f * (400 - 10) / 800 - 1, 1 - 2.0f * (300 - 5) / 680, (0.5f - 0.2f) / 0.7f};
    ExpectVecNear(math::TransformCoord(ndc, m), math::Unproject({400, 300, 0.5f}, vp, id, id, flat));
}

} // namespace
