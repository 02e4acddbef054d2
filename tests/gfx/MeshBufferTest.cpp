#include "gfx/MeshBuffer.h"

#include <gtest/gtest.h>

namespace {

struct Streams {
    std::vector<math::Vec3> positions{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    std::vector<math::Vec3> normals;
    std::vector<std::uint32_t> indices;
    std::vector<std::uint32_t> attributes;

    gfx::MeshData Data() const
    {
        gfx::MeshData d;
        d.positions = positions;
        d.normals = normals;
        d.indices = indices;
        d.attributes = attributes;
        return d;
    }
};

TEST(SortBySubset, GroupsTrianglesBySubsetKeepingTheirOrder)
{
    Streams s;
    s.indices = {0, 1, 2, 1, 3, 2, 2, 1, 0, 3, 1, 0};
    s.attributes = {2, 0, 2, 0};
    auto sorted = gfx::SortBySubset(s.Data());
    ASSERT_TRUE(sorted);
    EXPECT_EQ(sorted->indices, (std::vector<std::uint32_t>{1, 3, 2, 3, 1, 0, 0, 1, 2, 2, 1, 0}));
    ASSERT_EQ(sorted->ranges.size(), 2u);
    EXPECT_EQ(sorted->ranges[0].subset, 0u);
    EXPECT_EQ(sorted->ranges[0].count, 6u);
    EXPECT_EQ(sorted->ranges[1].subset, 2u);
    EXPECT_EQ(sorted->ranges[1].first, 6u);

    gfx::MeshBuffer buffer(1, gfx::SignatureOf(s.Data()), sorted->ranges);
    EXPECT_EQ(buffer.Range(2).count, 6u);
    EXPECT_EQ(buffer.Range(1).count, 0u); // a subset the mesh lacks draws nothing
    EXPECT_EQ(buffer.Range(0xFFFFFFFFu).count, 0u);
}

TEST(SortBySubset, RejectsDataThatWouldReadPastTheBuffers)
{
    Streams s;
    s.indices = {0, 1, 4}; // index at the vertex count
    s.attributes = {0};
    EXPECT_FALSE(gfx::SortBySubset(s.Data()));

    s.indices = {0, 1, 2};
    s.attributes = {}; // no subset id for the face
    EXPECT_FALSE(gfx::SortBySubset(s.Data()));

    s.attributes = {0};
    s.normals = {{0, 0, 1}}; // fewer normals than vertices
    EXPECT_FALSE(gfx::SortBySubset(s.Data()));

    s.normals.clear();
    s.indices = {0, 1}; // not whole triangles
    EXPECT_FALSE(gfx::SortBySubset(s.Data()));
}

TEST(SortBySubset, HugeSubsetIdsAndEmptyMeshesAreFine)
{
    Streams s;
    s.indices = {0, 1, 2};
    s.attributes = {0xFFFFFFF0u};
    auto sorted = gfx::SortBySubset(s.Data());
    ASSERT_TRUE(sorted);
    EXPECT_EQ(sorted->ranges.at(0).subset, 0xFFFFFFF0u);

    Streams empty;
    empty.positions.clear();
    auto none = gfx::SortBySubset(empty.Data());
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->ranges.empty());
}

TEST(MeshSignature, ACopyOfTheStreamsIsAnotherMesh)
{
    Streams a;
    a.indices = {0, 1, 2};
    a.attributes = {0};
    Streams b = a;
    EXPECT_EQ(gfx::SignatureOf(a.Data()), gfx::SignatureOf(a.Data()));
    EXPECT_NE(gfx::SignatureOf(a.Data()), gfx::SignatureOf(b.Data()));
}

} // namespace

TEST(WeldVertices, SharesOnlyVerticesEqualInEveryStream)
{
    // Two quads side by side, each with its own four corners, as meshes are written: the shared
    // edge's corners weld where their normals agree and stay apart where they do not.
    Streams s;
    s.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {2, 1, 0}};
    s.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {1, 0, 0}, {0, 0, 1}};
    s.indices = {0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7};
    s.attributes = {0, 0, 1, 1};
    std::vector<std::uint32_t> indices = s.indices;
    const gfx::WeldedVertices welded = gfx::WeldVertices(s.Data(), indices);

    EXPECT_EQ(welded.positions.size(), 7u); // corner 4 joins corner 1; corner 6 keeps its normal
    ASSERT_EQ(welded.normals.size(), welded.positions.size());
    EXPECT_TRUE(welded.uvs.empty());
    EXPECT_TRUE(welded.colors.empty());
    ASSERT_EQ(indices.size(), s.indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i) { // every corner draws what it drew before
        ASSERT_LT(indices[i], welded.positions.size());
        EXPECT_EQ(welded.positions[indices[i]], s.positions[s.indices[i]]);
        EXPECT_EQ(welded.normals[indices[i]], s.normals[s.indices[i]]);
    }
    EXPECT_EQ(indices[6], indices[3]);
    EXPECT_NE(indices[7], indices[5]);
}
