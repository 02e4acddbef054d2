// The recovery file: what is written reads back whole, anything less is refused, and the map
// file counts as newer once it changed on disk after the edits began.
#include "common/TestSupport.h"
#include "layout/RecoveryFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMapText = "KORVELA Map Data\r\n:Background\r\n\r\n:Object Name\r\n:Map Data\r\n";

TEST(RecoveryFile, ReadsBackWhatWasWrittenAndRefusesAnythingLess)
{
    testsupport::TempDir dir;
    const layout::RecoveryFile file{.mapPath = "/maps/a\\b\nc.txt",
                                    .mapStamp = {.time = 1234567890123, .size = 42},
                                    .writtenAt = 1765000000,
                                    .mapText = std::string(kMapText)};
    const std::string path = dir.File("state/korvela/recovery.txt");
    ASSERT_TRUE(layout::WriteRecoveryFile(path, file)); // makes the folder
    const auto read = layout::ReadRecoveryFile(path);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->mapPath, file.mapPath);
    EXPECT_EQ(read->mapStamp, file.mapStamp);
    EXPECT_EQ(read->writtenAt, file.writtenAt);
    EXPECT_EQ(read->mapText, file.mapText);

    const std::string whole = layout::RecoveryFileText(file);
    EXPECT_FALSE(layout::ParseRecoveryFile(""));
    EXPECT_FALSE(layout::ParseRecoveryFile(whole.substr(0, whole.find("KORVELA Map Data")))); // no map
    EXPECT_FALSE(layout::ParseRecoveryFile(whole.substr(0, 40)));                             // cut short
    EXPECT_FALSE(layout::ParseRecoveryFile("KORVELA Map Data\r\n" + whole));                 // a map file
    std::string badNumber = whole;
    badNumber.replace(badNumber.find("map-size=42"), 11, "map-size=4x");
    EXPECT_FALSE(layout::ParseRecoveryFile(badNumber));

    testsupport::WriteBytes(path, "\x01\x02 garbage");
    EXPECT_FALSE(layout::ReadRecoveryFile(path));
    const auto aside = layout::SetAsideRecoveryFile(path);
    ASSERT_TRUE(aside) << aside.error();
    EXPECT_EQ(*aside, path + ".bad");
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(testsupport::ReadBytes(*aside), "\x01\x02 garbage");
}

TEST(RecoveryFile, TheMapFileIsNewerOnceItChangedOnDisk)
{
    testsupport::TempDir dir;
    const std::string map = dir.File("demo.txt");
    layout::RecoveryFile file{.mapPath = map};
    EXPECT_FALSE(file.MapFileNewer()) << "no map file: nothing newer";
    testsupport::WriteBytes(map, kMapText);
    EXPECT_TRUE(file.MapFileNewer()) << "written after the edits began";

    file.mapStamp = layout::StampOf(map);
    EXPECT_EQ(file.mapStamp.size, static_cast<std::int64_t>(kMapText.size()));
    EXPECT_FALSE(file.MapFileNewer());
    fs::last_write_time(map, fs::last_write_time(map) + std::chrono::seconds(5));
    EXPECT_TRUE(file.MapFileNewer()) << "touched";
}

} // namespace
