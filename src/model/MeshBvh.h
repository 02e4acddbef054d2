// Bounding-volume hierarchy over a mesh's triangles, so that rays against large meshes (the
// layout's ground, long track pieces) stay fast, and a grid over the ground plan for rays
// straight up or down (every height query of the vehicles). Its answers equal testing every
// face in turn.
#pragma once

#include "math/Vector.h"
#include "model/Mesh.h"
#include "model/MeshIntersect.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace model {

class MeshBvh {
  public:
    static std::shared_ptr<const MeshBvh> Build(const Mesh& mesh);

    // Whether this hierarchy was built for a mesh of this shape. A mesh whose positions or
    // indices are changed in place must drop its hierarchy (mesh.bvh.reset()).
    bool BuiltFor(const Mesh& mesh) const
    {
        return vertexCount_ == mesh.positions.size() && faceCount_ == mesh.FaceCount();
    }

    // As IntersectBruteForce; the ray must be finite.
    MeshHit Intersect(math::Vec3 pos, math::Vec3 dir, std::vector<RayHit>* allHits) const;

    std::size_t NodeCount() const { return nodes_.size(); }

  private:
    struct Node {
        float lo[3];
        float hi[3];
        std::uint32_t first; // leaf: first entry in faces_; inner: index of the second child
        std::uint32_t count; // leaf: number of faces; inner: 0 (the first child follows the node)
    };
    struct Triangle {
        math::Vec3 p[3];
    };

    void BuildPlanGrid();
    std::uint32_t BuildNode(std::vector<std::uint32_t>& order, std::uint32_t begin, std::uint32_t end,
                            const std::vector<math::Vec3>& centers, const std::vector<Triangle>& triangles);

    std::size_t vertexCount_ = 0;
    std::size_t faceCount_ = 0;
    std::vector<Node> nodes_;
    // Face index and corner positions of each face, in leaf order.
    std::vector<std::uint32_t> faces_;
    std::vector<Triangle> triangles_;
    // Faces with a non-finite corner have no box; they are tested for every ray.
    std::vector<std::uint32_t> unboundedFaces_;
    std::vector<Triangle> unboundedTriangles_;
    // Ground-plan grid: cell (i, j) lists, from planCells_[planStart_[j * planX_ + i]] on, the
    // faces (positions in faces_) whose padded x-z box reaches into it.
    double planX0_ = 0, planZ0_ = 0, planX1_ = 0, planZ1_ = 0;
    double planInvCellX_ = 0, planInvCellZ_ = 0;
    std::uint32_t planX_ = 0, planZ_ = 0;
    std::vector<std::uint32_t> planStart_;
    std::vector<std::uint32_t> planCells_;
};

} // namespace model
