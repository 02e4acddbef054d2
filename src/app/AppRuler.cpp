#include "app/AppRuler.h"

#include "layout/TrackShapes.h"

namespace app {

void AppRuler::SetOn(bool on)
{
    on_ = on;
    if (!on) Clear();
}

bool AppRuler::Click(const layout::CLayout& layout, const layout::PickRay& ray)
{
    const layout::TrackShapes shapes(layout);
    const std::optional<math::Vec3> point = layout::RulerPoint(layout, shapes, ray);
    if (!point) return false;
    if (!first_ || reading_) {
        first_ = point;
        reading_.reset();
    } else {
        reading_ = layout::Measure(*first_, *point);
    }
    return true;
}

void AppRuler::Clear()
{
    first_.reset();
    reading_.reset();
}

std::string AppRuler::Text() const
{
    return reading_ ? layout::RulerText(*reading_) : std::string();
}

} // namespace app
