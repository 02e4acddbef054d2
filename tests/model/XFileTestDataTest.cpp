// Real .x files written by other people's exporters and hand-written samples. The expected
// numbers were read from the files: vertex and face lists, material lists, frame matrices.
#include "common/TestSupport.h"
#include "model/MeshBounds.h"
#include "model/ModelTexture.h"
#include "model/XFile.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>

namespace {

struct Expected {
    const char* file;
    std::size_t fileVertices; // as listed in the file, before copies for normals
    std::size_t vertices;     // after loading; 0: only checked against fileVertices and the corners
    std::size_t triangles;    // faces of n corners count n − 2
    std::size_t subsets;      // distinct material indices in use
    std::size_t materials;
    bool normals;
    const char* texture; // what the one-texture rule finds beside the file, "" for none
    // [minx, maxx, miny, maxy, minz, maxz] from the vertex lists and frame matrices; NaN: not checked
    float box[6];
};

constexpr float kNo = NAN;

const Expected kFiles[] = {
    {"assimp/test_cube_text.x", 24, 24, 12, 1, 1, true, "", {-1, 1, -1.000001f, 1, -1, 1}},
    {"assimp/test_cube_binary.x", 24, 24, 12, 1, 1, true, "", {-1, 1, -1.000001f, 1, -1, 1}},
    {"assimp/test_cube_compressed.x", 24, 24, 12, 1, 1, true, "", {-1, 1, -1.000001f, 1, -1, 1}},
    {"assimp/test.x",
     24,
     24,
     12,
     1,
     1,
     true,
     "test.png",
     {-0.820374f, 0.820374f, -0.68044f, 0.960307f, -0.820374f, 0.820374f}},
    // The frame moves the box down by 0.492126.
    {"assimp/kwxport_test_cubewithvcolors.x",
     24,
     24,
     12,
     3,
     3,
     true,
     "bottom.tga",
     {-0.492126f, 0.492126f, -0.492126f, 0.492126f, -0.492126f, 0.492126f}},
    {"assimp/fromtruespace_bin32.x", 4132, 4132, 6656, 1, 1, true, "", {kNo, kNo, kNo, kNo, kNo, kNo}},
    {"dxsdk/tiger.x",
     303,
     303,
     602,
     1,
     1,
     false,
     "tiger.bmp",
     {-0.229189f, 0.229189f, -0.697089f, 0.697089f, -1.51848f, 1.51848f}},
    // 26 triangles, 346 quads, a pentagon and four 20-gons in nine meshes.
    {"dxsdk/heli.x",
     421,
     0,
     793,
     9,
     9,
     true,
     "",
     {-6.06257f, 6.06257f, -1.499825f, 1.499825f, -6.811285f, 6.811285f}},
    {"dxsdk/Cube.x", 24, 24, 12, 1, 1, false, "", {-0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f}},
    {"dxsdk/cell.x", 24, 24, 12, 3, 3, true, "cellfloor.jpg", {-4, 4, -3, 3, -6, 6}},
    {"dxsdk/acropolis_ground.x", 15, 15, 16, 1, 1, true, "", {kNo, kNo, 0, 0, kNo, kNo}},
    {"dxsdk/sphere0.x", 56, 56, 108, 1, 1, true, "", {kNo, kNo, kNo, kNo, kNo, kNo}},
    {"dxsdk/ball.x", 672, 672, 224, 1, 1, true, "", {kNo, kNo, kNo, kNo, kNo, kNo}},
    {"dxsdk/Dwarf.x", 15806, 15806, 5270, 9, 9, true, "", {kNo, kNo, kNo, kNo, kNo, kNo}},
    {"irrlicht/coolguy_opt.x", 272, 272, 136, 1, 1, true, "", {kNo, kNo, kNo, kNo, kNo, kNo}},
    // The first texture is "tex\\Cookie.png": only its bare name is looked for beside the file.
    {"springhead/grCookie.x",
     82,
     0,
     160,
     2,
     3,
     true,
     "",
     {-0.02571f, 0.02571f, -0.00397f, 0.00414f, -0.02571f, 0.02571f}},
    // Six quads with a normal each: every corner its own vertex. Its texture is not there.
    {"springhead/grFloor.x",
     20,
     24,
     12,
     1,
     5,
     true,
     "",
     {-11.34677f, 11.34677f, -1.71995f, -0.01406f, -11.34677f, 11.34677f}},
    {"springhead/negi111.x",
     8,
     24,
     12,
     1,
     1,
     true,
     "newnegi_tex3d_0.PNG",
     {-0.005f, 0.005f, -0.005f, 0.005f, -0.005f, 0.005f}},
};

TEST(XFileTestData, EveryFileLoadsWithTheCountsItStates)
{
    KORVELA_REQUIRE_TESTDATA(data);
    for (const Expected& e : kFiles) {
        SCOPED_TRACE(e.file);
        const std::string path = (data / "xfiles" / e.file).string();
        const auto loaded = model::LoadXFile(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error();
        const model::Mesh& mesh = loaded->mesh;
        EXPECT_EQ(mesh.FaceCount(), e.triangles);
        EXPECT_EQ(mesh.attributes.size(), e.triangles);
        if (e.vertices > 0) {
            EXPECT_EQ(mesh.VertexCount(), e.vertices);
        } else {
            EXPECT_GT(mesh.VertexCount(), e.fileVertices);
            EXPECT_LE(mesh.VertexCount(), mesh.indices.size());
        }
        std::set<std::uint32_t> used(mesh.attributes.begin(), mesh.attributes.end());
        EXPECT_EQ(used.size(), e.subsets);
        EXPECT_EQ(loaded->materials.size(), e.materials);
        for (std::uint32_t id : used)
            EXPECT_LT(id, loaded->materials.size());
        for (std::uint32_t index : mesh.indices)
            ASSERT_LT(index, mesh.VertexCount());
        EXPECT_EQ(loaded->normalsInFile, e.normals);
        EXPECT_EQ(mesh.normals.size(), e.normals ? mesh.VertexCount() : 0u);

        const model::MeshBox box = model::ComputeBox(mesh);
        const float got[6] = {box.minX, box.maxX, box.minY, box.maxY, box.minZ, box.maxZ};
        for (int k = 0; k < 6; ++k) {
            if (!std::isnan(e.box[k])) {
                EXPECT_NEAR(got[k], e.box[k], 1e-5f) << "box " << k;
            }
        }

        const std::string base = path.substr(0, path.size() - 2);
        const auto texture = model::FindModelTexture(base, loaded->materials);
        EXPECT_EQ(texture ? std::filesystem::path(*texture).filename().string() : std::string(), e.texture);
    }
}

TEST(XFileTestData, TheThreeFormsOfTheCubeGiveTheSameMesh)
{
    KORVELA_REQUIRE_TESTDATA(data);
    const auto text = model::LoadXFile((data / "xfiles/assimp/test_cube_text.x").string());
    const auto binary = model::LoadXFile((data / "xfiles/assimp/test_cube_binary.x").string());
    const auto compressed = model::LoadXFile((data / "xfiles/assimp/test_cube_compressed.x").string());
    ASSERT_TRUE(text.ok() && binary.ok() && compressed.ok());
    for (const auto* other : {&binary, &compressed}) {
        const model::Mesh& a = text->mesh;
        const model::Mesh& b = (*other)->mesh;
        ASSERT_EQ(a.positions.size(), b.positions.size());
        for (std::size_t i = 0; i < a.positions.size(); ++i) {
            EXPECT_EQ(a.positions[i], b.positions[i]);
            EXPECT_EQ(a.normals[i], b.normals[i]);
            EXPECT_EQ(a.uvs[i].x, b.uvs[i].x);
            EXPECT_EQ(a.uvs[i].y, b.uvs[i].y);
        }
        EXPECT_EQ(a.indices, b.indices);
        EXPECT_EQ(a.attributes, b.attributes);
        // The text file rounds the binary file's material values to six decimals.
        ASSERT_EQ((*other)->materials.size(), 1u);
        const gfx::Material& t = text->materials[0].material;
        const gfx::Material& o = (*other)->materials[0].material;
        EXPECT_NEAR(t.diffuse.r, o.diffuse.r, 1e-6);
        EXPECT_NEAR(t.specular.g, o.specular.g, 1e-6);
        EXPECT_NEAR(t.power, o.power, 1e-4);
    }
    // The top-level material the mesh refers to by name.
    const gfx::Material& m = text->materials[0].material;
    EXPECT_EQ(m.diffuse, (gfx::Color{0.639216f, 0.639216f, 0.639216f, 1}));
    EXPECT_EQ(m.power, 96.078430f);
    EXPECT_EQ(m.specular, (gfx::Color{0.498039f, 0.498039f, 0.498039f, 1}));
    EXPECT_EQ(m.emissive, (gfx::Color{0, 0, 0, 1}));
    EXPECT_EQ(m.ambient, (gfx::Color{0, 0, 0, 1}));
}

TEST(XFileTestData, VertexColoursAndTexturesComeThrough)
{
    KORVELA_REQUIRE_TESTDATA(data);
    const auto cube = model::LoadXFile((data / "xfiles/dxsdk/Cube.x").string());
    ASSERT_TRUE(cube.ok());
    ASSERT_EQ(cube->mesh.colors.size(), 24u);
    EXPECT_FALSE(cube->materialsFromFile);
    const auto cell = model::LoadXFile((data / "xfiles/dxsdk/cell.x").string());
    ASSERT_TRUE(cell.ok());
    EXPECT_EQ(cell->materials[0].textureFile, std::optional<std::string>("cellfloor.jpg"));
    EXPECT_EQ(cell->materials[0].material.diffuse, (gfx::Color{0.6f, 0.6f, 1, 1}));
    EXPECT_EQ(cell->materials[0].material.power, 40.0f);
}

} // namespace
