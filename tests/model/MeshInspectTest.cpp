// The --inspect-mesh report and the one-texture rule it shows.
#include "model/MeshInspect.h"

#include "common/TestSupport.h"
#include "model/ModelTexture.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

const std::string kModel =
    "xof 0303txt 0032\r\n"
    "Mesh {\r\n"
    " 4; 0;0;0;, 0;2;0;, 1;2;0;, 1;0;4;;\r\n"
    " 2; 3; 0,1,2;, 3; 0,2,3;;\r\n"
    " MeshMaterialList { 3; 2; 0, 2;;\r\n"
    "  Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }\r\n"
    "  Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"C:\\\\art\\\\Wood.PNG\"; } }\r\n"
    "  Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"other.png\"; } }\r\n"
    " }\r\n"
    "}\r\n";

TEST(InspectMesh, ReportsAModelThatLoads)
{
    TempDir dir;
    WriteBytes(dir.File("m.x"), kModel);
    WriteBytes(dir.File("wood.png"), "image"); // letter case differs from the file's name
    WriteBytes(dir.File("other.png"), "image");
    const model::MeshInspection report = model::InspectMesh(dir.File("m.x"));
    EXPECT_TRUE(report.ok);
    EXPECT_EQ(report.json, "{\"ok\":true,\"vertices\":4,\"faces\":2,\"subsets\":2,\"materials\":3,"
                           "\"texture\":\"wood.png\",\"normals_in_file\":false,\"box\":[0,1,0,2,0,4],"
                           "\"sphere\":[0.5,1,1,3.2015622]}");
}

TEST(InspectMesh, ReportsWhyAModelDoesNotLoad)
{
    TempDir dir;
    WriteBytes(dir.File("bad.x"), "xof 0303txt 0032 Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,5;; }");
    const model::MeshInspection report = model::InspectMesh(dir.File("bad.x"));
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.json.rfind("{\"ok\":false,\"error\":\"", 0), 0u) << report.json;
    EXPECT_NE(report.json.find("uses vertex 5 of 3"), std::string::npos);
    EXPECT_FALSE(model::InspectMesh(dir.File("missing.x")).ok);
}

TEST(InspectMesh, JsonStringsAreEscaped)
{
    EXPECT_EQ(model::JsonString("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\nd\\u0001\"");
    EXPECT_EQ(model::JsonString("駅"), "\"駅\"");
    EXPECT_EQ(model::JsonString("\x83\x65"), "\"\xEF\xBF\xBD\x65\""); // not UTF-8
}

TEST(ModelTexture, FirstNamedTextureDecidesEvenWhenMissing)
{
    TempDir dir;
    WriteBytes(dir.File("second.png"), "image");
    std::vector<model::MeshMaterial> materials(3);
    materials[1].textureFile = "sub\\first.png";
    materials[2].textureFile = "second.png";
    EXPECT_FALSE(model::FindModelTexture(dir.File("m"), materials));
    materials[1].textureFile = "D:\\textures\\SECOND.png";
    EXPECT_EQ(model::FindModelTexture(dir.File("m"), materials), dir.File("second.png"));
    // No material names a texture: nothing is looked up, not even the base path itself.
    WriteBytes(dir.File("m"), "not a texture");
    EXPECT_FALSE(model::FindModelTexture(dir.File("m"), std::vector<model::MeshMaterial>(2)));
    // A folder of that name is not a texture either.
    std::filesystem::create_directory(dir.Path() / "tex.png");
    materials[1].textureFile = "tex.png";
    EXPECT_FALSE(model::FindModelTexture(dir.File("m"), materials));
}

TEST(ModelTexture, BareNamesKeepForwardSlashesAndJapaneseCharacters)
{
    EXPECT_EQ(model::BareTextureName("C:\\a\\b.bmp"), "b.bmp");
    EXPECT_EQ(model::BareTextureName("Tex/KumaBody.png"), "Tex/KumaBody.png");
    // "表.bmp" in code page 932: its second byte is 0x5C, which is not a separator.
    EXPECT_EQ(model::BareTextureName("dir\\\x95\x5C.bmp"), "表.bmp");
}

} // namespace
