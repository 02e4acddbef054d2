// The six planes of the camera's view volume, built from the corners of the viewport at its
// near and far depth, for culling placed objects and vehicles by their bounding spheres.
#pragma once

#include "math/Matrix.h"
#include "math/Plane.h"
#include "math/Vector.h"
#include "math/Viewport.h"

#include <array>

namespace math {

class ViewVolume {
  public:
    // The viewport's corners at minZ and maxZ turned into world points with these matrices and
    // an identity world.
    ViewVolume(const Viewport& viewport, const Matrix& projection, const Matrix& view);

    // The centre lies farther than the radius beyond one of the planes; touching counts as in.
    // Degenerate or non-finite planes (an empty viewport, a singular or broken matrix) never cull.
    bool Outside(Vec3 centre, float radius) const;

    // Normalised, facing into the volume: near, far, left, right, top, bottom. A plane that
    // cannot be built is all zero.
    const std::array<Plane, 6>& Planes() const { return planes_; }

  private:
    std::array<Plane, 6> planes_{};
};

} // namespace math
