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

std::vector<gfx::ColoredVertex> AppRuler::Lines() const
{
    constexpr std::uint32_t kColour = 0xFF00E0FF; // cyan: apart from the check markers
    constexpr float kPost = 3.0f;
    std::vector<gfx::ColoredVertex> lines;
    const auto post = [&](const math::Vec3& at) {
        lines.push_back({at, kColour});
        lines.push_back({{at.x, at.y + kPost, at.z}, kColour});
    };
    if (first_) post(*first_);
    if (reading_) {
        post(reading_->to);
        const math::Vec3 lift{0, 0.05f, 0};
        lines.push_back({reading_->from + lift, kColour});
        lines.push_back({reading_->to + lift, kColour});
    }
    return lines;
}

} // namespace app
