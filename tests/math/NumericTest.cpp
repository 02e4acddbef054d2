// Numeric conventions: the original's double-evaluated truncations, angle normalising that
// cannot hang, and the guards for numbers from outside.
#include "math/Numeric.h"
#include "math/ValueLimits.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Truncation, SingleConstantTimesValueIsEvaluatedInDouble)
{
    // Background blue from the light slider: p × 0.64f + 63.
    EXPECT_EQ(63, math::TruncatedProduct(0, 0.64f, 63));
    EXPECT_EQ(94, math::TruncatedProduct(50, 0.64f, 63));
    EXPECT_EQ(126, math::TruncatedProduct(100, 0.64f, 63));
    // Speed read-outs truncate toward zero: −0.02f is just above −0.02.
    EXPECT_EQ(-3, math::SpeedToKmh(-0.02f));
    EXPECT_EQ(-5, math::SpeedToKmh(-0.025f));
    EXPECT_EQ(20, math::SpeedToKmh(0.1f));
    EXPECT_EQ(0, math::SpeedToKmh(-0.001f));
    // A heading facing +x shows 89, not 90.
    EXPECT_EQ(89, math::RadiansToWholeDegrees(std::numbers::pi_v<float> / 2));
    EXPECT_EQ(89, math::RadiansToWholeDegrees(std::atan2(1.0f, 0.0f)));
    EXPECT_EQ(-89, math::RadiansToWholeDegrees(-std::numbers::pi_v<float> / 2));
}

TEST(Truncation, TheDocumentedConstants)
{
    EXPECT_EQ(0.017453292f, math::kDegToRad);
    EXPECT_EQ(0.017453293005625408, math::kTrainDegToRad);
    // The train constant is float(pi) / 180 in double.
    EXPECT_EQ(static_cast<double>(std::numbers::pi_v<float>) / 180.0, math::kTrainDegToRad);
    EXPECT_EQ(57.2957763671875, math::kRadToDeg);
}

TEST(Truncation, OutOfRangeAndNaNNeverReachTheIntConversion)
{
    EXPECT_EQ(0, math::ClampToInt(std::nan("")));
    EXPECT_EQ(INT_MAX, math::ClampToInt(1e20));
    EXPECT_EQ(INT_MIN, math::ClampToInt(-1e20));
    EXPECT_EQ(INT_MAX, math::ClampToInt(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(-2, math::ClampToInt(-2.9));
    EXPECT_EQ(INT_MAX, math::SpeedToKmh(1e30f));
    EXPECT_EQ(INT_MIN, math::SpeedToKmh(-kInf));
    EXPECT_EQ(0, math::SpeedToKmh(kNaN));
}

TEST(FiniteGuard, NonFiniteValuesGiveTheFallback)
{
    EXPECT_EQ(1.5f, math::FiniteOr(1.5f, 7.0f));
    EXPECT_EQ(-0.0f, math::FiniteOr(-0.0f, 7.0f));
    EXPECT_EQ(7.0f, math::FiniteOr(kNaN, 7.0f));
    EXPECT_EQ(7.0f, math::FiniteOr(kInf, 7.0f));
    EXPECT_EQ(7.0f, math::FiniteOr(-kInf, 7.0f));
    EXPECT_EQ(0.0, math::FiniteOr(std::numeric_limits<double>::infinity(), 0.0));
}

// The step-by-step rule the program has always used; hangs from about 1e10 up.
float LoopNormalize(float a)
{
    while (a >= 360.0f)
        a -= 360.0f;
    while (a < 0.0f)
        a += 360.0f;
    return a;
}

TEST(AngleNormalising, MatchesTheStepRuleOnOrdinaryAngles)
{
    for (float a : {725.3f, -10.0f, 360.0f, 0.0f, 359.9f, 720.0f, -360.0f, -725.3f, 12345.678f, -0.5f})
        EXPECT_EQ(LoopNormalize(a), math::NormalizeAngle(a)) << a;
    EXPECT_EQ(350.0f, math::NormalizeAngle(-10.0f));
    EXPECT_EQ(0.0f, math::NormalizeAngle(360.0f));
}

TEST(AngleNormalising, MatchesTheStepRuleEverywhereItFinishes)
{
    std::vector<float> angles;
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> wide(-1e6f, 1e6f);
    std::uniform_real_distribution<float> narrow(-1000.0f, 1000.0f);
    for (int i = 0; i < 10000; ++i)
        angles.push_back(wide(rng));
    for (int i = 0; i < 10000; ++i)
        angles.push_back(narrow(rng));
    // Multiples of 360 and their neighbours, where rounding would show first.
    for (int k = -2800; k <= 2800; k += 7) {
        const float m = 360.0f * static_cast<float>(k);
        angles.push_back(m);
        angles.push_back(std::nextafter(m, kInf));
        angles.push_back(std::nextafter(m, -kInf));
    }
    for (float tiny : {1e-3f, 1e-6f, 1e-20f, 1e-40f}) {
        angles.push_back(tiny);
        angles.push_back(-tiny);
    }

    int differences = 0;
    for (float a : angles) {
        const float loop = LoopNormalize(a);
        const float fast = math::NormalizeAngle(a);
        // The loop can only end on 360 itself, for a tiny negative angle; we give 0 there.
        const float expected = loop == 360.0f ? 0.0f : loop;
        if (expected != fast) ++differences;
        EXPECT_EQ(expected, fast) << "angle " << a;
        ASSERT_GE(fast, 0.0f);
        ASSERT_LT(fast, 360.0f);
        if (differences > 10) FAIL() << "too many differences";
    }
}

TEST(AngleNormalising, HugeAndNonFiniteAnglesReturnAtOnce)
{
    for (float a : {1e10f, -1e10f, 1e30f, -1e30f, std::numeric_limits<float>::max(), kInf, -kInf, kNaN}) {
        const float r = math::NormalizeAngle(a);
        EXPECT_GE(r, 0.0f) << a;
        EXPECT_LT(r, 360.0f) << a;
    }
    EXPECT_EQ(0.0f, math::NormalizeAngle(kInf));
    EXPECT_EQ(0.0f, math::NormalizeAngle(kNaN));
}

TEST(AngleNormalising, EdgesGivePlainZero)
{
    // −1e-8 + 360 rounds to 360 in float; the result must still be below 360.
    EXPECT_EQ(0.0f, math::NormalizeAngle(-1e-8f));
    // Negative multiples of 360 must not come out as −0, which prints as "-0.000".
    EXPECT_FALSE(std::signbit(math::NormalizeAngle(-720.0f)));
    EXPECT_FALSE(std::signbit(math::NormalizeAngle(-0.0f)));
}

TEST(ValueLimits, EveryKindHasOneFiniteRangeAndOnlyValuesBeyondItAreClampedAndReported)
{
    for (const math::ValueRange& range : math::kValueRanges) {
        EXPECT_EQ(&math::RangeOf(range.kind), &range);
        EXPECT_TRUE(std::isfinite(range.low) && std::isfinite(range.high) && range.low < 0 && range.high > 0);
        // Products of two values of a range stay finite in float.
        EXPECT_TRUE(std::isfinite(range.high * range.high));
    }
    // The probe range is the one the car reader has always used.
    EXPECT_EQ(math::RangeOf(math::ValueKind::Probe).high, 10000.0f);

    testing::internal::CaptureStderr();
    EXPECT_EQ(math::ClampRead(12.5f, math::ValueKind::Scale, "a.ini 拡大率"), 12.5f);
    EXPECT_EQ(math::ClampRead(-1000.0f, math::ValueKind::Scale, "a.ini 拡大率"), -1000.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    EXPECT_EQ(math::ClampRead(1e30f, math::ValueKind::Position, "map file"), 1e6f);
    EXPECT_EQ(math::ClampRead(-kInf, math::ValueKind::Probe, "car.ini 判定位置前方"), -1e4f);
    EXPECT_EQ(math::ClampRead(-1e300, math::ValueKind::Angle, "train.txt"), -1e6);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("map file: position 1e+30"), std::string::npos) << said;
    EXPECT_NE(said.find("car.ini 判定位置前方: probe distance"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 3);

    EXPECT_TRUE(std::isnan(math::ClampRead(kNaN, math::ValueKind::Offset, "x")));
}

} // namespace
