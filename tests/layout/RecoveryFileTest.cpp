// The recovery file: what is written reads back whole, anything less is refused; the writer's
// lock keeps it from anyone else, odd files are refused without waiting, set-aside files never
// replace older ones; a relative map path is found; the map file counts as newer once it
// changed on disk after the edits began.
#include "common/TestSupport.h"
#include "layout/RecoveryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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
    const std::string path = dir.File("state/korvela/recovery-12-34.txt");
    auto written = layout::WriteRecoveryFile(path, file); // makes the folder
    ASSERT_TRUE(written) << written.error();
    // Nobody else gets it while the writer holds it, nor while it is replaced.
    EXPECT_EQ(platform::LockedFile::Open(path).outcome, platform::LockedFile::Outcome::Busy);
    auto rewritten = layout::WriteRecoveryFile(path, file);
    ASSERT_TRUE(rewritten);
    *written = std::move(*rewritten);
    EXPECT_EQ(platform::LockedFile::Open(path).outcome, platform::LockedFile::Outcome::Busy);
    written->Close();
    platform::LockedFile::Opened opened = platform::LockedFile::Open(path);
    ASSERT_EQ(opened.outcome, platform::LockedFile::Outcome::Locked);
    const auto read = layout::ReadRecoveryFile(opened.file, path);
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

    opened.file.Close();
    testsupport::WriteBytes(path, "\x01\x02 garbage");
    opened = platform::LockedFile::Open(path);
    EXPECT_FALSE(layout::ReadRecoveryFile(opened.file, path));
}

// Each file set aside keeps its own name: .bad, .bad.1, .bad.2, never one over another; links,
// FIFOs and folders are refused at once, without blocking, and go aside too.
TEST(RecoveryFile, SetAsideNeverReplacesAnOlderOneAndOddFilesAreRefusedWithoutWaiting)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("recovery-1-2.txt");
    for (const std::string expected : {".bad", ".bad.1", ".bad.2"}) {
        testsupport::WriteBytes(path, "work " + expected);
        const auto aside = layout::SetAsideRecoveryFile(path);
        ASSERT_TRUE(aside) << aside.error();
        EXPECT_EQ(*aside, path + expected);
        EXPECT_FALSE(fs::exists(path));
    }
    for (const std::string expected : {".bad", ".bad.1", ".bad.2"})
        EXPECT_EQ(testsupport::ReadBytes(path + expected), "work " + expected);

    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    platform::LockedFile::Opened fifo = platform::LockedFile::Open(path);
    EXPECT_EQ(fifo.outcome, platform::LockedFile::Outcome::NotRegular) << fifo.reason;
    EXPECT_EQ(*layout::SetAsideRecoveryFile(path), path + ".bad.3");
    ASSERT_EQ(::symlink((path + ".bad").c_str(), path.c_str()), 0);
    EXPECT_EQ(platform::LockedFile::Open(path).outcome, platform::LockedFile::Outcome::NotRegular);
    EXPECT_EQ(*layout::SetAsideRecoveryFile(path), path + ".bad.4");
    fs::create_directory(path);
    EXPECT_EQ(platform::LockedFile::Open(path).outcome, platform::LockedFile::Outcome::NotRegular);
    EXPECT_EQ(platform::LockedFile::Open(path + ".none").outcome, platform::LockedFile::Outcome::Missing);
}

TEST(RecoveryFile, NamesAndRelativeMapPaths)
{
    EXPECT_EQ(layout::RecoveryFileName(321, 1765000000), "recovery-321-1765000000.txt");
    for (const char* name : {"recovery.txt", "recovery-1-2.txt", "recovery-321-1765000000.txt"})
        EXPECT_TRUE(layout::IsRecoveryFileName(name)) << name;
    for (const char* name : {"recovery-1-2.txt.bad", "recovery-1.txt", "recovery--2.txt", "recovery-a-2.txt",
                             ".recovery-1-2.txt.tmp-abc", "recovery-1-2.txt.bad.1"})
        EXPECT_FALSE(layout::IsRecoveryFileName(name)) << name;

    testsupport::TempDir dir;
    const std::string state = dir.File("state/");
    fs::create_directories(state + "objs");
    testsupport::WriteBytes(state + "objs/demo.txt", kMapText);
    EXPECT_EQ(layout::ResolveRecoveredMapPath("/abs/demo.txt", state + "recovery.txt"), "/abs/demo.txt");
    EXPECT_EQ(layout::ResolveRecoveredMapPath("objs/demo.txt", state + "recovery.txt"), state + "objs/demo.txt");
    // Not beside the recovery file: from the working folder.
    const std::string working = fs::current_path().string();
    EXPECT_EQ(layout::ResolveRecoveredMapPath("objs/other.txt", state + "recovery.txt"),
              working + "/objs/other.txt");
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
