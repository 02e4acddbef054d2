// The six planes of the camera's view volume, built from the corners of the viewport at the
// near and the far depth, for culling vehicles by their bounding spheres.
#pragma once

#include "math/Matrix.h"
#include "math/Plane.h"
#include "math/Viewport.h"

#include <array>

namespace vehicles {

class ViewVolume {
  public:
    // The viewport's corners turned into world points with these matrices and an identity world.
    ViewVolume(const math::Viewport& viewport, const math::Matrix& projection, const math::Matrix& view);

    // The sphere lies more than its radius beyond one of the planes. Degenerate or non-finite
    // planes never cull.
    bool Outside(math::Vec3 centre, float radius) const;

    // Normalised, facing into the volume: near, far, left, right, top, bottom.
    const std::array<math::Plane, 6>& Planes() const { return planes_; }

  private:
    std::array<math::Plane, 6> planes_{};
};

} // namespace vehicles
