// Removing vertex colours rewrites the user's own model file: it must never lose it.
#include "model/VertexColourRemoval.h"

#include "common/TestSupport.h"
#include "model/XFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using Outcome = model::VertexColourRemoval::Outcome;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

const std::string kWithColours = "xof 0303txt 0032\r\n"
                                 "Mesh {\r\n"
                                 " 3; 0;0;0;, 0;1;0;, 1;0;0;;\r\n"
                                 " 1; 3; 0,1,2;;\r\n"
                                 " MeshVertexColors {\r\n"
                                 "  1;\r\n"
                                 "  0;1.0;0.0;0.0;1.0;;;\r\n"
                                 " }\r\n"
                                 " MeshTextureCoords { 3; 0;0;, 0;1;, 1;0;; }\r\n"
                                 " MeshVertexColors {\r\n"
                                 "  1; 1;0.0;1.0;0.0;1.0;;;\r\n"
                                 " }\r\n"
                                 "}\r\n";

const std::string kWithoutColours = "xof 0303txt 0032\r\n"
                                    "Mesh {\r\n"
                                    " 3; 0;0;0;, 0;1;0;, 1;0;0;;\r\n"
                                    " 1; 3; 0,1,2;;\r\n"
                                    " MeshTextureCoords { 3; 0;0;, 0;1;, 1;0;; }\r\n"
                                    "}\r\n";

TEST(RemoveVertexColours, RemovesEveryBlockAndKeepsCrLf)
{
    TempDir dir;
    const std::string base = dir.File("model");
    WriteBytes(base + ".x", kWithColours);
    const auto result = model::RemoveVertexColours(base);
    EXPECT_EQ(result.outcome, Outcome::Changed) << result.reason;
    EXPECT_EQ(ReadBytes(base + ".x"), kWithoutColours);
    // The model still loads, now without colours; a second run finds nothing to do.
    const auto loaded = model::LoadXFile(base + ".x");
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_TRUE(loaded->mesh.colors.empty());
    EXPECT_EQ(model::RemoveVertexColours(base).outcome, Outcome::Unchanged);
    // Nothing is left behind in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(RemoveVertexColours, LfFilesKeepLf)
{
    TempDir dir;
    const std::string base = dir.File("lf");
    std::string lf, expected;
    for (char c : kWithColours)
        if (c != '\r') lf += c;
    for (char c : kWithoutColours)
        if (c != '\r') expected += c;
    WriteBytes(base + ".x", lf);
    EXPECT_EQ(model::RemoveVertexColours(base).outcome, Outcome::Changed);
    EXPECT_EQ(ReadBytes(base + ".x"), expected);
}

TEST(RemoveVertexColours, UnclosedBlockLeavesTheFileAsItWas)
{
    TempDir dir;
    const std::string base = dir.File("open");
    const std::string text = "xof 0303txt 0032\nMesh {\n MeshVertexColors {\n  1; 0;1;1;1;1;;;\n  }\n}\n";
    WriteBytes(base + ".x", text);
    const auto result = model::RemoveVertexColours(base);
    EXPECT_EQ(result.outcome, Outcome::Unchanged);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(ReadBytes(base + ".x"), text);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(RemoveVertexColours, OnlyTheExactLinesCount)
{
    TempDir dir;
    const std::string base = dir.File("indented");
    // Two spaces, a tab, trailing text: not the line the filter looks for.
    const std::string text = "xof 0303txt 0032\nMesh {\n  MeshVertexColors {\n  }\n\tMeshVertexColors {\n"
                             " MeshVertexColors { // x\n}\n";
    WriteBytes(base + ".x", text);
    EXPECT_EQ(model::RemoveVertexColours(base).outcome, Outcome::Unchanged);
    EXPECT_EQ(ReadBytes(base + ".x"), text);
}

TEST(RemoveVertexColours, AFileNamedLikeTheOldTemporaryFileSurvives)
{
    TempDir dir;
    const std::string base = dir.File("car");
    WriteBytes(base + ".x", kWithColours);
    WriteBytes(base + "TMP.txt", "the user's own notes");
    EXPECT_EQ(model::RemoveVertexColours(base).outcome, Outcome::Changed);
    EXPECT_EQ(ReadBytes(base + "TMP.txt"), "the user's own notes");
}

TEST(RemoveVertexColours, AFailedWriteLeavesTheOriginal)
{
    TempDir dir;
    const std::string base = dir.File("full");
    WriteBytes(base + ".x", kWithColours);
    // A replacement whose writes fail after the first chunk, as on a full disk: the filter
    // must stop and report, and the original must not be touched.
    int chunks = 0;
    const auto result = model::RemoveVertexColours(base, [&](const std::string&, const auto& produce) {
        const bool produced = produce([&](std::string_view) { return ++chunks < 2; });
        EXPECT_FALSE(produced);
        return platform::Status(platform::Fail("no space left on device"));
    });
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.reason, "no space left on device");
    EXPECT_EQ(chunks, 2);
    EXPECT_EQ(ReadBytes(base + ".x"), kWithColours);
}

TEST(RemoveVertexColours, FindsTheFileInAnyLetterCase)
{
    TempDir dir;
    WriteBytes(dir.File("Car.X"), kWithColours);
    EXPECT_EQ(model::RemoveVertexColours(dir.File("car")).outcome, Outcome::Changed);
    EXPECT_EQ(ReadBytes(dir.File("Car.X")), kWithoutColours);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(RemoveVertexColours, MissingFileIsAFailureThatChangesNothing)
{
    TempDir dir;
    EXPECT_EQ(model::RemoveVertexColours(dir.File("absent")).outcome, Outcome::Failed);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 0);
}

} // namespace
