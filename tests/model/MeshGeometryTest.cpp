// Bounds, spheres, computed normals and the built-in teapot.
#include "model/MeshBounds.h"
#include "model/MeshNormals.h"
#include "model/Teapot.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using math::Vec3;
using model::Mesh;

Mesh Points(std::vector<Vec3> points)
{
    Mesh mesh;
    mesh.positions = std::move(points);
    return mesh;
}

const std::vector<Vec3> kFivePoints = {{2, 5.9f, -1.2f},
                                       {-1.87f, 7.9f, 7.4f},
                                       {7.43f, -0.9f, 11.9f},
                                       {-6.92f, 6.3f, -3.8f},
                                       {11.4f, -8.1f, 4.5f}};

TEST(MeshBox, CoversAllVertices)
{
    const model::MeshBox box = model::ComputeBox(Points(kFivePoints));
    EXPECT_EQ(box, (model::MeshBox{-6.92f, 11.4f, -8.1f, 7.9f, -3.8f, 11.9f}));
}

TEST(MeshBox, TurnsOnlyTheTwoCornersThenSorts)
{
    // A box from (0,0,0) to (2,1,4) turned a quarter: x 0..4, y 0..1, z −2..0.
    const model::MeshBox box =
        model::ComputeBox(Points({{0, 0, 0}, {2, 1, 4}, {1, 0.5f, 2}}), std::numbers::pi_v<float> / 2);
    EXPECT_NEAR(box.minX, 0, 1e-5);
    EXPECT_NEAR(box.maxX, 4, 1e-5);
    EXPECT_NEAR(box.minY, 0, 1e-5);
    EXPECT_NEAR(box.maxY, 1, 1e-5);
    EXPECT_NEAR(box.minZ, -2, 1e-5);
    EXPECT_NEAR(box.maxZ, 0, 1e-5);

    // At 45° the two turned corners miss the box's other corners and the box comes out too
    // small (flat in z here): kept as the original does.
    const model::MeshBox diagonal =
        model::ComputeBox(Points({{-1, 0, -1}, {1, 0, 1}, {1, 0, -1}}), 0.7853982f);
    EXPECT_NEAR(diagonal.minX, -std::numbers::sqrt2_v<float>, 1e-5);
    EXPECT_NEAR(diagonal.maxX, std::numbers::sqrt2_v<float>, 1e-5);
    EXPECT_NEAR(diagonal.minZ, 0, 1e-5);
    EXPECT_NEAR(diagonal.maxZ, 0, 1e-5);
}

TEST(MeshBox, HalfTurnIsExactForTrainCars)
{
    const model::MeshBox box = model::ComputeBox(Points({{-1, 0, -3}, {1, 2, 5}}), std::numbers::pi_v<float>);
    EXPECT_NEAR(box.minX, -1, 1e-5);
    EXPECT_NEAR(box.maxX, 1, 1e-5);
    EXPECT_NEAR(box.minZ, -5, 1e-5);
    EXPECT_NEAR(box.maxZ, 3, 1e-5);
}

TEST(MeshSphere, CentreIsTheMeanRadiusTheFarthestVertex)
{
    const model::MeshSphere two = model::ComputeSphere(Points({{1, 1, 1}, {9, 9, 9}}));
    EXPECT_EQ(two.center, (Vec3{5, 5, 5}));
    EXPECT_NEAR(two.radius, 6.928203f, 1e-5);
    const model::MeshSphere five = model::ComputeSphere(Points(kFivePoints));
    EXPECT_NEAR(five.center.x, 2.408f, 1e-5);
    EXPECT_NEAR(five.center.y, 2.22f, 1e-5);
    EXPECT_NEAR(five.center.z, 3.76f, 1e-5);
    EXPECT_NEAR(five.radius, 13.707883f, 1e-5);
}

TEST(MeshBoundsOfEmptyMesh, AreZero)
{
    const Mesh empty;
    EXPECT_EQ(model::ComputeBox(empty), model::MeshBox{});
    EXPECT_EQ(model::ComputeBox(empty, 1.0f), model::MeshBox{});
    const model::MeshSphere sphere = model::ComputeSphere(empty);
    EXPECT_EQ(sphere.center, Vec3{});
    EXPECT_EQ(sphere.radius, 0.0f);
}

TEST(ComputeNormals, WeightsFacesByCornerAngle)
{
    // Vertex 0 is shared by a floor triangle (corner angle 90°) and a wall triangle (45°).
    Mesh mesh = Points({{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}, {5, 5, 5}});
    mesh.indices = {0, 1, 2, 0, 3, 2};
    model::ComputeNormals(mesh);
    ASSERT_EQ(mesh.normals.size(), 5u);
    // Floor normal (v1−v0)×(v2−v0) = (0,1,0); wall normal (0,0,−1).
    const float w1 = std::numbers::pi_v<float> / 2, w2 = std::numbers::pi_v<float> / 4;
    const float len = std::sqrt(w1 * w1 + w2 * w2);
    EXPECT_NEAR(mesh.normals[0].y, w1 / len, 1e-6);
    EXPECT_NEAR(mesh.normals[0].z, -w2 / len, 1e-6);
    EXPECT_EQ(mesh.normals[1], (Vec3{0, 1, 0}));
    EXPECT_EQ(mesh.normals[3], (Vec3{0, 0, -1}));
    EXPECT_EQ(mesh.normals[4], (Vec3{0, 0, 0})); // used by no face
}

TEST(ComputeNormals, CopiesAtASeamAreNotSmoothedTogether)
{
    // Two triangles folded along an edge, the edge's vertices duplicated for the second one.
    Mesh mesh = Points({{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}});
    mesh.indices = {0, 1, 2, 3, 5, 4};
    model::ComputeNormals(mesh);
    EXPECT_EQ(mesh.normals[0], (Vec3{0, 1, 0}));
    EXPECT_EQ(mesh.normals[3], (Vec3{1, 0, 0}));
}

TEST(ComputeNormals, DegenerateAndOutOfRangeFacesAddNothing)
{
    Mesh mesh = Points({{0, 0, 0}, {0, 0, 0}, {1, 0, 0}});
    mesh.indices = {0, 1, 2, 0, 1, 7};
    model::ComputeNormals(mesh);
    EXPECT_EQ(mesh.normals, (std::vector<Vec3>{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(Teapot, IsTheClassicTeapotWithNormals)
{
    const Mesh teapot = model::CreateTeapot();
    EXPECT_EQ(teapot.VertexCount(), 1178u);
    EXPECT_EQ(teapot.FaceCount(), 2256u);
    ASSERT_EQ(teapot.normals.size(), teapot.VertexCount());
    EXPECT_TRUE(teapot.uvs.empty());
    EXPECT_TRUE(teapot.colors.empty());
    EXPECT_EQ(teapot.attributes, std::vector<std::uint32_t>(2256, 0));
    for (const Vec3& n : teapot.normals)
        EXPECT_NEAR(math::Length(n), 1.0f, 1e-5);

    // Spout towards +x, handle towards −x, y up, centred in y.
    const model::MeshBox box = model::ComputeBox(teapot);
    EXPECT_NEAR(box.minX, -1.5f, 1e-3);
    EXPECT_NEAR(box.maxX, 1.7148f, 1e-3);
    EXPECT_NEAR(box.minY, -0.7875f, 1e-3);
    EXPECT_NEAR(box.maxY, 0.7875f, 1e-3);
    EXPECT_NEAR(box.minZ, -1.0f, 1e-3);
    EXPECT_NEAR(box.maxZ, 1.0f, 1e-3);
}

TEST(Teapot, FacesAreClockwiseSeenFromOutside)
{
    // Clockwise in a left-handed frame means (v1−v0)×(v2−v0) points at the viewer: it must
    // agree with the vertex normals, which point outwards.
    const Mesh teapot = model::CreateTeapot();
    int disagreeing = 0;
    for (std::size_t f = 0; f < teapot.FaceCount(); ++f) {
        const std::uint32_t* i = &teapot.indices[3 * f];
        const Vec3 n = math::Cross(teapot.positions[i[1]] - teapot.positions[i[0]],
                                   teapot.positions[i[2]] - teapot.positions[i[0]]);
        const Vec3 average = teapot.normals[i[0]] + teapot.normals[i[1]] + teapot.normals[i[2]];
        if (math::Dot(n, average) <= 0) ++disagreeing;
    }
    EXPECT_EQ(disagreeing, 0);
    // The lid's top points up, the bottom down.
    const model::MeshBox box = model::ComputeBox(teapot);
    for (std::size_t v = 0; v < teapot.VertexCount(); ++v) {
        const Vec3 p = teapot.positions[v];
        if (p.y == box.maxY) {
            EXPECT_GT(teapot.normals[v].y, 0.99f);
        }
        if (p.y == box.minY && p.x == 0 && p.z == 0) {
            EXPECT_LT(teapot.normals[v].y, -0.99f);
        }
    }
}

} // namespace
