#include "common/TestSupport.h"
#include "platform/Paths.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace platform;
using Names = std::vector<std::string>;

namespace {

void Touch(const testsupport::TempDir& dir, std::string_view name)
{
    testsupport::WriteBytes(dir.File(name), "x");
}

} // namespace

TEST(FindFileNoCase, ExactNameFirstThenAnyCase)
{
    testsupport::TempDir dir;
    for (const char* name : {"model.x", "Model.X", "Ärger.ini", "表示.txt"})
        Touch(dir, name);
    std::filesystem::create_directory(dir.Path() / "sub");
    Touch(dir, "sub/Tex.BMP");
    const std::string folder = dir.Path().string() + "/";

    EXPECT_EQ(FindFileNoCase(folder + "model.x"), folder + "model.x");
    EXPECT_EQ(FindFileNoCase(folder + "MODEL.x"), folder + "Model.X"); // first in name order
    EXPECT_EQ(FindFileNoCase(folder + "ärger.INI"), folder + "Ärger.ini");
    EXPECT_EQ(FindFileNoCase(folder + "表示.TXT"), folder + "表示.txt");
    EXPECT_EQ(FindFileNoCase(folder + "sub/tex.bmp"), folder + "sub/Tex.BMP");
    // Only the last component is matched loosely.
    EXPECT_EQ(FindFileNoCase(folder + "SUB/tex.bmp"), std::nullopt);
    EXPECT_EQ(FindFileNoCase(folder + "missing.x"), std::nullopt);
    EXPECT_EQ(FindFileNoCase(folder + "nofolder/model.x"), std::nullopt);
}

TEST(FindFiles, PatternsMatchLongNamesIgnoringCase)
{
    testsupport::TempDir dir;
    for (const char* name :
         {"b.ini", "A.INI", "c.inix", "c.ini~", ".ini", "_z.ini", "Zed.ini", "x.txt", "README"})
        Touch(dir, name);
    std::filesystem::create_directory(dir.Path() / "dir.ini");
    const std::string folder = dir.Path().string();

    EXPECT_EQ(FindFiles(folder, "*.ini"), (Names{".ini", "A.INI", "b.ini", "Zed.ini", "_z.ini"}));
    EXPECT_EQ(FindFiles(folder + "/", "*.INI"), (Names{".ini", "A.INI", "b.ini", "Zed.ini", "_z.ini"}));
    EXPECT_EQ(FindFiles(folder, "?.ini"), (Names{"A.INI", "b.ini"}));
    EXPECT_EQ(FindFiles(folder, "*.ini*"),
              (Names{".ini", "A.INI", "b.ini", "c.inix", "c.ini~", "Zed.ini", "_z.ini"}));
    EXPECT_EQ(FindFiles(folder, "*.*").size(), 9u); // names without a dot too, as on Windows
    EXPECT_EQ(FindFiles(folder, "*").size(), 9u);
    EXPECT_EQ(FindFiles(folder, "readme"), (Names{"README"}));
    EXPECT_TRUE(FindFiles(folder, "*.x").empty());
    EXPECT_TRUE(FindFiles(folder + "/missing", "*").empty());
}

TEST(FindFiles, JapaneseNames)
{
    testsupport::TempDir dir;
    for (const char* name : {"電車.txt", "ソフト.TXT", "表.ini"})
        Touch(dir, name);
    EXPECT_EQ(FindFiles(dir.Path().string(), "*.txt"), (Names{"ソフト.TXT", "電車.txt"}));
    EXPECT_EQ(FindFiles(dir.Path().string(), "?.INI"), (Names{"表.ini"}));
}
