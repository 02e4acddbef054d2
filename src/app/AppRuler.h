// The tool bar's "計測": while it is on, clicks in the view set the ruler's points instead of
// picking, two at a time; a third click starts again and Escape clears.
#pragma once

#include "gfx/Device.h"
#include "layout/Ruler.h"

#include <optional>
#include <string>
#include <vector>

namespace layout {
class CLayout;
}

namespace app {

class AppRuler {
  public:
    bool On() const { return on_; }
    // Turning it off clears the points.
    void SetOn(bool on);
    // A click with this ray: the first point, the second (the reading), or after both a new
    // first point. False when the ray meets neither an object nor the ground.
    bool Click(const layout::CLayout& layout, const layout::PickRay& ray);
    void Clear();

    const std::optional<math::Vec3>& First() const { return first_; }
    const std::optional<layout::RulerReading>& Reading() const { return reading_; }
    // "12.500 / 0.750 / 6.0%" once two points are set; "" before.
    std::string Text() const;
    // What the view draws: a post at each point set and the line between the two.
    std::vector<gfx::ColoredVertex> Lines() const;

  private:
    bool on_ = false;
    std::optional<math::Vec3> first_;
    std::optional<layout::RulerReading> reading_;
};

} // namespace app
