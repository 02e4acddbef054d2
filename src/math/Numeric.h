// Numeric conventions shared by the whole program: the angle factors, the original's way of
// truncating products, angle normalising and guards for numbers that come from outside.
#pragma once

#include <cmath>
#include <concepts>

namespace math {

// Degrees to radians for placed objects, the camera and the vehicles (a float, as the original).
inline constexpr float kDegToRad = 0.017453292f;
// Degrees to radians for train files only: the double value of float(pi) / 180.
inline constexpr double kTrainDegToRad = 0.017453293005625408;
// Radians to degrees for every read-out.
inline constexpr double kRadToDeg = 57.2957763671875;
// Speed (world units per frame) to the "km/h" shown on screen.
inline constexpr float kKmhPerSpeed = 200.0f;

// Converts to int with truncation toward zero. NaN gives 0 and values beyond the int range give
// the nearest int limit, because the plain conversion is undefined there.
int ClampToInt(double value);

// trunc(value × factor + offset) evaluated in double, as the original's compiler did with its
// single-precision constants: 50 × 0.64f + 63 gives 94 here where float arithmetic gives 95.
// The factor is a float on purpose: pass 0.64f, not the double 0.64.
int TruncatedProduct(float value, float factor, double offset = 0.0);

// Speed in world units per frame as the whole "km/h" number shown (−0.02 gives −3).
int SpeedToKmh(float speed);

// Radians as the whole degrees shown (a yaw of float(pi/2) gives 89).
int RadiansToWholeDegrees(float radians);

// The angle in [0, 360) without looping: the same result as repeatedly subtracting or adding
// 360 wherever that loop finishes, 0 where it would hang or land on 360, and 0 for NaN or inf.
float NormalizeAngle(float degrees);

// The value if it is finite, otherwise the fallback. For every number read from a file or typed.
template <std::floating_point T> constexpr T FiniteOr(T value, T fallback)
{
    return std::isfinite(value) ? value : fallback;
}

} // namespace math
