// The .x reader on files written here: the loader rules (merging, frames, normals, fans,
// materials, colours), the three encodings, and the quirks of real exporters.
#include "XSamples.h"
#include "common/TestSupport.h"
#include "math/Matrix.h"
#include "model/XFile.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

using math::Vec3;
using model::LoadedMesh;
using model::ParseXFile;

LoadedMesh Load(const std::string& bytes)
{
    auto result = ParseXFile(bytes);
    EXPECT_TRUE(result.ok()) << result.error();
    return result.ok() ? std::move(result).value() : LoadedMesh{};
}

void ExpectSameMesh(const LoadedMesh& a, const LoadedMesh& b)
{
    ASSERT_EQ(a.mesh.positions.size(), b.mesh.positions.size());
    for (std::size_t i = 0; i < a.mesh.positions.size(); ++i)
        EXPECT_EQ(a.mesh.positions[i], b.mesh.positions[i]) << i;
    ASSERT_EQ(a.mesh.normals.size(), b.mesh.normals.size());
    for (std::size_t i = 0; i < a.mesh.normals.size(); ++i)
        EXPECT_EQ(a.mesh.normals[i], b.mesh.normals[i]) << i;
    ASSERT_EQ(a.mesh.uvs.size(), b.mesh.uvs.size());
    for (std::size_t i = 0; i < a.mesh.uvs.size(); ++i) {
        EXPECT_EQ(a.mesh.uvs[i].x, b.mesh.uvs[i].x);
        EXPECT_EQ(a.mesh.uvs[i].y, b.mesh.uvs[i].y);
    }
    EXPECT_EQ(a.mesh.colors, b.mesh.colors);
    EXPECT_EQ(a.mesh.indices, b.mesh.indices);
    EXPECT_EQ(a.mesh.attributes, b.mesh.attributes);
    ASSERT_EQ(a.materials.size(), b.materials.size());
    for (std::size_t i = 0; i < a.materials.size(); ++i) {
        EXPECT_EQ(a.materials[i].material, b.materials[i].material) << i;
        EXPECT_EQ(a.materials[i].textureFile, b.materials[i].textureFile) << i;
    }
    EXPECT_EQ(a.materialsFromFile, b.materialsFromFile);
    EXPECT_EQ(a.normalsInFile, b.normalsInFile);
}

std::string ToCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A file that uses most of what the reader understands, in the layout exporters write.
const std::string kSample = R"(xof 0303txt 0032
template Vector {
 <3D82AB5E-62DA-11CF-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}
template Material {
 <3D82AB4D-62DA-11CF-AB39-0020AF71E433>
 ColorRGBA faceColor;
 FLOAT power;
 ColorRGB specularColor;
 ColorRGB emissiveColor;
 [...]
}
// A comment with { braces } and "quotes"
# another comment
Header { 1; 0; 1; }
Material Red {
 1.0;0.0;0.0;1.0;;
 32;
 0.25;0.5;0.75;;
 0.1;0.2;0.3;;
 TextureFileName { "art\\red.png"; }
}
Mesh Quad {
 5;
 0.0;0.0;0.0;,
 1.0;0.0;0.0;,
 1.0;1.0;0.0;,
 0.0;1.0;0.0;,
 2.0;2.0;2.0;;
 2;
 4;0,1,2,3;,
 3;0,2,1;;
 MeshNormals {
  2;
  0.0;0.0;-2.0;,
  0.0;0.0;1.0;;
  2;
  4;0,0,0,0;,
  3;1,1,1;;
 }
 MeshMaterialList {
  2;
  2;
  1,
  0;;
  { Red }
  Material Blue { 0;0;1;0.5;; 5.0; 0;0;0;; 0;0;0;; }
 }
 MeshTextureCoords { 5; 0;0;, 1;0;, 1;1;, 0;1;, 0.5;0.5;; }
 UnknownThing { 1; "x{y}"; Nested { 2; } }
}
)";

// The same model in binary tokens.
std::string BinarySample(int floatSize)
{
    xsamples::BinaryWriter w(floatSize);
    w.Token(31).Name("Vector").Open().Guid().Token(42).Name("x").Token(20).Close(); // a template
    w.Name("Header").Open().Ints({1, 0, 1}).Close();
    w.Name("Material").Name("Red").Open().Floats({1, 0, 0, 1, 32, 0.25, 0.5, 0.75, 0.1, 0.2, 0.3});
    w.Name("TextureFileName").Open().String("art\\red.png").Close().Close();
    w.Name("Mesh").Name("Quad").Open().Guid();
    w.Ints({5}).Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 2, 2});
    // Lists split and merged differently from the members they carry.
    w.Ints({2, 4, 0, 1}).Ints({2, 3}).Integer(3).Ints({0, 2, 1});
    w.Name("MeshNormals")
        .Open()
        .Ints({2})
        .Floats({0, 0, -2, 0, 0, 1})
        .Ints({2, 4, 0, 0, 0, 0, 3, 1, 1, 1})
        .Close();
    w.Name("MeshMaterialList").Open().Ints({2, 2, 1, 0});
    w.Open().Name("Red").Close();
    w.Name("Material").Name("Blue").Open().Floats({0, 0, 1, 0.5, 5, 0, 0, 0, 0, 0, 0}).Close();
    w.Close();
    w.Name("MeshTextureCoords").Open().Ints({5}).Floats({0, 0, 1, 0, 1, 1, 0, 1, 0.5, 0.5}).Close();
    w.Name("UnknownThing")
        .Name("")
        .Open()
        .Ints({1})
        .String("x{y}")
        .Name("Nested")
        .Open()
        .Integer(2)
        .Close()
        .Close();
    w.Close();
    return w.File();
}

TEST(XFileSample, ReadsEveryPartOfTheSample)
{
    const LoadedMesh m = Load(kSample);
    // 5 vertices; vertices 0, 2 and 1 are used with both normals, so each gets one copy after
    // the originals, in the order the corners need them.
    ASSERT_EQ(m.mesh.VertexCount(), 8u);
    EXPECT_EQ(m.mesh.positions[4], (Vec3{2, 2, 2}));
    EXPECT_EQ(m.mesh.positions[5], m.mesh.positions[0]);
    EXPECT_EQ(m.mesh.positions[6], m.mesh.positions[2]);
    EXPECT_EQ(m.mesh.positions[7], m.mesh.positions[1]);
    EXPECT_EQ(m.mesh.normals[0], (Vec3{0, 0, -1})); // normalised
    EXPECT_EQ(m.mesh.normals[5], (Vec3{0, 0, 1}));
    EXPECT_EQ(m.mesh.normals[4], (Vec3{0, 0, 0})); // used by no face
    EXPECT_EQ(m.mesh.uvs[6].x, 1.0f);              // copies keep their vertex's uv
    EXPECT_EQ(m.mesh.uvs[4].x, 0.5f);
    // The quad becomes a fan, the triangle uses the copies.
    EXPECT_EQ(m.mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 5, 6, 7}));
    EXPECT_EQ(m.mesh.attributes, (std::vector<std::uint32_t>{1, 1, 0}));
    EXPECT_TRUE(m.normalsInFile);
    EXPECT_TRUE(m.materialsFromFile);

    ASSERT_EQ(m.materials.size(), 2u);
    const gfx::Material& red = m.materials[0].material;
    EXPECT_EQ(red.diffuse, (gfx::Color{1, 0, 0, 1}));
    EXPECT_EQ(red.power, 32.0f);
    EXPECT_EQ(red.specular, (gfx::Color{0.25f, 0.5f, 0.75f, 1}));
    EXPECT_EQ(red.emissive, (gfx::Color{0.1f, 0.2f, 0.3f, 1}));
    EXPECT_EQ(red.ambient, (gfx::Color{0, 0, 0, 1}));
    EXPECT_EQ(m.materials[0].textureFile, std::optional<std::string>("art\\\\red.png")); // as stored
    EXPECT_EQ(m.materials[1].material.diffuse, (gfx::Color{0, 0, 1, 0.5f}));
    EXPECT_FALSE(m.materials[1].textureFile);
}

TEST(XFileSample, CrLfLineEndsReadTheSame)
{
    ExpectSameMesh(Load(ToCrLf(kSample)), Load(kSample));
}

TEST(XFileSample, BinaryFormsReadLikeText)
{
    LoadedMesh text = Load(kSample);
    // The binary writer stores the texture name with one backslash.
    text.materials[0].textureFile = "art\\red.png";
    ExpectSameMesh(Load(BinarySample(4)), text);
    ExpectSameMesh(Load(BinarySample(8)), text);
}

TEST(XFileSample, CompressedFormsReadLikeTheirTwins)
{
    ExpectSameMesh(Load(xsamples::Compress(kSample)), Load(kSample));
    ExpectSameMesh(Load(xsamples::Compress(BinarySample(4))), Load(BinarySample(4)));
    // Small blocks, each referring back into the ones before it.
    ExpectSameMesh(Load(xsamples::Compress(kSample, 100)), Load(kSample));
    ExpectSameMesh(Load(xsamples::Compress(kSample, 100, false)), Load(kSample));
}

TEST(XFileSample, LargeCompressedTextSpansManyBlocks)
{
    // A grid big enough for several 32 KiB blocks, with lines that repeat across blocks.
    std::string text = "xof 0303txt 0032\nMesh {\n";
    const int n = 60;
    text += std::to_string(n * n) + ";\n";
    for (int i = 0; i < n * n; ++i) {
        text += std::to_string(i % n) + ".000000;" + std::to_string(i / n) + ".000000;0.000000;" +
                (i + 1 < n * n ? ",\n" : ";\n");
    }
    const int quads = (n - 1) * (n - 1);
    text += std::to_string(quads) + ";\n";
    for (int q = 0; q < quads; ++q) {
        const int i = (q / (n - 1)) * n + q % (n - 1);
        text += "4;" + std::to_string(i) + "," + std::to_string(i + 1) + "," + std::to_string(i + n + 1) +
                "," + std::to_string(i + n) + (q + 1 < quads ? ";,\n" : ";;\n");
    }
    text += "}\n";
    ASSERT_GT(text.size(), 3u * 32768);
    const LoadedMesh plain = Load(text);
    EXPECT_EQ(plain.mesh.FaceCount(), 2u * quads);
    ExpectSameMesh(Load(xsamples::Compress(text)), plain);
}

// The loader tests of an open reimplementation of the original loader.
TEST(XFileLoaderRules, FrameTransformsAccumulateInFileOrder)
{
    const LoadedMesh m = Load(R"(xof 0302txt 0064
Frame {
 Mesh { 3; 0;0;0;, 0;1;0;, 1;1;0;; 1; 3; 0,1,2;; }
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,2.0,1.0;; }
 Mesh { 3; 0;0;0;, 0;1;0;, 2;1;0;; 1; 3; 0,1,2;; }
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,3.0,1.0;; }
 Mesh { 3; 0;0;0;, 0;1;0;, 3;1;0;; 1; 3; 0,1,2;; }
}
)");
    const std::vector<Vec3> expected = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 2}, {0, 1, 2},
                                        {2, 1, 2}, {0, 0, 5}, {0, 1, 5}, {3, 1, 5}};
    ASSERT_EQ(m.mesh.positions.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(m.mesh.positions[i], expected[i]) << i;
    EXPECT_EQ(m.mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(XFileLoaderRules, ChildFrameMatrixActsBeforeItsParents)
{
    // Parent turns a quarter about y, child moves along x: the child's move happens first,
    // then the turn carries it to −z. Normals turn with the frame but do not move.
    const LoadedMesh m = Load(R"(xof 0303txt 0032
Frame Parent {
 FrameTransformMatrix { 0,0,-1,0, 0,1,0,0, 1,0,0,0, 0,0,0,1;; }
 Frame Child {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,0,0,1;; }
  Mesh { 3; 0;0;0;, 0;1;0;, 0;0;1;; 1; 3; 0,1,2;;
   MeshNormals { 1; 1;0;0;; 1; 3; 0,0,0;; }
  }
 }
}
)");
    ASSERT_EQ(m.mesh.positions.size(), 3u);
    EXPECT_NEAR(m.mesh.positions[0].x, 0, 1e-6);
    EXPECT_NEAR(m.mesh.positions[0].z, -1, 1e-6);
    EXPECT_NEAR(m.mesh.positions[2].x, 1, 1e-6); // (0,0,1) moved to (1,0,1), turned to (1,0,−1)
    EXPECT_NEAR(m.mesh.positions[2].z, -1, 1e-6);
    EXPECT_NEAR(m.mesh.normals[0].x, 0, 1e-6);
    EXPECT_NEAR(m.mesh.normals[0].z, -1, 1e-6);
}

TEST(XFileLoaderRules, BoxWithSixFaceNormalsBecomes24Vertices)
{
    const LoadedMesh m = Load(R"(xof 0303txt 0032
Mesh {
 8;
 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;, 0;0;1;, 0;1;1;, 1;1;1;, 1;0;1;;
 6;
 4;0,1,2,3;, 4;7,6,5,4;, 4;4,5,1,0;, 4;3,2,6,7;, 4;1,5,6,2;, 4;4,0,3,7;;
 MeshNormals {
  6;
  0;0;-1;, 0;0;1;, -1;0;0;, 1;0;0;, 0;1;0;, 0;-1;0;;
  6;
  4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,5,5,5;;
 }
}
)");
    ASSERT_EQ(m.mesh.VertexCount(), 24u);
    ASSERT_EQ(m.mesh.FaceCount(), 12u);
    // The 8 originals first, unchanged; the first copy is vertex 4 as face 2 uses it again.
    EXPECT_EQ(m.mesh.positions[1], (Vec3{0, 1, 0}));
    EXPECT_EQ(m.mesh.positions[8], (Vec3{0, 0, 1}));
    EXPECT_EQ(m.mesh.normals[8], (Vec3{-1, 0, 0}));
    // Every corner carries its face's normal.
    const Vec3 faceNormals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (std::size_t t = 0; t < 12; ++t) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(m.mesh.normals[m.mesh.indices[3 * t + k]], faceNormals[t / 2]) << t;
    }
}

TEST(XFileLoaderRules, PolygonsBecomeFans)
{
    const LoadedMesh m = Load("xof 0303txt 0032 Mesh { 4; 0;0;0;, 0;1;0;, 1;0;0;, 1;1;0;; 1; 4; 0,1,3,2;; }");
    EXPECT_EQ(m.mesh.indices, (std::vector<std::uint32_t>{0, 1, 3, 0, 3, 2}));
}

TEST(XFileLoaderRules, VertexColoursAreClampedAndRounded)
{
    const LoadedMesh m = Load(R"(xof 0303txt 0032
Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;;
 MeshVertexColors { 2; 0;1.0;0.0;0.0;0.1;;, 2;2.0;-1.0;0.5;1.0;;; }
}
)");
    ASSERT_EQ(m.mesh.colors.size(), 3u);
    EXPECT_EQ(m.mesh.colors[0], 0x1AFF0000u); // alpha 0.1 → 0x1A
    EXPECT_EQ(m.mesh.colors[1], 0x00FFFFFFu); // not listed: white, alpha 0
    EXPECT_EQ(m.mesh.colors[2], 0xFFFF0080u);
}

TEST(XFileLoaderRules, NoMaterialListGivesTheDefaultMaterial)
{
    const LoadedMesh m = Load("xof 0303txt 0032 Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;; }");
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_FALSE(m.materialsFromFile);
    EXPECT_FALSE(m.normalsInFile);
    EXPECT_TRUE(m.mesh.normals.empty());
    const gfx::Material& d = m.materials[0].material;
    EXPECT_EQ(d.diffuse, (gfx::Color{0.5f, 0.5f, 0.5f, 0}));
    EXPECT_EQ(d.specular, (gfx::Color{0.5f, 0.5f, 0.5f, 0}));
    EXPECT_EQ(d.ambient, gfx::Color{});
    EXPECT_EQ(d.emissive, gfx::Color{});
    EXPECT_EQ(d.power, 0.0f);
    EXPECT_FALSE(m.materials[0].textureFile);
    EXPECT_EQ(m.mesh.attributes, std::vector<std::uint32_t>{0});
}

TEST(XFileLoaderRules, MergedMeshesOffsetIndicesAndSubsets)
{
    const LoadedMesh m = Load(R"(xof 0303txt 0032
Material Shared { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }
Mesh A { 3; 0;0;0;, 0;1;0;, 1;0;0;; 2; 3; 0,1,2;, 3; 2,1,0;;
 MeshMaterialList { 2; 2; 0, 1;; {Shared} { Shared } }
}
Mesh Bare { 3; 0;0;1;, 0;1;1;, 1;0;1;; 1; 3; 0,1,2;; }
Frame { Mesh C { 4; 0;0;2;, 0;1;2;, 1;0;2;, 1;1;2;; 1; 3; 1,2,3;;
  MeshMaterialList { 1; 1; 0;; {Shared} }
  MeshNormals { 1; 0;1;0;; 1; 3; 0,0,0;; }
 }
}
)");
    EXPECT_EQ(m.mesh.indices, (std::vector<std::uint32_t>{0, 1, 2, 2, 1, 0, 3, 4, 5, 7, 8, 9}));
    // A's two materials, a default one for the mesh without a list, then C's.
    EXPECT_EQ(m.mesh.attributes, (std::vector<std::uint32_t>{0, 1, 2, 3}));
    ASSERT_EQ(m.materials.size(), 4u);
    EXPECT_EQ(m.materials[2].material.diffuse.a, 0.0f);
    EXPECT_EQ(m.materials[3].material.diffuse, (gfx::Color{1, 1, 1, 1}));
    // One mesh gives normals, so the others get computed ones rather than none.
    ASSERT_EQ(m.mesh.normals.size(), m.mesh.positions.size());
    EXPECT_EQ(m.mesh.normals[3], (Vec3{0, 0, -1}));
    EXPECT_EQ(m.mesh.normals[8], (Vec3{0, 1, 0}));
    EXPECT_EQ(m.mesh.normals[6], (Vec3{0, 0, 0})); // C's unused vertex
}

TEST(XFileLoaderRules, ShortFaceIndexListRepeatsItsLastIndex)
{
    const LoadedMesh m = Load(R"(xof 0303txt 0032
Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 4; 3;0,1,2;, 3;0,1,2;, 3;0,1,2;, 3;0,1,2;;
 MeshMaterialList { 3; 2; 0, 2;;
  Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }
  Material { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; }
  Material { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; }
 }
}
)");
    EXPECT_EQ(m.mesh.attributes, (std::vector<std::uint32_t>{0, 2, 2, 2}));
}

TEST(XFileQuirks, NumbersAsExportersWriteThem)
{
    // Integers for floats, exponents, a '+', commas and extra separators at odd places,
    // comments after values, no white space at all.
    const LoadedMesh m = Load("xof 0303txt 0032\nMesh{4;1;-2.5e1;+3.;,2;-1;1e1;;;,-1;0;0;,\n"
                              "0;0;0;// trailing comment\n;2;3;0,1,2;;;3;0,2,3;,}");
    ASSERT_EQ(m.mesh.VertexCount(), 4u);
    EXPECT_EQ(m.mesh.positions[0], (Vec3{1, -25, 3}));
    EXPECT_EQ(m.mesh.positions[1], (Vec3{2, -1, 10}));
    EXPECT_EQ(m.mesh.FaceCount(), 2u);

    // The Windows runtime's NaN and infinity are numbers to the reader; a model holding them is
    // then refused for what they are, not for its syntax.
    for (const char* value : {"1.#QNAN0", "-1.#IND00", "1.#INF00", "-1.#INF00"}) {
        const auto refused = model::ParseXFile(std::string("xof 0303txt 0032\nMesh{3;0;0;0;,") + value +
                                               ";0;0;,1;0;0;;1;3;0,1,2;;}");
        ASSERT_FALSE(refused.ok()) << value;
        EXPECT_EQ(refused.error(), "non-finite vertex 1") << value;
    }
}

TEST(XFileQuirks, UndeclaredAndUnknownObjectsAreSkipped)
{
    const LoadedMesh m = Load(R"(xof 0302txt 0064
AnimationSet { Animation { { Frame1 } AnimationKey { 0; 1; 0; 4; 1,0,0,0;;; } } }
PhysicalMaterial { "名前"; 0.5; Inner { Deeper { "}"; } } }
Mesh name.with-odd_chars { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;;
 VertexDuplicationIndices { 3; 3; 0, 1, 2; }
 MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;;
   EffectInstance { "x.fx"; } TextureFilename { "a.png"; } TextureFilename { "b.png"; } } }
}
)");
    EXPECT_EQ(m.mesh.FaceCount(), 1u);
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_EQ(m.materials[0].textureFile, std::optional<std::string>("a.png"));
}

TEST(XFileQuirks, EmptyMeshIsValid)
{
    const LoadedMesh m = Load("xof 0303txt 0032 Mesh { 0;; 0;; }");
    EXPECT_TRUE(m.mesh.empty());
    EXPECT_EQ(m.materials.size(), 1u);
}

TEST(LoadXFile, FindsFilesInAnyLetterCaseAndReportsMissingOnes)
{
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.File("Station.X"), kSample);
    const auto loaded = model::LoadXFile(dir.File("station.x"));
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_EQ(loaded->mesh.FaceCount(), 3u);
    const auto missing = model::LoadXFile(dir.File("other.x"));
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("cannot open"), std::string::npos);
    EXPECT_FALSE(model::LoadXFile(dir.Path().string()).ok()); // a folder
}

} // namespace
