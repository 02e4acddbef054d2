#include "platform/SafeFile.h"

#include "FileFaults.h"
#include "common/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::ChunkWriter;
using platform::ReplaceFile;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ReplaceFile, ReplacesContentAndKeepsPermissions)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("map.txt");
    WriteBytes(path, "old content that is longer than the new one");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    ASSERT_TRUE(
        ReplaceFile(path, [](const ChunkWriter& write) { return write("new ") && write("content"); }));
    EXPECT_EQ(ReadBytes(path), "new content");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"map.txt"});

    ASSERT_TRUE(ReplaceFile(dir.File("fresh.txt"), "x"));
    EXPECT_EQ(ReadBytes(dir.File("fresh.txt")), "x");
}

TEST(ReplaceFile, WritesThroughALink)
{
    testsupport::TempDir dir;
    WriteBytes(dir.File("real.ini"), "old");
    fs::create_symlink("real.ini", dir.File("link.ini"));
    ASSERT_TRUE(ReplaceFile(dir.File("link.ini"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.File("link.ini")));
    EXPECT_EQ(ReadBytes(dir.File("real.ini")), "new");
}

TEST(ReplaceFile, FailuresLeaveTheOriginalAndNoTemporaryFile)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("keep.txt");
    const std::string original = "original bytes\r\n";
    WriteBytes(path, original);
    const auto unchanged = [&] {
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"keep.txt"});
    };

    // The producer gives up half-way.
    auto result = ReplaceFile(path, [](const ChunkWriter& write) { return write("partial") && false; });
    EXPECT_FALSE(result);
    EXPECT_NE(result.error(), "");
    unchanged();

    // The disk refuses the bytes (a file size limit makes write() fail with EFBIG).
    {
        platformtest::FileSizeLimit limit(4);
        result = ReplaceFile(path, std::string(100, 'n'));
    }
    EXPECT_FALSE(result);
    EXPECT_NE(result.error().find("File too large"), std::string::npos) << result.error();
    unchanged();

    // A producer that ignores a failed write is still caught.
    {
        platformtest::FileSizeLimit limit(4);
        result = ReplaceFile(path, [](const ChunkWriter& write) {
            write(std::string(100, 'n'));
            return true;
        });
    }
    EXPECT_FALSE(result);
    unchanged();
}

TEST(ReplaceFile, TargetsThatCannotBeReplaced)
{
    testsupport::TempDir dir;
    fs::create_directory(dir.Path() / "folder");
    WriteBytes(dir.Path() / "folder" / "inside", "x");
    EXPECT_FALSE(ReplaceFile(dir.File("folder"), "x"));
    EXPECT_EQ(ReadBytes(dir.Path() / "folder" / "inside"), "x");
    EXPECT_FALSE(ReplaceFile(dir.File("missing/file.txt"), "x"));
    EXPECT_FALSE(ReplaceFile("", "x"));
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"folder"});
}

TEST(ReplaceFile, ReadOnlyFolderAndFile)
{
    if (platformtest::RunningAsRoot()) GTEST_SKIP() << "root ignores permissions; case skipped";
    testsupport::TempDir dir;
    const std::string path = dir.File("ro.txt");
    WriteBytes(path, "keep");
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_FALSE(ReplaceFile(path, "new")); // a read-only file stays as the user marked it
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(ReplaceFile(path, "new"));
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), "keep");
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"ro.txt"});
}
