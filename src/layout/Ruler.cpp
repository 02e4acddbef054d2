#include "layout/Ruler.h"

#include "layout/CLayout.h"
#include "layout/TrackShapes.h"
#include "math/NumberText.h"

#include <cmath>

namespace layout {

std::optional<math::Vec3> RulerPoint(const CLayout& layout, const TrackShapes& shapes, const PickRay& ray)
{
    std::optional<math::Vec3> point;
    if (const PickHit hit = layout.FindPickHit(ray); hit.index >= 0) {
        const math::Vec3 direction = math::Normalize(ray.farPoint - ray.nearPoint);
        point = ray.nearPoint + direction * hit.distance;
    } else {
        point = MeetHeight(ray, 0.0f);
    }
    if (!point) return std::nullopt;
    float nearest = kTrackEndReach;
    std::optional<math::Vec3> end;
    const auto all = layout.Placed().All();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!shapes.ShapeOf(all[i])) continue;
        for (const TrackEnd& trackEnd : shapes.Ends(static_cast<int>(i), all[i])) {
            const float distance = std::hypot(trackEnd.position.x - point->x, trackEnd.position.z - point->z);
            if (distance <= nearest) nearest = distance, end = trackEnd.position;
        }
    }
    return end ? end : point;
}

RulerReading Measure(math::Vec3 from, math::Vec3 to)
{
    RulerReading reading{from, to};
    reading.plan = std::hypot(double(to.x) - from.x, double(to.z) - from.z);
    reading.height = double(to.y) - from.y;
    reading.grade = reading.plan > 1e-9 ? reading.height / reading.plan * 100.0 : 0.0;
    return reading;
}

namespace {

// Without a sign for what rounds to nothing.
std::string Fixed(double value, int decimals)
{
    const double half = 0.5 * std::pow(10.0, -decimals);
    return math::FormatFixed(std::abs(value) < half ? 0.0 : value, decimals);
}

} // namespace

std::string RulerText(const RulerReading& reading)
{
    return Fixed(reading.plan, 3) + " / " + Fixed(reading.height, 3) + " / " + Fixed(reading.grade, 1) + "%";
}

} // namespace layout
