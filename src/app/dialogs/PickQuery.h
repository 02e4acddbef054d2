// A point of the render view together with the camera it was seen through: what picking and
// dragging need to turn the mouse into a ray, without reaching for the camera themselves.
#pragma once

#include "math/Matrix.h"
#include "math/Viewport.h"

namespace app {

struct PickQuery {
    float x = 0; // render-view pixels
    float y = 0;
    math::Matrix view = math::Identity();
    math::Matrix projection = math::Identity();
    math::Viewport viewport{};
};

// Distance that picking answers with when nothing was hit.
inline constexpr float kNoHit = 100000.0f;

} // namespace app
