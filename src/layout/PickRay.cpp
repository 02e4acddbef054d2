#include "layout/PickRay.h"

#include <cmath>

namespace layout {

namespace {

bool Finite(math::Vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

PickRay ScreenToWorldRay(float x, float y, const math::Viewport& viewport, const math::Matrix& projection,
                         const math::Matrix& view)
{
    const math::Matrix world = math::Identity();
    return {math::Unproject({x, y, 0.0f}, viewport, projection, view, world),
            math::Unproject({x, y, 1.0f}, viewport, projection, view, world)};
}

std::optional<math::Vec3> MeetHeight(const PickRay& ray, float height)
{
    const float denominator = ray.nearPoint.y - ray.farPoint.y;
    if (!std::isfinite(denominator) || std::fabs(denominator) < kParallelLimit) return std::nullopt;
    const float t = (ray.nearPoint.y - height) / denominator;
    const math::Vec3 point = ray.nearPoint + t * (ray.farPoint - ray.nearPoint);
    if (!std::isfinite(t) || !Finite(point)) return std::nullopt;
    return point;
}

std::optional<float> MeetVerticalX(const PickRay& ray, float planeX)
{
    const float denominator = ray.nearPoint.x - ray.farPoint.x;
    if (!std::isfinite(denominator) || std::fabs(denominator) < kParallelLimit) return std::nullopt;
    const float s = (ray.nearPoint.x - planeX) / denominator;
    if (!std::isfinite(s)) return std::nullopt;
    return s;
}

} // namespace layout
