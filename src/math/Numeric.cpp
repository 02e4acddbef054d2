// Numeric conventions: truncation and angle normalising.
#include "math/Numeric.h"

#include <climits>

namespace math {

int ClampToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

int TruncatedProduct(float value, float factor, double offset)
{
    return ClampToInt(static_cast<double>(value) * static_cast<double>(factor) + offset);
}

int SpeedToKmh(float speed)
{
    return TruncatedProduct(speed, kKmhPerSpeed);
}

int RadiansToWholeDegrees(float radians)
{
    return TruncatedProduct(radians, static_cast<float>(kRadToDeg));
}

float NormalizeAngle(float degrees)
{
    if (!std::isfinite(degrees)) return 0.0f;
    // fmod is exact, so it lands where the subtraction loop lands; only the final "+ 360" of a
    // small negative angle rounds, the same way the loop's last step does.
    float r = std::fmod(degrees, 360.0f);
    if (r < 0.0f) r += 360.0f;
    if (r >= 360.0f) r = 0.0f;
    // fmod keeps the sign of a negative multiple of 360; never hand out -0, which prints as "-0.000".
    if (r == 0.0f) r = 0.0f;
    return r;
}

} // namespace math
