#include "model/MeshIntersect.h"

#include "model/MeshBvh.h"

#include <cmath>
#include <limits>

namespace model {
namespace {

bool Finite(math::Vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Meshes this small are tested face by face; a hierarchy would not pay for itself.
constexpr std::size_t kBruteForceFaces = 8;

// The distance test that ends both forms of the triangle test, and their answer.
bool Hit(double uu, double vv, double t, float& u, float& v, float& dist)
{
    if (!(t >= 0.0)) return false;
    u = static_cast<float>(uu);
    v = static_cast<float>(vv);
    dist = t > std::numeric_limits<float>::max() ? std::numeric_limits<float>::infinity()
                                                 : static_cast<float>(t);
    return true;
}

} // namespace

bool IntersectTriangle(math::Vec3 p0, math::Vec3 p1, math::Vec3 p2, math::Vec3 pos, math::Vec3 dir, float& u,
                       float& v, float& dist)
{
    // Solved in double precision so that rays through a shared edge are not lost between the
    // two faces by rounding; the bounds are inclusive and carry no tolerance.
    const double e1x = double(p1.x) - p0.x, e1y = double(p1.y) - p0.y, e1z = double(p1.z) - p0.z;
    const double e2x = double(p2.x) - p0.x, e2y = double(p2.y) - p0.y, e2z = double(p2.z) - p0.z;
    const double dx = dir.x, dy = dir.y, dz = dir.z;
    const double px = dy * e2z - dz * e2y, py = dz * e2x - dx * e2z, pz = dx * e2y - dy * e2x;
    const double det = e1x * px + e1y * py + e1z * pz;
    if (det == 0.0) return false;
    const double inv = 1.0 / det;
    const double tx = double(pos.x) - p0.x, ty = double(pos.y) - p0.y, tz = double(pos.z) - p0.z;
    const double uu = (tx * px + ty * py + tz * pz) * inv;
    // Written so that NaN fails every test.
    if (!(uu >= 0.0 && uu <= 1.0)) return false;
    const double qx = ty * e1z - tz * e1y, qy = tz * e1x - tx * e1z, qz = tx * e1y - ty * e1x;
    const double vv = (dx * qx + dy * qy + dz * qz) * inv;
    if (!(vv >= 0.0 && uu + vv <= 1.0)) return false;
    return Hit(uu, vv, (e2x * qx + e2y * qy + e2z * qz) * inv, u, v, dist);
}

bool IntersectTriangleVertical(math::Vec3 p0, math::Vec3 p1, math::Vec3 p2, math::Vec3 pos, float dirY,
                               float& u, float& v, float& dist)
{
    // IntersectTriangle's arithmetic with dx = dz = 0: a product with a zero component is a zero
    // that leaves every non-zero sum as it was, so only the sign of a zero result can change.
    const double e1x = double(p1.x) - p0.x, e1z = double(p1.z) - p0.z;
    const double e2x = double(p2.x) - p0.x, e2y = double(p2.y) - p0.y, e2z = double(p2.z) - p0.z;
    const double e1y = double(p1.y) - p0.y;
    const double dy = dirY;
    const double px = dy * e2z, pz = -(dy * e2x);
    const double det = e1x * px + e1z * pz;
    if (det == 0.0) return false;
    const double inv = 1.0 / det;
    const double tx = double(pos.x) - p0.x, ty = double(pos.y) - p0.y, tz = double(pos.z) - p0.z;
    const double uu = (tx * px + tz * pz) * inv;
    if (!(uu >= 0.0 && uu <= 1.0)) return false;
    const double qx = ty * e1z - tz * e1y, qy = tz * e1x - tx * e1z, qz = tx * e1y - ty * e1x;
    const double vv = (dy * qy) * inv;
    if (!(vv >= 0.0 && uu + vv <= 1.0)) return false;
    return Hit(uu, vv, (e2x * qx + e2y * qy + e2z * qz) * inv, u, v, dist);
}

MeshHit Intersect(const Mesh& mesh, math::Vec3 pos, math::Vec3 dir, std::vector<RayHit>* allHits)
{
    if (mesh.FaceCount() <= kBruteForceFaces) return IntersectBruteForce(mesh, pos, dir, allHits);
    if (allHits) allHits->clear();
    if (!Finite(pos) || !Finite(dir)) return {};
    if (!mesh.bvh || !mesh.bvh->BuiltFor(mesh)) mesh.bvh = MeshBvh::Build(mesh);
    return mesh.bvh->Intersect(pos, dir, allHits);
}

MeshHit IntersectBruteForce(const Mesh& mesh, math::Vec3 pos, math::Vec3 dir, std::vector<RayHit>* allHits)
{
    if (allHits) allHits->clear();
    MeshHit result;
    if (!Finite(pos) || !Finite(dir)) return result;
    const std::size_t vertexCount = mesh.positions.size();
    const std::size_t faceCount = mesh.FaceCount();
    for (std::size_t f = 0; f < faceCount; ++f) {
        const std::uint32_t* i = &mesh.indices[3 * f];
        if (i[0] >= vertexCount || i[1] >= vertexCount || i[2] >= vertexCount) continue;
        RayHit hit;
        if (!IntersectTriangle(mesh.positions[i[0]], mesh.positions[i[1]], mesh.positions[i[2]], pos, dir,
                               hit.u, hit.v, hit.dist)) {
            continue;
        }
        hit.face = static_cast<std::uint32_t>(f);
        if (allHits) allHits->push_back(hit);
        if (!result.hit || hit.dist < result.nearest.dist) {
            result.hit = true;
            result.nearest = hit;
        }
    }
    return result;
}

} // namespace model
