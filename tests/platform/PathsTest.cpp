#include "platform/Paths.h"

#include "common/TestSupport.h"
#include "platform/PathsDetail.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace platform;

TEST(SplitPath, RuntimeSplitterRules)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* extension;
    } cases[] = {
        {"a.b.c", "", "a.b", ".c"},
        {".ini", "", "", ".ini"},
        {"file.", "", "file", "."},
        {"noext", "", "noext", ""},
        {"dir\\sub/name.x", "dir\\sub/", "name", ".x"},
        {"/a.b/c", "/a.b/", "c", ""},
        {"/opt/k/", "/opt/k/", "", ""},
        {"表\\ソフト.txt", "表\\", "ソフト", ".txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.folder, c.folder);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(parts.extension, c.extension);
    }
    EXPECT_EQ(FromWindowsPath(".\\表\\ソフト\\"), "./表/ソフト/");
}

TEST(ToAbsolute, NormalisesAgainstTheBaseFolder)
{
    const std::string base = "/home/u/k/";
    struct Case {
        const char* path;
        const char* absolute;
    } cases[] = {
        {"trains/", "/home/u/k/trains/"},
        {"./trains/", "/home/u/k/trains/"},
        {"", "/home/u/k/"},
        {"./", "/home/u/k/"},
        {".", "/home/u/k"},
        {"../x", "/home/u/x"},
        {"..", "/home/u"},
        {"../", "/home/u/"},
        {"../../../../../..", "/"},
        {"../../../../../../etc/", "/etc/"},
        {"a//b/./c/../d/", "/home/u/k/a/b/d/"},
        {"RailData.txt", "/home/u/k/RailData.txt"},
        {"/abs//p/../q", "/abs/q"},
        {"/..", "/"},
        {"/x/.", "/x"},
        {"/", "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ToAbsolute(c.path, base), c.absolute);
    }
    EXPECT_EQ(ToAbsolute("sub", "/home/u/k"), "/home/u/k/sub"); // a base without its '/'
}

TEST(ToRelative, FormsAndRoundTrips)
{
    const std::string base = "/home/u/k/";
    struct Case {
        const char* target;
        const char* relative;
    } cases[] = {
        {"/home/u/k/", "./"},
        {"/home/u/k", "."},
        {"/home/u/k/trains/", "./trains/"},
        {"/home/u/k/a/b/", "./a/b/"},
        {"/home/u/k/RailData.txt", "./RailData.txt"},
        {"/home/u/x/", "../x/"},
        {"/home/u/", "../"},
        {"/home/v/w/", "../../v/w/"},
        {"/home/u/K/", "../K/"}, // another folder on a case-sensitive file system
        {"/home/u/k/../k/./t/", "./t/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const auto relative = ToRelative(c.target, base);
        ASSERT_TRUE(relative.has_value());
        EXPECT_EQ(*relative, c.relative);
        EXPECT_EQ(ToAbsolute(*relative, base), ToAbsolute(c.target, "/"));
    }
    // Sharing only the root counts as no common prefix: such paths are stored absolute.
    EXPECT_EQ(ToRelative("/opt/trains/", base), std::nullopt);
    EXPECT_EQ(ToRelative("/", base), std::nullopt);
    EXPECT_EQ(ToRelative("/home/u/k/x/", "/"), std::nullopt);
}

TEST(ToRelative, BasePathsLongerThanTheOldLimit)
{
    std::string base = "/";
    for (int i = 0; i < 30; ++i)
        base += "folder_number_" + std::to_string(i) + "/";
    ASSERT_GT(base.size(), 400u);
    const std::string parent = base.substr(0, base.rfind('/', base.size() - 2) + 1);
    for (const std::string& target :
         {base + "trains/", base, parent, parent + "sibling/", std::string("/folder_number_0/x/")}) {
        SCOPED_TRACE(target);
        const auto relative = ToRelative(target, base);
        ASSERT_TRUE(relative.has_value());
        EXPECT_EQ(ToAbsolute(*relative, base), target);
    }
    std::string up, expected = "/";
    for (int i = 0; i < 20; ++i)
        up += "../";
    for (int i = 0; i < 10; ++i)
        expected += "folder_number_" + std::to_string(i) + "/";
    EXPECT_EQ(ToAbsolute(up, base), expected);
}

TEST(ExecutablePaths, FolderAndBaseNameOfThisProgram)
{
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(ExecutableBaseName(), "test_platform");
    EXPECT_EQ(ExecutablePath(), folder + "test_platform");
    EXPECT_TRUE(std::filesystem::exists(ExecutablePath()));
}

TEST(ExecutablePaths, LinksOfAnyLengthAreReadWhole)
{
    testsupport::TempDir dir;
    for (std::size_t length : {255u, 256u, 300u, 3000u}) {
        SCOPED_TRACE(length);
        std::string target = "/";
        while (target.size() < length)
            target += "long_folder_name/";
        target.resize(length);
        const std::string link = dir.File("link" + std::to_string(length));
        std::filesystem::create_symlink(target, link);
        const auto read = detail::ReadLink(link);
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, target);
    }
    EXPECT_FALSE(detail::ReadLink(dir.File("missing")));
}
