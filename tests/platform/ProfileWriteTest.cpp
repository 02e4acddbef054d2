#include "FileFaults.h"
#include "common/TestSupport.h"
#include "platform/Profile.h"

#include <filesystem>
#include <gtest/gtest.h>

using platform::Profile;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

std::size_t FilesIn(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

} // namespace

TEST(ProfileWrite, NewFileAsWindowsWritesIt)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("new.ini");
    ASSERT_TRUE(Profile::WriteString(path, "App1", "key1", "string1"));
    ASSERT_TRUE(Profile::WriteString(path, "App1", "key2", "string2"));
    ASSERT_TRUE(Profile::WriteString(path, "App1", "key3", "string3"));
    ASSERT_TRUE(Profile::WriteString(path, "App2", "key4", "string4"));
    ASSERT_TRUE(Profile::WriteString(path, "App3", "key5", "string5"));
    EXPECT_EQ(ReadBytes(path), "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\n"
                               "key4=string4\r\n[App3]\r\nkey5=string5\r\n");
    EXPECT_EQ(FilesIn(dir.Path()), 1u); // no temporary file left behind
}

TEST(ProfileWrite, UntouchedLinesKeepTheirBytes)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("k.ini");
    // ≒ (87 90) comes back from Unicode as 81 E0: only a byte copy keeps that comment as it was.
    const std::string head = "; \x87\x90 \x95\x5C\x8E\xA6\r\n"
                             "[KORVELA]\r\n"
                             "  KiDou = 1\r\n"
                             "Object=.\\\x83\x5C\x83\x74\x83\x67\\\r\n";
    const std::string tail = "\r\n"
                             "[Other]\r\n"
                             "x = \"quoted\"   \r\n";
    WriteBytes(path, head + tail);

    Profile profile(path);
    ASSERT_TRUE(profile.SetString("korvela", "kidou", "0"));
    ASSERT_TRUE(profile.SetString("KORVELA", "Light", "100"));
    ASSERT_TRUE(profile.SetString("Fresh", "k", "v"));
    ASSERT_TRUE(profile.Save());

    std::string expected = head + tail;
    expected.replace(expected.find("KiDou = 1"), 9, "KiDou = 0");   // spelling and spacing kept
    expected.insert(expected.find("\r\n[Other]"), "Light=100\r\n"); // end of its section
    expected += "[Fresh]\r\nk=v\r\n";
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(Profile(path).GetString("KORVELA", "Object", "", 256), ".\\ソフト\\");
}

TEST(ProfileWrite, EncodingAndLineEndsKept)
{
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        std::string before, after;
    } cases[] = {
        {"UTF-8 LF", "[S]\n透明=0\n", "[S]\n透明=1\nポイント=表\n"},
        {"UTF-8 BOM CR", "\xEF\xBB\xBF[S]\r透明=0", "\xEF\xBB\xBF[S]\r透明=1\rポイント=表\r"},
        {"UTF-16LE",
         std::string("\xFF\xFE[\0S\0]\0\r\0\n\0\x0F\x90\x0E\x66=\0"
                     "0\0",
                     20),
         std::string("\xFF\xFE[\0S\0]\0\r\0\n\0\x0F\x90\x0E\x66=\0"
                     "1\0\r\0\n\0\xDD\x30\xA4\x30\xF3\x30\xC8\x30=\0"
                     "\x68\x88\r\0\n\0",
                     40)},
        {"ASCII gets CP932", "[S]\nx=0\n",
         "[S]\nx=0\n\x93\xA7\x96\xBE=1\n\x83\x7C\x83\x43\x83\x93\x83\x67=\x95\x5C\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("e.ini");
        WriteBytes(path, c.before);
        ASSERT_TRUE(Profile::WriteStrings(path, "s", {{"透明", "1"}, {"ポイント", "表"}}));
        EXPECT_EQ(ReadBytes(path), c.after);
    }
}

TEST(ProfileWrite, Cp932FileThatWouldLoseACharacterBecomesUtf8)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("u.ini");
    WriteBytes(path, "[S]\r\nObject=\x95\x5C\r\n");
    ASSERT_TRUE(Profile::WriteString(path, "S", "Train", "/home/jürgen/"));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF[S]\r\nObject=表\r\nTrain=/home/jürgen/\r\n");
}

TEST(ProfileWrite, ManyKeysInOneRewrite)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("KORVELA.ini");
    std::vector<std::pair<std::string, std::string>> entries;
    std::string expected = "[KORVELA]\r\n";
    for (int i = 0; i < 18; ++i) {
        entries.emplace_back("Key" + std::to_string(i), std::to_string(i * 7));
        expected += "Key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
    }
    ASSERT_TRUE(Profile::WriteStrings(path, "KORVELA", entries));
    EXPECT_EQ(ReadBytes(path), expected);
    ASSERT_TRUE(Profile::WriteStrings(path, "KORVELA", entries)); // same values: same file
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(ProfileWrite, BadNamesAndValuesAreRefused)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("b.ini");
    WriteBytes(path, "[S]\r\nk=1\r\n");
    EXPECT_FALSE(Profile::WriteString(path, "S", "k", "1\r\nInjected=1"));
    EXPECT_FALSE(Profile::WriteString(path, "S", "a=b", "1"));
    EXPECT_FALSE(Profile::WriteString(path, "S", "[x]", "1"));
    EXPECT_FALSE(Profile::WriteString(path, "", "k", "1"));
    EXPECT_FALSE(Profile::WriteString(path, "S", "  ", "1"));
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=1\r\n");
}

TEST(ProfileWrite, OriginalIntactWhenTheWriteFails)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("f.ini");
    const std::string original = "[S]\r\nk=1\r\n";
    WriteBytes(path, original);
    {
        // Every file may hold at most 8 bytes: the new content cannot be written.
        platformtest::FileSizeLimit limit(8);
        const auto result = Profile::WriteString(path, "S", "k", "2");
        EXPECT_FALSE(result);
        EXPECT_NE(result.error(), "");
    }
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);

    // A file that exists but cannot be read is never overwritten.
    const std::string folder = dir.File("folder.ini");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(Profile::WriteString(folder, "S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(ProfileWrite, ReadOnlyFolder)
{
    if (platformtest::RunningAsRoot()) GTEST_SKIP() << "root ignores folder permissions; case skipped";
    testsupport::TempDir dir;
    const std::string path = dir.File("r.ini");
    WriteBytes(path, "[S]\r\nk=1\r\n");
    std::filesystem::permissions(dir.Path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(Profile::WriteString(path, "S", "k", "2"));
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=1\r\n");
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
}
