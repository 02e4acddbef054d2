#include "model/MeshBounds.h"

#include "math/Matrix.h"

#include <algorithm>

namespace model {

MeshBox ComputeBox(const Mesh& mesh, float turnAngle)
{
    if (mesh.positions.empty()) return {};
    math::Vec3 lo = mesh.positions[0];
    math::Vec3 hi = lo;
    for (const math::Vec3& p : mesh.positions) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    if (turnAngle != 0.0f) {
        const math::Matrix turn = math::RotationY(turnAngle);
        lo = math::TransformCoord(lo, turn);
        hi = math::TransformCoord(hi, turn);
    }
    // The smaller of the two corner values is the minimum; on a tie the second corner's.
    const auto order = [](float a, float b, float& mn, float& mx) {
        if (a < b) {
            mn = a;
            mx = b;
        } else {
            mn = b;
            mx = a;
        }
    };
    MeshBox box;
    order(lo.x, hi.x, box.minX, box.maxX);
    order(lo.y, hi.y, box.minY, box.maxY);
    order(lo.z, hi.z, box.minZ, box.maxZ);
    return box;
}

MeshSphere ComputeSphere(const Mesh& mesh)
{
    MeshSphere sphere;
    if (mesh.positions.empty()) return sphere;
    math::Vec3 sum;
    for (const math::Vec3& p : mesh.positions)
        sum = sum + p;
    sphere.center = sum * (1.0f / static_cast<float>(mesh.positions.size()));
    for (const math::Vec3& p : mesh.positions)
        sphere.radius = std::max(sphere.radius, math::Length(p - sphere.center));
    return sphere;
}

} // namespace model
