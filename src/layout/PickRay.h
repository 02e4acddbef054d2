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

// A drag step meets its plane only where the result is usable: the ray crosses the plane at 1° or
// more, and the plane point lies within reach (the culling distance) of the eye, taken as the
// ray's near point. A nearly level camera otherwise throws the object to the horizon with a
// small mouse movement; the step is skipped instead and the object stays where it was.
std::optional<math::Vec3> DragPointAtHeight(const PickRay& ray, float height, float reach);
// As MeetVerticalX, with the same limits as DragPointAtHeight.
std::optional<float> DragStepAtX(const PickRay& ray, float planeX, float reach);

} // namespace layout
