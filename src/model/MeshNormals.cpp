#include "model/MeshNormals.h"

#include <cmath>

namespace model {
namespace {

// Interior angle between two edges leaving a corner; a zero-length edge gives no weight.
float CornerAngle(math::Vec3 a, math::Vec3 b)
{
    const float la = math::Length(a);
    const float lb = math::Length(b);
    if (la == 0.0f || lb == 0.0f) return 0.0f;
    float c = math::Dot(a, b) / (la * lb);
    if (c > 1.0f) c = 1.0f;
    if (c < -1.0f) c = -1.0f;
    return std::acos(c);
}

} // namespace

void ComputeNormals(Mesh& mesh)
{
    const std::size_t vertexCount = mesh.positions.size();
    std::vector<math::Vec3> sums(vertexCount);
    const std::size_t faceCount = mesh.FaceCount();
    for (std::size_t f = 0; f < faceCount; ++f) {
        const std::uint32_t i[3] = {mesh.indices[3 * f], mesh.indices[3 * f + 1], mesh.indices[3 * f + 2]};
        if (i[0] >= vertexCount || i[1] >= vertexCount || i[2] >= vertexCount) continue;
        const math::Vec3 p[3] = {mesh.positions[i[0]], mesh.positions[i[1]], mesh.positions[i[2]]};
        const math::Vec3 normal = math::Normalize(math::Cross(p[1] - p[0], p[2] - p[0]));
        for (int k = 0; k < 3; ++k) {
            const float angle = CornerAngle(p[(k + 1) % 3] - p[k], p[(k + 2) % 3] - p[k]);
            sums[i[k]] = sums[i[k]] + normal * angle;
        }
    }
    for (math::Vec3& n : sums)
        n = math::Normalize(n);
    mesh.normals = std::move(sums);
}

} // namespace model
