// Mapping between world space and the screen through World·View·Proj and a viewport.
#include "math/Viewport.h"

namespace math {

Vec3 Unproject(Vec3 screen, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world)
{
    Matrix m = world * view * proj;
    // A singular product stays as it is: the library's inverse leaves its output unwritten then.
    Inverse(m, m);
    const Vec3 ndc{
        2.0f * (screen.x - static_cast<float>(vp.x)) / static_cast<float>(vp.width) - 1.0f,
        1.0f - 2.0f * (screen.y - static_cast<float>(vp.y)) / static_cast<float>(vp.height),
        (screen.z - vp.minZ) / (vp.maxZ - vp.minZ),
    };
    return TransformCoord(ndc, m);
}

Vec3 Project(Vec3 v, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world)
{
    const Vec3 ndc = TransformCoord(v, world * view * proj);
    return {
        static_cast<float>(vp.x) + (1.0f + ndc.x) * static_cast<float>(vp.width) / 2.0f,
        static_cast<float>(vp.y) + (1.0f - ndc.y) * static_cast<float>(vp.height) / 2.0f,
        vp.minZ + ndc.z * (vp.maxZ - vp.minZ),
    };
}

} // namespace math
