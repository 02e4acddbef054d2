// Model files come from the internet: whatever their bytes, the reader answers with a mesh or
// a reason, never a crash, a hang, an out-of-bounds read or an allocation the data cannot back.
// Run under AddressSanitizer to make the "never" count.
#include "XSamples.h"
#include "model/MsZip.h"
#include "model/XFile.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

using model::ParseXFile;

const std::string kText = R"(xof 0303txt 0032
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
Material M { 1;0;0;1;; 4; 0;0;0;; 0;0;0;; TextureFilename { "m.png"; } }
Frame F {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
 Mesh {
  4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;;
  1; 4; 0,1,2,3;;
  MeshNormals { 1; 0;0;-1;; 1; 4; 0,0,0,0;; }
  MeshTextureCoords { 4; 0;0;, 0;1;, 1;1;, 1;0;; }
  MeshVertexColors { 1; 0; 1;1;1;1;;; }
  MeshMaterialList { 1; 1; 0;; { M } }
 }
}
)";

std::string BinaryFile()
{
    xsamples::BinaryWriter w;
    w.Name("Material").Name("M").Open().Floats({1, 0, 0, 1, 4, 0, 0, 0, 0, 0, 0});
    w.Name("TextureFilename").Open().String("m.png").Close().Close();
    w.Name("Frame").Open().Name("FrameTransformMatrix").Open();
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).Close();
    w.Name("Mesh").Open().Ints({4}).Floats({0, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0, 0}).Ints({1, 4, 0, 1, 2, 3});
    w.Name("MeshNormals").Open().Ints({1}).Floats({0, 0, -1}).Ints({1, 4, 0, 0, 0, 0}).Close();
    w.Name("MeshMaterialList").Open().Ints({1, 1, 0}).Open().Name("M").Close().Close();
    w.Close().Close();
    return w.File();
}

void ExpectFailure(const std::string& bytes, const std::string& reasonPart)
{
    const auto result = ParseXFile(bytes);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find(reasonPart), std::string::npos) << result.error();
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(XFileMalformed, SamplesLoad)
{
    for (const std::string& file :
         {kText, BinaryFile(), xsamples::Compress(kText), xsamples::Compress(BinaryFile())}) {
        const auto result = ParseXFile(file);
        ASSERT_TRUE(result.ok()) << result.error();
        EXPECT_EQ(result->mesh.FaceCount(), 2u);
    }
}

TEST(XFileMalformed, EveryTruncationFailsWithAReason)
{
    for (const std::string& file :
         {kText, BinaryFile(), xsamples::Compress(kText), xsamples::Compress(BinaryFile())}) {
        // Cut anywhere before the last closing brace, an object is left open.
        const std::size_t lastBrace =
            file.substr(0, 12) == "xof 0303txt " ? file.rfind('}') : file.size() - 2;
        for (std::size_t cut = 0; cut < lastBrace; ++cut) {
            const auto result = ParseXFile(file.substr(0, cut));
            ASSERT_FALSE(result.ok()) << "cut at " << cut;
            EXPECT_FALSE(result.error().empty());
        }
    }
}

TEST(XFileMalformed, CorruptedBytesNeverCrash)
{
    std::uint32_t seed = 12345;
    const auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (const std::string& file : {kText, BinaryFile(), xsamples::Compress(BinaryFile())}) {
        // Every byte set to a few telling values...
        for (std::size_t i = 16; i < file.size(); ++i) {
            for (unsigned char value : {0x00, 0x01, 0x7F, 0xFF}) {
                std::string bad = file;
                bad[i] = static_cast<char>(value);
                const auto result = ParseXFile(bad);
                if (!result.ok()) {
                    EXPECT_FALSE(result.error().empty());
                }
            }
        }
        // ...and random damage in several places at once.
        for (int round = 0; round < 2000; ++round) {
            std::string bad = file;
            for (int k = 0; k < 4; ++k)
                bad[16 + next() % (bad.size() - 16)] = static_cast<char>(next() & 0xFF);
            const auto result = ParseXFile(bad);
            if (!result.ok()) {
                EXPECT_FALSE(result.error().empty());
            }
        }
    }
}

TEST(XFileMalformed, CountsBeyondTheDataAreRefused)
{
    ExpectFailure(Replace(kText, "  4; 0;0;0;,", "  4294967295; 0;0;0;,"), "more than the file holds");
    ExpectFailure(Replace(kText, "  1; 4; 0,1,2,3;;", "  1000000; 4; 0,1,2,3;;"), "more than the file holds");
    ExpectFailure(Replace(kText, "  1; 4; 0,1,2,3;;", "  1; 4000000000; 0,1,2,3;;"),
                  "more than the file holds");
    ExpectFailure(Replace(kText, "MeshNormals { 1;", "MeshNormals { 99999999;"), "more than the file holds");
    ExpectFailure(Replace(kText, "MeshVertexColors { 1;", "MeshVertexColors { 3000000000;"),
                  "more than the file holds");
    ExpectFailure(Replace(kText, "MeshMaterialList { 1; 1;", "MeshMaterialList { 1; 4294967295;"),
                  "more than the file holds");
    ExpectFailure(Replace(kText, "MeshTextureCoords { 4;", "MeshTextureCoords { 5;"), "texture coordinates");
    ExpectFailure(Replace(kText, "MeshNormals { 1; 0;0;-1;; 1;", "MeshNormals { 1; 0;0;-1;; 2;"), "normals");
    ExpectFailure(Replace(kText, "4; 0,0,0,0;", "3; 0,0,0;"), "corner count");
    ExpectFailure(Replace(kText, "4; 0,0,0,0;", "4; 0,0,0,1;"), "normal index");
    ExpectFailure(Replace(kText, "MeshMaterialList { 1; 1; 0;;", "MeshMaterialList { 2; 1; 0;;"),
                  "declares 2 materials");
    ExpectFailure(Replace(kText, "MeshMaterialList { 1; 1; 0;;", "MeshMaterialList { 1; 1; 1;;"),
                  "material index");
    ExpectFailure(Replace(kText, "{ M }", "{ Missing }"), "'Missing' is not defined");
    ExpectFailure(Replace(kText, "MeshVertexColors { 1; 0;", "MeshVertexColors { 1; 4;"), "out of range");

    // A binary list whose count runs past the end of the file.
    xsamples::BinaryWriter w;
    w.Name("Mesh").Open().Token(6).Dword(0x7FFFFFFF).Dword(3);
    ExpectFailure(w.File(), "runs past the end");
}

TEST(XFileMalformed, FaceIndicesOutsideTheVerticesAreRefused)
{
    ExpectFailure(Replace(kText, "1; 4; 0,1,2,3;;", "1; 4; 0,1,2,4;;"), "uses vertex 4 of 4");
    ExpectFailure(Replace(kText, "1; 4; 0,1,2,3;;", "1; 4; 0,1,2,4294967295;;"), "uses vertex");
    ExpectFailure(Replace(kText, "1; 4; 0,1,2,3;;", "1; 2; 0,1;;"), "fewer than three corners");
    ExpectFailure(Replace(kText, "1; 4; 0,1,2,3;;", "1; 4; 0,1,2,99999999999;;"), "expected an integer");
}

TEST(XFileMalformed, StructureProblemsAreRefused)
{
    ExpectFailure("", "not a .x file");
    ExpectFailure("xof 0303txt 003", "not a .x file");
    ExpectFailure("xof 0303xyz 0032 Mesh { 0;; 0;; }", "unsupported .x format");
    ExpectFailure("xof 0303txt 0016 Mesh { 0;; 0;; }", "float size");
    ExpectFailure("xof 0101txt 0032 Mesh { 0;; 0;; }", "version");
    ExpectFailure("xof 0303txt 0032 Header { 1; 0; 1; }", "no mesh");
    ExpectFailure("xof 0303txt 0032 Mesh { 0;; 0;; } }", "'}'");
    ExpectFailure("xof 0303txt 0032 Mesh { 0;; 0;; Unknown { ", "end of file");
    ExpectFailure("xof 0303txt 0032 Mesh { 0;; 0;; Unknown { \"never closed", "unterminated string");
    ExpectFailure("xof 0303txt 0032 Mesh { 0;; 0;; Unknown { <12345 ", "GUID");
    ExpectFailure("xof 0303txt 0032 Mesh { abc; }", "expected an integer, found 'abc'");
    ExpectFailure("xof 0303txt 0032 Mesh { 1; 0;0;zz;; 0;; }", "expected a number");
    ExpectFailure("xof 0303txt 0032 Mesh { 1; 0;0;", "end of file");
    ExpectFailure("xof 0303bin 0032\x07", "truncated token");
    ExpectFailure(std::string("xof 0303bin 0032\x63\x00", 18), "unknown binary token");
}

TEST(XFileMalformed, DeepNestingIsRefusedOrSkippedWithoutRecursion)
{
    std::string frames = "xof 0303txt 0032 ";
    for (int i = 0; i < 200; ++i)
        frames += "Frame { ";
    frames += "Mesh { 0;; 0;; }";
    for (int i = 0; i < 200; ++i)
        frames += " }";
    ExpectFailure(frames, "nested too deeply");

    // Objects we skip may nest as deep as they like.
    std::string unknown = "xof 0303txt 0032 Mesh { 0;; 0;; ";
    for (int i = 0; i < 100000; ++i)
        unknown += "U{";
    for (int i = 0; i < 100000; ++i)
        unknown += "}";
    unknown += " }";
    const auto result = ParseXFile(unknown);
    EXPECT_TRUE(result.ok()) << result.error();
}

TEST(XFileMalformed, CompressedContainerProblemsAreRefused)
{
    const std::string good = xsamples::Compress(kText);
    std::string bad = good;
    bad[16] = static_cast<char>(0xFF); // stated size far beyond the data
    bad[17] = static_cast<char>(0xFF);
    bad[18] = static_cast<char>(0xFF);
    bad[19] = static_cast<char>(0x7F);
    ExpectFailure(bad, "more than allowed");
    bad = good;
    bad[16] = static_cast<char>(bad[16] + 3); // states three bytes more than the blocks give
    ExpectFailure(bad, "stated size");
    bad = good;
    bad[24] = 'X'; // signature
    ExpectFailure(bad, "signature");
    bad = good;
    bad[20] = static_cast<char>(bad[20] + 1); // block states one byte more than it holds
    ExpectFailure(bad, "");
    ExpectFailure(good.substr(0, 18), "cut short");

    // The cap holds whatever the stated size says.
    EXPECT_FALSE(model::InflateMsZip(good.substr(16), 100).ok());
}

// Geometry that is not a finite number, or that a frame transform carries past what bounds and
// spheres can hold, refuses the whole model with the reason: a model with NaN in it would put
// NaN into every surface query and pose it touches.
TEST(XFileMalformed, NonFiniteOrOverflowingGeometryIsRefusedWithTheReason)
{
    const std::string tri = "xof 0303txt 0032\nMesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;;\n";
    const std::string identity = "1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;;";
    const struct {
        std::string file;
        std::string reason;
    } cases[] = {
        {Replace(kText, "1;1;0;,", "1;nan;0;,"), "non-finite vertex 2"},
        {Replace(kText, "1;1;0;,", "1;1;-inf;,"), "non-finite vertex 2"},
        {Replace(kText, "0;0;-1;;", "0;nan;-1;;"), "non-finite normal 0"},
        {Replace(kText, "1;1;, 1;0;;", "1;1;, 1;inf;;"), "non-finite texture coordinate 3"},
        {Replace(kText, "0,0,0,1;;", "0,0,inf,1;;"), "non-finite frame transform"},
        {Replace(kText, "0,0,0,1;;", "0,0,nan,1;;"), "non-finite frame transform"},
        // Finite, but beyond what a sum of squares can hold, as read or once transformed.
        {Replace(kText, "1;1;0;,", "1e38;1;0;,"), "vertex 2 is out of range"},
        {Replace(Replace(kText, "1;1;0;,", "1e15;1;0;,"), "1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;;",
                 "1e10,0,0,0, 0,1e10,0,0, 0,0,1e10,0, 0,0,0,1;;"),
         "vertex 2 overflows its frame transform"},
        // The second mesh counts on from the first one's vertices.
        {tri + "}\nMesh { 3; 0;0;0;, 0;nan;0;, 1;0;0;; 1; 3;0,1,2;; }\n", "non-finite vertex 4"},
        {"xof 0303txt 0032\nFrame { FrameTransformMatrix { " + identity + " }\n" + tri.substr(17) + "} }\n", ""},
    };
    for (const auto& c : cases) {
        for (const std::string& file : {c.file, xsamples::Compress(c.file)}) {
            const auto result = ParseXFile(file);
            if (c.reason.empty()) {
                EXPECT_TRUE(result.ok()) << result.error();
                continue;
            }
            ASSERT_FALSE(result.ok()) << c.reason;
            EXPECT_EQ(result.error(), c.reason);
        }
    }

    // The binary form carries raw float bits: a NaN there is caught the same way.
    xsamples::BinaryWriter w;
    w.Name("Mesh").Open().Ints({3}).Floats({0, 0, 0, 0, std::nan(""), 0, 1, 0, 0}).Ints({1, 3, 0, 1, 2}).Close();
    const auto binary = ParseXFile(w.File());
    ASSERT_FALSE(binary.ok());
    EXPECT_EQ(binary.error(), "non-finite vertex 1");
}

} // namespace
