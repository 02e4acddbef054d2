// Rays against triangles and meshes: the original library's rules, and the hierarchy giving
// exactly the answers of the face-by-face search.
#include "model/MeshIntersect.h"

#include "model/MeshBvh.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

using math::Vec3;
using model::Mesh;

struct TriangleCase {
    Vec3 p0, p1, p2, pos, dir;
    bool hit;
    float u, v, dist;
};

TEST(IntersectTriangle, KnownCases)
{
    const Vec3 pos{-14.5f, -23.75f, -32}, dir{2, 3, 4};
    const TriangleCase cases[] = {
        {{1, 0, 0}, {2, 0, 0}, {1, 1, 0}, pos, dir, true, 0.5f, 0.25f, 8},
        {{1, 1, 0}, {2, 0, 0}, {1, 0, 0}, pos, dir, true, 0.5f, 0.25f, 8}, // back face
        {{1, 1, -1}, {2, 0, -0.5f}, {1, 0, 0}, pos, dir, true, 0.375f, 0.5625f, 7.9375f},
        {{1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {17.5f, 24.25f, 32}, dir, false, 0, 0, 0}, // behind the ray
        {{4, 0, 0}, {6, 0, 0}, {4, 2, 0}, {1, 1, 0}, {1, 0, 0}, false, 0, 0, 0},     // in the plane
        // Edges and corners count; the distance is in lengths of dir.
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.5f, 0.5f, -1}, {0, 0, 0.5f}, true, 0.5f, 0.5f, 2},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}, true, 0, 0, 1},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.25f, 0.25f, 0}, {0, 0, 1}, true, 0.25f, 0.25f, 0}, // starts on
                                                                                                // it
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.5f, 0.5001f, -1}, {0, 0, 1}, false, 0, 0, 0},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.5f, 0.5f, -1}, {0, 0, 0}, false, 0, 0, 0}, // no direction
    };
    for (const TriangleCase& c : cases) {
        float u = -1, v = -1, dist = -1;
        const bool hit = model::IntersectTriangle(c.p0, c.p1, c.p2, c.pos, c.dir, u, v, dist);
        ASSERT_EQ(hit, c.hit) << c.p0.x << "," << c.p0.y << "," << c.p0.z << " pos " << c.pos.x;
        if (!hit) continue;
        EXPECT_FLOAT_EQ(u, c.u);
        EXPECT_FLOAT_EQ(v, c.v);
        EXPECT_FLOAT_EQ(dist, c.dist);
    }
}

// A grid of n × n quads in the y = height(x, z) surface, two triangles each.
Mesh Terrain(int n, bool flat)
{
    Mesh mesh;
    for (int z = 0; z <= n; ++z) {
        for (int x = 0; x <= n; ++x) {
            const float y = flat ? 0.0f : std::sin(x * 0.7f) * std::cos(z * 0.45f) * 2.0f;
            mesh.positions.push_back({float(x), y, float(z)});
        }
    }
    for (int z = 0; z < n; ++z) {
        for (int x = 0; x < n; ++x) {
            const auto i = static_cast<std::uint32_t>(z * (n + 1) + x);
            const auto row = static_cast<std::uint32_t>(n + 1);
            mesh.indices.insert(mesh.indices.end(), {i, i + row, i + 1, i + 1, i + row, i + row + 1});
            mesh.attributes.insert(mesh.attributes.end(), {0, 0});
        }
    }
    return mesh;
}

TEST(IntersectMesh, NearestHitAndAllHitsInFaceOrder)
{
    // Three stacked squares at y = 3, 1, 2 (two triangles each); a ray straight down.
    Mesh mesh;
    for (float y : {3.0f, 1.0f, 2.0f}) {
        const auto b = static_cast<std::uint32_t>(mesh.positions.size());
        mesh.positions.insert(mesh.positions.end(), {{0, y, 0}, {0, y, 1}, {1, y, 0}, {1, y, 1}});
        mesh.indices.insert(mesh.indices.end(), {b, b + 1, b + 2, b + 2, b + 1, b + 3});
    }
    std::vector<model::RayHit> all;
    const model::MeshHit hit = model::Intersect(mesh, {0.25f, 10, 0.25f}, {0, -2, 0}, &all);
    ASSERT_TRUE(hit.hit);
    EXPECT_EQ(hit.nearest.face, 0u);
    EXPECT_FLOAT_EQ(hit.nearest.dist, 3.5f); // 7 units down at 2 units per step
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].face, 0u);
    EXPECT_EQ(all[1].face, 2u);
    EXPECT_EQ(all[2].face, 4u);
    EXPECT_FLOAT_EQ(all[1].dist, 4.5f);

    // On the shared diagonal both triangles are hit at the same distance: the first one wins.
    const model::MeshHit edge = model::Intersect(mesh, {0.5f, 10, 0.5f}, {0, -1, 0}, &all);
    ASSERT_TRUE(edge.hit);
    EXPECT_EQ(edge.nearest.face, 0u);
    EXPECT_EQ(all.size(), 6u);

    EXPECT_FALSE(model::Intersect(mesh, {0.5f, 10, 0.5f}, {0, 1, 0}).hit); // pointing away
    EXPECT_FALSE(model::Intersect(Mesh{}, {0, 0, 0}, {0, 1, 0}, &all).hit);
    EXPECT_TRUE(all.empty());
}

TEST(IntersectMesh, TiesGoToTheFirstFaceAlsoThroughTheHierarchy)
{
    Mesh mesh = Terrain(10, true);
    // Append a copy of every face: same distances, higher face numbers.
    const std::size_t faces = mesh.FaceCount();
    for (std::size_t k = 0; k < faces * 3; ++k)
        mesh.indices.push_back(mesh.indices[k]);
    for (float x = 0.1f; x < 10; x += 0.7f) {
        const model::MeshHit hit = model::Intersect(mesh, {x, 5, 3.3f}, {0, -1, 0});
        ASSERT_TRUE(hit.hit);
        EXPECT_LT(hit.nearest.face, faces);
    }
}

TEST(IntersectMesh, BadDataIsNeverHit)
{
    Mesh mesh = Terrain(4, true);
    mesh.indices[0] = 999; // face 0 refers past the vertices
    mesh.positions[24] = {NAN, 0, 0};
    EXPECT_FALSE(model::Intersect(mesh, {0.2f, 1, 0.2f}, {0, -1, 0}).hit);
    EXPECT_FALSE(model::IntersectBruteForce(mesh, {0.2f, 1, 0.2f}, {0, -1, 0}).hit);
    EXPECT_FALSE(model::Intersect(mesh, {NAN, 1, 0.2f}, {0, -1, 0}).hit);
    EXPECT_FALSE(model::Intersect(mesh, {2.5f, 1, 2.5f}, {0, -INFINITY, 0}).hit);
}

void ExpectSameHits(const Mesh& mesh, Vec3 pos, Vec3 dir)
{
    std::vector<model::RayHit> fast, slow;
    const model::MeshHit a = model::Intersect(mesh, pos, dir, &fast);
    const model::MeshHit b = model::IntersectBruteForce(mesh, pos, dir, &slow);
    ASSERT_EQ(a.hit, b.hit) << pos.x << " " << pos.y << " " << pos.z << " dir " << dir.x << " " << dir.y
                            << " " << dir.z;
    if (a.hit) {
        EXPECT_EQ(a.nearest, b.nearest);
    }
    EXPECT_EQ(fast, slow);
    // Without the list the hierarchy may cut the search short: the answer must not change.
    const model::MeshHit c = model::Intersect(mesh, pos, dir);
    ASSERT_EQ(c.hit, b.hit);
    if (c.hit) {
        EXPECT_EQ(c.nearest, b.nearest);
    }
}

TEST(IntersectMesh, HierarchyAgreesWithTestingEveryFace)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const Mesh terrain = Terrain(40, false);
    int hits = 0;
    for (int i = 0; i < 3000; ++i) {
        // Rays from all around, most of them through the terrain, some parallel to the axes,
        // some straight up or down, some level (the hierarchy has its own box test for each).
        const Vec3 pos{20 + 30 * unit(random), 6 * unit(random), 20 + 30 * unit(random)};
        Vec3 dir{20 + 15 * unit(random) - pos.x, unit(random), 20 + 15 * unit(random) - pos.z};
        if (i % 10 == 0) dir = {0, -1, 0};
        if (i % 10 == 1) dir = {1, 0, 0};
        if (i % 10 == 3) dir.y = 0;
        if (i % 10 == 4) dir = {0, 0.5f, 0};
        if (i % 10 == 2) dir = dir * 1000.0f;
        ExpectSameHits(terrain, pos, dir);
        if (model::IntersectBruteForce(terrain, pos, dir).hit) ++hits;
    }
    EXPECT_GT(hits, 500);
    ASSERT_TRUE(terrain.bvh);
    EXPECT_GT(terrain.bvh->NodeCount(), 100u);
}

TEST(IntersectMesh, HierarchyAgreesOnSharedEdgesAndCorners)
{
    // Straight down through every grid vertex and edge midpoint of a flat and a hilly grid,
    // and along the grid lines: hits shared by two to six faces at one distance.
    for (bool flat : {true, false}) {
        const Mesh terrain = Terrain(16, flat);
        for (int z = 0; z <= 32; ++z) {
            for (int x = 0; x <= 32; ++x) {
                ExpectSameHits(terrain, {x * 0.5f, 10, z * 0.5f}, {0, -1, 0});
                ExpectSameHits(terrain, {x * 0.5f, 10, z * 0.5f}, {0.25f, -1, 0});
            }
            ExpectSameHits(terrain, {-1, flat ? 0.0f : 0.5f, z * 0.5f}, {1, 0, 0});
            ExpectSameHits(terrain, {z * 0.5f, 0, -1}, {0, 0, 1});
        }
    }
}

TEST(IntersectMesh, VerticalRaysAgreeOverFacesOfEverySize)
{
    // Rays straight down or up take the ground-plan grid: faces of every size mixed, a face
    // covering the whole plan, walls with no extent across, rays on and just outside the plan's
    // edges.
    Mesh mesh = Terrain(30, false);
    const auto add = [&](Vec3 a, Vec3 b, Vec3 c) {
        const auto base = static_cast<std::uint32_t>(mesh.positions.size());
        mesh.positions.insert(mesh.positions.end(), {a, b, c});
        mesh.indices.insert(mesh.indices.end(), {base, base + 1, base + 2});
        mesh.attributes.push_back(0);
    };
    add({-5, 1, -5}, {40, 1.5f, -5}, {-5, 0.5f, 40});
    add({3, -2, 3}, {3, 4, 3}, {3, 4, 9});
    add({7, 0.25f, 7.5f}, {7.001f, 0.25f, 7.5f}, {7, 0.25f, 7.501f});
    std::mt19937 random(11);
    std::uniform_real_distribution<float> span(-8.0f, 42.0f);
    for (int i = 0; i < 2000; ++i) {
        const Vec3 pos{span(random), 5, span(random)};
        ExpectSameHits(mesh, pos, {0, i % 3 ? -1.0f : -1e-3f, 0});
        ExpectSameHits(mesh, {pos.x, -5, pos.z}, {0, 1, 0});
    }
    for (float edge : {-5.0f, 40.0f, 3.0f, 7.0f, 7.001f})
        for (float other = -6; other <= 41; other += 0.5f) {
            ExpectSameHits(mesh, {edge, 5, other}, {0, -1, 0});
            ExpectSameHits(mesh, {other, 5, edge}, {0, -1, 0});
            ExpectSameHits(mesh, {std::nextafter(edge, -100.0f), 5, other}, {0, -1, 0});
        }
}

TEST(IntersectMesh, HierarchyIsBuiltOnceAndRebuiltForAnotherShape)
{
    Mesh terrain = Terrain(8, false);
    model::Intersect(terrain, {4, 5, 4}, {0, -1, 0});
    const auto first = terrain.bvh;
    ASSERT_TRUE(first);
    model::Intersect(terrain, {3, 5, 3}, {0, -1, 0});
    EXPECT_EQ(terrain.bvh, first);
    // Copies share it.
    const Mesh copy = terrain;
    model::Intersect(copy, {3, 5, 3}, {0, -1, 0});
    EXPECT_EQ(copy.bvh, first);
    // A mesh whose faces changed gets a new one instead of reading past its arrays.
    terrain.indices.resize(terrain.indices.size() / 2);
    ExpectSameHits(terrain, {6, 5, 6}, {0, -1, 0});
    EXPECT_NE(terrain.bvh, first);
}

} // namespace
