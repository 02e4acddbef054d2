// Screen mapping: viewport rectangle with its depth range, project and unproject.
#pragma once

#include "math/Matrix.h"

namespace math {

struct Viewport {
    int x = 0, y = 0;
    int width = 0, height = 0;
    float minZ = 0, maxZ = 1;
};

// Screen point (pixel centres at integer coordinates) back to world space through W·V·P.
// A singular product is used uninverted, as the original does.
Vec3 Unproject(Vec3 screen, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world);
Vec3 Project(Vec3 v, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world);

}  // namespace math
