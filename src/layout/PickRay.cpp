#include "layout/PickRay.h"

#include <cmath>

namespace layout {

namespace {

bool Finite(math::Vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// sin 1°: rays closer than this to a drag plane give no drag step.
constexpr float kMinDragSine = 0.017452406f;

// Whether the ray's direction leaves the plane with the given normal component (x or y of
// far - near) by at least 1°.
bool CrossesSteeply(const PickRay& ray, float normalComponent)
{
    const float length = math::Length(ray.farPoint - ray.nearPoint);
    return std::isfinite(length) && length > 0.0f && std::fabs(normalComponent) >= kMinDragSine * length;
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

std::optional<math::Vec3> DragPointAtHeight(const PickRay& ray, float height, float reach)
{
    if (!CrossesSteeply(ray, ray.farPoint.y - ray.nearPoint.y)) return std::nullopt;
    const std::optional<math::Vec3> point = MeetHeight(ray, height);
    if (!point || !(math::Length(*point - ray.nearPoint) <= reach)) return std::nullopt;
    return point;
}

std::optional<float> DragStepAtX(const PickRay& ray, float planeX, float reach)
{
    if (!CrossesSteeply(ray, ray.farPoint.x - ray.nearPoint.x)) return std::nullopt;
    const std::optional<float> s = MeetVerticalX(ray, planeX);
    if (!s || !(std::fabs(*s) * math::Length(ray.farPoint - ray.nearPoint) <= reach)) return std::nullopt;
    return s;
}

} // namespace layout
