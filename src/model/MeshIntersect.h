// Rays against triangles and meshes, with the original utility library's rules: both faces
// count, edges and corners count, hits behind the origin do not, and the distance is measured
// in lengths of the direction as given (not normalised).
#pragma once

#include "math/Vector.h"
#include "model/Mesh.h"

#include <cstdint>
#include <vector>

namespace model {

// pos + dist·dir = p0 + u·(p1 − p0) + v·(p2 − p0), with u, v ≥ 0, u + v ≤ 1 and dist ≥ 0, no
// tolerance. A ray parallel to the triangle's plane (in it or not) does not hit.
bool IntersectTriangle(math::Vec3 p0, math::Vec3 p1, math::Vec3 p2, math::Vec3 pos, math::Vec3 dir, float& u,
                       float& v, float& dist);
// The same for a ray along y alone, dir = (0, dirY, 0), and a triangle of finite corners: the
// products with the zero components left out. It hits where IntersectTriangle hits, at the same
// distance; a u or v of zero may come out as -0.
bool IntersectTriangleVertical(math::Vec3 p0, math::Vec3 p1, math::Vec3 p2, math::Vec3 pos, float dirY,
                               float& u, float& v, float& dist);

struct RayHit {
    std::uint32_t face = 0;
    float u = 0, v = 0, dist = 0;
    friend bool operator==(const RayHit&, const RayHit&) = default;
};

struct MeshHit {
    bool hit = false;
    // Nearest hit: the face closest to the ray origin; of faces at the same distance the first.
    RayHit nearest;
};

// A ray in the mesh's own space. allHits, when given, receives every face hit, in face order.
// A ray with a non-finite origin or direction hits nothing, and so does an empty mesh. Faces
// with an index out of range are never hit. Builds the mesh's hierarchy on first use.
MeshHit Intersect(const Mesh& mesh, math::Vec3 pos, math::Vec3 dir, std::vector<RayHit>* allHits = nullptr);

// The same by testing every face in order; the reference the hierarchy must agree with.
MeshHit IntersectBruteForce(const Mesh& mesh, math::Vec3 pos, math::Vec3 dir,
                            std::vector<RayHit>* allHits = nullptr);

} // namespace model
