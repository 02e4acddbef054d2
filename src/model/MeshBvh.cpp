// Median-split hierarchy: each inner node halves its faces along the longest axis of their
// centres, so the depth stays logarithmic whatever the geometry. Boxes are padded and the
// distance cut-off carries slack, so that rounding can only make a node be visited, never be
// skipped; the same triangle test as the face-by-face search then gives identical answers.
#include "model/MeshBvh.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace model {
namespace {

constexpr std::uint32_t kLeafFaces = 4;
constexpr int kStackSize = 96; // depth is at most log2(faces) + 1

bool Finite(math::Vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

float Axis(math::Vec3 v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

struct Ray {
    double pos[3];
    double inv[3];
    bool flat[3]; // direction component is zero
};

// Entry distance of the ray into the box, or false when it misses or the box lies behind.
bool EnterBox(const Ray& ray, const float lo[3], const float hi[3], double& entry)
{
    double tNear = -std::numeric_limits<double>::infinity();
    double tFar = std::numeric_limits<double>::infinity();
    for (int a = 0; a < 3; ++a) {
        if (ray.flat[a]) {
            if (ray.pos[a] < lo[a] || ray.pos[a] > hi[a]) return false;
            continue;
        }
        double t0 = (lo[a] - ray.pos[a]) * ray.inv[a];
        double t1 = (hi[a] - ray.pos[a]) * ray.inv[a];
        if (t0 > t1) std::swap(t0, t1);
        tNear = std::max(tNear, t0);
        tFar = std::min(tFar, t1);
    }
    if (tNear > tFar || tFar < 0.0) return false;
    entry = tNear;
    return true;
}

// EnterBox for a level ray (the sideways guide queries): the same arithmetic, unrolled.
bool EnterBoxLevel(const Ray& ray, const float lo[3], const float hi[3], double& entry)
{
    if (ray.pos[1] < lo[1] || ray.pos[1] > hi[1]) return false;
    double x0 = (lo[0] - ray.pos[0]) * ray.inv[0];
    double x1 = (hi[0] - ray.pos[0]) * ray.inv[0];
    if (x0 > x1) std::swap(x0, x1);
    double z0 = (lo[2] - ray.pos[2]) * ray.inv[2];
    double z1 = (hi[2] - ray.pos[2]) * ray.inv[2];
    if (z0 > z1) std::swap(z0, z1);
    const double tNear = std::max(x0, z0);
    const double tFar = std::min(x1, z1);
    if (tNear > tFar || tFar < 0.0) return false;
    entry = tNear;
    return true;
}

// The grid column or row of coordinate v (clamped to the grid): the same function for the faces'
// boxes and for the rays, so that a ray inside a face's box lands in a cell that lists the face.
std::uint32_t PlanCell(double v, double origin, double inverseCell, std::uint32_t cells)
{
    const double cell = std::floor((v - origin) * inverseCell);
    if (!(cell > 0)) return 0;
    return cell >= cells ? cells - 1 : static_cast<std::uint32_t>(cell);
}

} // namespace

std::shared_ptr<const MeshBvh> MeshBvh::Build(const Mesh& mesh)
{
    auto bvh = std::make_shared<MeshBvh>();
    bvh->vertexCount_ = mesh.positions.size();
    bvh->faceCount_ = mesh.FaceCount();
    std::vector<Triangle> triangles;
    std::vector<math::Vec3> centers;
    std::vector<std::uint32_t> faceOf;
    triangles.reserve(bvh->faceCount_);
    centers.reserve(bvh->faceCount_);
    faceOf.reserve(bvh->faceCount_);
    for (std::size_t f = 0; f < bvh->faceCount_; ++f) {
        const std::uint32_t* i = &mesh.indices[3 * f];
        if (i[0] >= bvh->vertexCount_ || i[1] >= bvh->vertexCount_ || i[2] >= bvh->vertexCount_) continue;
        const Triangle t{{mesh.positions[i[0]], mesh.positions[i[1]], mesh.positions[i[2]]}};
        if (!Finite(t.p[0]) || !Finite(t.p[1]) || !Finite(t.p[2])) {
            bvh->unboundedFaces_.push_back(static_cast<std::uint32_t>(f));
            bvh->unboundedTriangles_.push_back(t);
            continue;
        }
        triangles.push_back(t);
        centers.push_back((t.p[0] + t.p[1] + t.p[2]) * (1.0f / 3.0f));
        faceOf.push_back(static_cast<std::uint32_t>(f));
    }
    if (triangles.empty()) return bvh;
    std::vector<std::uint32_t> order(triangles.size());
    for (std::uint32_t k = 0; k < order.size(); ++k)
        order[k] = k;
    bvh->nodes_.reserve(2 * (triangles.size() / kLeafFaces + 1));
    bvh->faces_.reserve(triangles.size());
    bvh->triangles_.reserve(triangles.size());
    bvh->BuildNode(order, 0, static_cast<std::uint32_t>(order.size()), centers, triangles);
    for (std::uint32_t& face : bvh->faces_)
        face = faceOf[face];
    bvh->BuildPlanGrid();
    return bvh;
}

void MeshBvh::BuildPlanGrid()
{
    // Each face is listed in every cell its x-z box, padded as the hierarchy's boxes are (at the
    // whole mesh's scale, so never less), reaches into; a vertical ray then needs only its own
    // cell's faces, and the triangle test itself decides exactly as before.
    double lo[2] = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    double hi[2] = {-lo[0], -lo[1]};
    float scale = 0;
    for (const Triangle& t : triangles_) {
        for (const math::Vec3& p : t.p) {
            lo[0] = std::min(lo[0], double(p.x));
            hi[0] = std::max(hi[0], double(p.x));
            lo[1] = std::min(lo[1], double(p.z));
            hi[1] = std::max(hi[1], double(p.z));
            scale = std::max({scale, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
        }
    }
    const double pad = double(scale) * 2e-5 + 1e-30;
    planX0_ = lo[0] - pad;
    planZ0_ = lo[1] - pad;
    planX1_ = hi[0] + pad;
    planZ1_ = hi[1] + pad;
    // About one cell a face, shaped like the plan, at most 512 a side.
    const double width = planX1_ - planX0_, depth = planZ1_ - planZ0_;
    const double cells = static_cast<double>(triangles_.size());
    const double across = std::sqrt(cells * width / depth);
    planX_ = static_cast<std::uint32_t>(std::clamp(std::isfinite(across) ? across : 1.0, 1.0, 512.0));
    planZ_ = static_cast<std::uint32_t>(std::clamp(std::floor(cells / planX_), 1.0, 512.0));
    planInvCellX_ = planX_ / width;
    planInvCellZ_ = planZ_ / depth;
    const auto cellRange = [&](const Triangle& t, std::uint32_t range[4]) {
        double x0 = t.p[0].x, x1 = x0, z0 = t.p[0].z, z1 = z0;
        for (const math::Vec3& p : t.p) {
            x0 = std::min(x0, double(p.x));
            x1 = std::max(x1, double(p.x));
            z0 = std::min(z0, double(p.z));
            z1 = std::max(z1, double(p.z));
        }
        range[0] = PlanCell(x0 - pad, planX0_, planInvCellX_, planX_);
        range[1] = PlanCell(x1 + pad, planX0_, planInvCellX_, planX_);
        range[2] = PlanCell(z0 - pad, planZ0_, planInvCellZ_, planZ_);
        range[3] = PlanCell(z1 + pad, planZ0_, planInvCellZ_, planZ_);
    };
    planStart_.assign(std::size_t{planX_} * planZ_ + 1, 0);
    std::uint32_t range[4];
    for (const Triangle& t : triangles_) {
        cellRange(t, range);
        for (std::uint32_t j = range[2]; j <= range[3]; ++j)
            for (std::uint32_t i = range[0]; i <= range[1]; ++i)
                ++planStart_[j * planX_ + i + 1];
    }
    for (std::size_t c = 1; c < planStart_.size(); ++c)
        planStart_[c] += planStart_[c - 1];
    planCells_.resize(planStart_.back());
    std::vector<std::uint32_t> fill(planStart_.begin(), planStart_.end() - 1);
    for (std::uint32_t k = 0; k < triangles_.size(); ++k) {
        cellRange(triangles_[k], range);
        for (std::uint32_t j = range[2]; j <= range[3]; ++j)
            for (std::uint32_t i = range[0]; i <= range[1]; ++i)
                planCells_[fill[j * planX_ + i]++] = k;
    }
}

std::uint32_t MeshBvh::BuildNode(std::vector<std::uint32_t>& order, std::uint32_t begin, std::uint32_t end,
                                 const std::vector<math::Vec3>& centers,
                                 const std::vector<Triangle>& triangles)
{
    const auto index = static_cast<std::uint32_t>(nodes_.size());
    nodes_.push_back(Node{});
    float lo[3], hi[3], clo[3], chi[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = clo[a] = std::numeric_limits<float>::infinity();
        hi[a] = chi[a] = -std::numeric_limits<float>::infinity();
    }
    for (std::uint32_t k = begin; k < end; ++k) {
        const Triangle& t = triangles[order[k]];
        for (int a = 0; a < 3; ++a) {
            for (const math::Vec3& p : t.p) {
                lo[a] = std::min(lo[a], Axis(p, a));
                hi[a] = std::max(hi[a], Axis(p, a));
            }
            clo[a] = std::min(clo[a], Axis(centers[order[k]], a));
            chi[a] = std::max(chi[a], Axis(centers[order[k]], a));
        }
    }
    // Pad the box well beyond float and double rounding at its own scale.
    float scale = 0;
    for (int a = 0; a < 3; ++a)
        scale = std::max({scale, std::fabs(lo[a]), std::fabs(hi[a])});
    const float pad = scale * 1e-5f + 1e-30f;
    Node node{};
    for (int a = 0; a < 3; ++a) {
        node.lo[a] = lo[a] - pad;
        node.hi[a] = hi[a] + pad;
    }

    if (end - begin <= kLeafFaces) {
        node.first = static_cast<std::uint32_t>(faces_.size());
        node.count = end - begin;
        for (std::uint32_t k = begin; k < end; ++k) {
            faces_.push_back(order[k]); // local index for now; Build maps it to the face index
            triangles_.push_back(triangles[order[k]]);
        }
        nodes_[index] = node;
        return index;
    }
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (chi[a] - clo[a] > chi[axis] - clo[axis]) axis = a;
    }
    const std::uint32_t mid = begin + (end - begin) / 2;
    std::nth_element(
        order.begin() + begin, order.begin() + mid, order.begin() + end,
        [&](std::uint32_t x, std::uint32_t y) { return Axis(centers[x], axis) < Axis(centers[y], axis); });
    BuildNode(order, begin, mid, centers, triangles);
    node.first = BuildNode(order, mid, end, centers, triangles);
    node.count = 0;
    nodes_[index] = node;
    return index;
}

MeshHit MeshBvh::Intersect(math::Vec3 pos, math::Vec3 dir, std::vector<RayHit>* allHits) const
{
    MeshHit result;
    const auto note = [&](std::uint32_t face, RayHit hit) {
        hit.face = face;
        if (allHits) allHits->push_back(hit);
        // The order faces are met in differs from face order: ties go to the lower face index.
        if (!result.hit || hit.dist < result.nearest.dist ||
            (hit.dist == result.nearest.dist && face < result.nearest.face)) {
            result.hit = true;
            result.nearest = hit;
        }
    };
    const auto consider = [&](std::uint32_t face, const Triangle& t) {
        RayHit hit;
        if (IntersectTriangle(t.p[0], t.p[1], t.p[2], pos, dir, hit.u, hit.v, hit.dist)) note(face, hit);
    };
    // Only for the tree's triangles: their corners are finite.
    const auto considerVertical = [&](std::uint32_t face, const Triangle& t) {
        RayHit hit;
        if (IntersectTriangleVertical(t.p[0], t.p[1], t.p[2], pos, dir.y, hit.u, hit.v, hit.dist))
            note(face, hit);
    };
    for (std::size_t k = 0; k < unboundedFaces_.size(); ++k)
        consider(unboundedFaces_[k], unboundedTriangles_[k]);

    if (!nodes_.empty()) {
        Ray ray{};
        const double d[3] = {dir.x, dir.y, dir.z};
        const double p[3] = {pos.x, pos.y, pos.z};
        for (int a = 0; a < 3; ++a) {
            ray.pos[a] = p[a];
            ray.flat[a] = d[a] == 0.0;
            ray.inv[a] = ray.flat[a] ? 0.0 : 1.0 / d[a];
        }
        // A node whose entry lies beyond the nearest hit so far cannot improve it; the slack
        // keeps faces at the same (rounded) distance in play for the tie rule.
        const auto beyond = [&](double entry) {
            if (allHits || !result.hit) return false;
            const double best = result.nearest.dist;
            return entry > best + std::fabs(best) * 1e-5;
        };
        struct Entry {
            std::uint32_t node;
            double entry;
        };
        const auto walk = [&](auto enter, auto test) {
            Entry stack[kStackSize];
            int top = 0;
            double rootEntry = 0;
            if (enter(ray, nodes_[0].lo, nodes_[0].hi, rootEntry)) stack[top++] = {0, rootEntry};
            while (top > 0) {
                const Entry e = stack[--top];
                if (beyond(e.entry)) continue;
                const Node& node = nodes_[e.node];
                if (node.count > 0) {
                    for (std::uint32_t k = node.first; k < node.first + node.count; ++k)
                        test(faces_[k], triangles_[k]);
                    continue;
                }
                const std::uint32_t left = e.node + 1;
                const std::uint32_t right = node.first;
                double tl = 0, tr = 0;
                const bool hitLeft = enter(ray, nodes_[left].lo, nodes_[left].hi, tl);
                const bool hitRight = enter(ray, nodes_[right].lo, nodes_[right].hi, tr);
                // Nearer child on top of the stack.
                if (hitLeft && hitRight) {
                    if (tl <= tr) {
                        stack[top++] = {right, tr};
                        stack[top++] = {left, tl};
                    } else {
                        stack[top++] = {left, tl};
                        stack[top++] = {right, tr};
                    }
                } else if (hitLeft) {
                    stack[top++] = {left, tl};
                } else if (hitRight) {
                    stack[top++] = {right, tr};
                }
            }
        };
        // Each test its own type, so that the walk is made (and inlined) once for each.
        if (ray.flat[0] && !ray.flat[1] && ray.flat[2]) {
            // Straight up or down: only the faces listed in the ray's cell of the plan.
            if (p[0] >= planX0_ && p[0] <= planX1_ && p[2] >= planZ0_ && p[2] <= planZ1_) {
                const std::uint32_t cell = PlanCell(p[2], planZ0_, planInvCellZ_, planZ_) * planX_ +
                                           PlanCell(p[0], planX0_, planInvCellX_, planX_);
                for (std::uint32_t c = planStart_[cell]; c < planStart_[cell + 1]; ++c)
                    considerVertical(faces_[planCells_[c]], triangles_[planCells_[c]]);
            }
        } else if (!ray.flat[0] && ray.flat[1] && !ray.flat[2])
            walk([](const Ray& r, const float* lo, const float* hi,
                    double& t) { return EnterBoxLevel(r, lo, hi, t); },
                 consider);
        else
            walk([](const Ray& r, const float* lo, const float* hi,
                    double& t) { return EnterBox(r, lo, hi, t); },
                 consider);
    }
    if (allHits) {
        std::sort(allHits->begin(), allHits->end(),
                  [](const RayHit& a, const RayHit& b) { return a.face < b.face; });
    }
    return result;
}

} // namespace model
