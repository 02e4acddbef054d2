// A ray through a point of the render view, from the near plane to the far plane, and its
// meeting with the horizontal and vertical planes that dragging works with.
#pragma once

#include "math/Matrix.h"
#include "math/Viewport.h"

#include <optional>

namespace layout {

struct PickRay {
    math::Vec3 nearPoint;
    math::Vec3 farPoint;
    friend bool operator==(const PickRay&, const PickRay&) = default;
};

// The view point (x, y) in render-view pixels unprojected at depth 0 and at depth 1 with the
// viewport, the camera's projection and view and an identity world.
PickRay ScreenToWorldRay(float x, float y, const math::Viewport& viewport, const math::Matrix& projection,
                         const math::Matrix& view);

// Denominators smaller than this count as a ray parallel to the plane.
inline constexpr float kParallelLimit = 1e-6f;

// Where the ray's line meets the plane y = height, or nothing when it runs (nearly) level or
// the point is not finite.
std::optional<math::Vec3> MeetHeight(const PickRay& ray, float height);
// The ray parameter s at the plane x = planeX (0 at the near point, 1 at the far point), or
// nothing when the ray runs (nearly) parallel to that plane or s is not finite.
std::optional<float> MeetVerticalX(const PickRay& ray, float planeX);

} // namespace layout
