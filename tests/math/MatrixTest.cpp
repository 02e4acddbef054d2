// Matrix helpers checked number by number against the reference values of the original library.
#include "math/Matrix.h"

#include "math/Quaternion.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using math::Matrix;
using math::Vec3;

constexpr float kPi = std::numbers::pi_v<float>;

Matrix FromRows(std::initializer_list<std::initializer_list<float>> rows)
{
    Matrix m;
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (float v : row)
            m.m[r][c++] = v;
        ++r;
    }
    return m;
}

// Relative tolerance with an absolute floor, for single-precision results.
void ExpectMatrixNear(const Matrix& expected, const Matrix& actual, float tolerance = 1e-5f)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(expected.m[r][c], actual.m[r][c],
                        tolerance * std::max(1.0f, std::fabs(expected.m[r][c])))
                << "element [" << r << "][" << c << "]";
}

// Only the rotation part of `actual` is checked, the rest must be identity.
void ExpectRotationRows(std::initializer_list<std::initializer_list<float>> rows, const Matrix& actual)
{
    Matrix expected = math::Identity();
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (float v : row)
            expected.m[r][c++] = v;
        ++r;
    }
    ExpectMatrixNear(expected, actual);
}

const Matrix kA = FromRows({{10, 5, 7, 8}, {11, 20, 16, 33}, {19, -21, 30, 43}, {2, 3, -4, -40}});
const Matrix kB = FromRows({{1, 5, -8, -4}, {2, 6, -7, -3}, {3, 7, -6, -2}, {4, 8, -5, -1}});
const Matrix kAB =
    FromRows({{73, 193, -197, -77}, {231, 551, -489, -169}, {239, 523, -400, -116}, {-164, -320, 187, 31}});

TEST(MatrixProduct, RowsTimesColumnsAndOperandsMayBeTheTarget)
{
    EXPECT_EQ(kAB, math::Multiply(kA, kB));
    EXPECT_EQ(kAB, kA * kB);

    Matrix a = kA;
    a = math::Multiply(a, kB);
    EXPECT_EQ(kAB, a);
    Matrix b = kB;
    b = math::Multiply(kA, b);
    EXPECT_EQ(kAB, b);
}

TEST(MatrixProduct, RowVectorsApplyTheLeftMatrixFirst)
{
    // Scale then move: (1,1,1) scaled by 2 is (2,2,2), moved by (10,0,0) is (12,2,2).
    const Vec3 p = math::TransformCoord({1, 1, 1}, math::Scaling(2, 2, 2) * math::Translation(10, 0, 0));
    EXPECT_EQ((Vec3{12, 2, 2}), p);
    const Vec3 q = math::TransformCoord({1, 1, 1}, math::Translation(10, 0, 0) * math::Scaling(2, 2, 2));
    EXPECT_EQ((Vec3{22, 2, 2}), q);
}

TEST(MatrixRotation, AxisRotationsMatchTheLibrary)
{
    const float h = std::sqrt(3.0f) / 2.0f;
    ExpectRotationRows({{1, 0, 0}, {0, 0.5f, h}, {0, -h, 0.5f}}, math::RotationX(kPi / 3));
    ExpectRotationRows({{0.5f, 0, -h}, {0, 1, 0}, {h, 0, 0.5f}}, math::RotationY(kPi / 3));
    ExpectRotationRows({{0.5f, h, 0}, {-h, 0.5f, 0}, {0, 0, 1}}, math::RotationZ(kPi / 3));

    // Left-handed, yaw about y: +x turns towards −z, and yaw 0 faces +z.
    const Vec3 x = math::TransformNormal({1, 0, 0}, math::RotationY(kPi / 2));
    EXPECT_NEAR(0.0f, x.x, 1e-6f);
    EXPECT_NEAR(-1.0f, x.z, 1e-6f);
}

TEST(MatrixRotation, ArbitraryAxisIsNormalisedAndZeroAxisScalesByCosine)
{
    ExpectRotationRows({{0.50847453f, 0.76380461f, 0.39756277f},
                        {-0.81465209f, 0.57627118f, -0.065219201f},
                        {-0.27891868f, -0.29071301f, 0.91525424f}},
                       math::RotationAxis({1, -3, 7}, kPi / 3));

    const float c = std::cos(kPi / 3);
    ExpectRotationRows({{c, 0, 0}, {0, c, 0}, {0, 0, c}}, math::RotationAxis({0, 0, 0}, kPi / 3));
}

TEST(MatrixRotation, QuaternionIsUsedWithoutNormalising)
{
    ExpectRotationRows({{-129, -162, -74}, {146, -99, -78}, {102, -34, -33}},
                       math::RotationQuaternion({1, -4, 7, -11}));
}

TEST(MatrixInverse, ProductWithInverseIsIdentity)
{
    Matrix inv;
    ASSERT_TRUE(math::Inverse(kA, inv));
    ExpectMatrixNear(math::Identity(), kA * inv);
    ExpectMatrixNear(math::Identity(), inv * kA);

    Matrix inPlace = kA;
    ASSERT_TRUE(math::Inverse(inPlace, inPlace));
    EXPECT_EQ(inv, inPlace);
}

TEST(MatrixInverse, SingularMatrixLeavesTheOutputAlone)
{
    const Matrix singular = FromRows({{1, 2, 3, 4}, {2, 4, 6, 8}, {0, 1, 0, 0}, {0, 0, 0, 1}});
    Matrix out = kB;
    EXPECT_FALSE(math::Inverse(singular, out));
    EXPECT_EQ(kB, out);
}

TEST(MatrixCamera, LookAtLeftHanded)
{
    ExpectMatrixNear(FromRows({{-0.82246518f, -0.40948939f, -0.39480308f, 0},
                               {-0.55585691f, 0.43128574f, 0.71064550f, 0},
                               {-0.12072885f, 0.80393475f, -0.58233452f, 0},
                               {4.4946337f, 0.80971903f, 10.060076f, 1}}),
                     math::LookAtLH({8, -5, 5.75f}, {-2, 13, -9}, {1, -3, 7}));

    // Looking from the origin along +z with y up is the identity view.
    ExpectMatrixNear(math::Identity(), math::LookAtLH({0, 0, 0}, {0, 0, 1}, {0, 1, 0}));
}

TEST(MatrixCamera, PerspectiveAndOrthographicProjections)
{
    Matrix p;
    p.m[0][0] = 13.288858f;
    p.m[1][1] = 9.9666444f;
    p.m[2][2] = 0.78378378f;
    p.m[2][3] = 1.0f;
    p.m[3][2] = 1.8810811f;
    ExpectMatrixNear(p, math::PerspectiveFovLH(0.2f, 0.75f, -2.4f, 8.7f));

    Matrix o = math::Identity();
    o.m[0][0] = 0.8f;
    o.m[1][1] = 0.27027027f;
    o.m[2][2] = -0.15151515f;
    o.m[3][2] = -0.48484848f;
    ExpectMatrixNear(o, math::OrthoLH(2.5f, 7.4f, -3.2f, -9.8f));
}

TEST(MatrixCamera, PerspectiveMapsNearAndFarToZeroAndOne)
{
    const Matrix p = math::PerspectiveFovLH(kPi / 4, 4.0f / 3.0f, 1.0f, 1000.0f);
    EXPECT_NEAR(0.0f, math::TransformCoord({0, 0, 1}, p).z, 1e-6f);
    EXPECT_NEAR(1.0f, math::TransformCoord({0, 0, 1000}, p).z, 1e-6f);
    // w is the view depth.
    EXPECT_FLOAT_EQ(250.0f, math::Transform({3, 4, 250}, p).w);
}

} // namespace
