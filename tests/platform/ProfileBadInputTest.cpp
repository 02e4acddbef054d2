// Profile files (.ini, train and settings files) that are broken, too big or not files at all:
// reads give what can be read or the defaults, and a save never replaces a file it could not
// read, nor leaves a temporary file behind.
#include "FileFaults.h"
#include "common/TestSupport.h"
#include "platform/Profile.h"
#include "platform/TextFile.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

using platform::Profile;

std::set<std::string> Names(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(ProfileBadInput, BrokenFilesReadWhatTheyCanAndAreNeverReplacedUnread)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("k.ini");
    const std::string big = "[korvela]\r\na=1\r\n" + std::string(platform::kMaxProfileBytes, ';');
    const struct {
        std::string label;
        std::function<void()> make;
        std::string a;    // what key a of section korvela reads ("def" for the default)
        bool exists;      // the profile was read
        bool saveRefused; // a change cannot be saved
    } cases[] = {
        {"missing file", [] {}, "def", false, false},
        {"a folder", [&] { std::filesystem::create_directory(path); }, "def", false, true},
        {"over the size cap", [&] { testsupport::WriteBytes(path, big); }, "def", false, true},
        {"exactly at the size cap",
         [&] { testsupport::WriteBytes(path, big.substr(0, platform::kMaxProfileBytes)); }, "1", true, false},
        {"truncated inside the section name", [&] { testsupport::WriteBytes(path, "[korv"); }, "def", true, false},
        {"truncated inside a key", [&] { testsupport::WriteBytes(path, "[korvela]\r\na"); }, "def", true, false},
        {"truncated after the equals sign", [&] { testsupport::WriteBytes(path, "[korvela]\r\na="); }, "", true, false},
        {"invalid Shift-JIS", [&] { testsupport::WriteBytes(path, "[korvela]\r\na=\x82\xff\x81\r\n"); }, "",
         true, false},
        {"invalid UTF-8 after its mark",
         [&] { testsupport::WriteBytes(path, "\xef\xbb\xbf[korvela]\r\na=\xc0\xaf\r\n"); }, "", true, false},
        {"UTF-16 with an odd last byte",
         [&] { testsupport::WriteBytes(path, std::string("\xff\xfe[\0k\0]\0\r\0\n\0a\0=\0" "1\0x", 19)); }, "def",
         true, false},
        {"an over-long value", [&] { testsupport::WriteBytes(path, "[korvela]\r\na=" + std::string(100000, 'v')); },
         std::string(255, 'v'), true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(path);
        c.make();
        const std::set<std::string> before = Names(dir.Path());
        const std::string bytes = std::filesystem::is_regular_file(path) ? testsupport::ReadBytes(path) : "";

        Profile profile(path);
        EXPECT_EQ(profile.Exists(), c.exists);
        const std::string a = profile.GetString("korvela", "a", "def", 256);
        if (c.label.starts_with("invalid")) {
            EXPECT_FALSE(a.empty() || a == "def") << a; // the bytes read as stand-in characters
        } else {
            EXPECT_EQ(a, c.a);
        }

        ASSERT_TRUE(profile.SetString("korvela", "b", "2"));
        const platform::Status saved = profile.Save();
        EXPECT_EQ(!saved, c.saveRefused) << (saved ? "" : saved.error());
        if (c.saveRefused) {
            EXPECT_EQ(Names(dir.Path()), before);
            if (std::filesystem::is_regular_file(path)) EXPECT_EQ(testsupport::ReadBytes(path), bytes);
        }
    }
}

TEST(ProfileBadInput, AFileThatCannotBeReadIsNeverReplaced)
{
    if (platformtest::RunningAsRoot()) GTEST_SKIP() << "running as root, which reads any file; case skipped";
    testsupport::TempDir dir;
    const std::string path = dir.File("k.ini");
    testsupport::WriteBytes(path, "[korvela]\r\na=1\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write);
    Profile profile(path);
    EXPECT_FALSE(profile.Exists());
    ASSERT_TRUE(profile.SetString("korvela", "b", "2"));
    EXPECT_FALSE(profile.Save());
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_EQ(testsupport::ReadBytes(path), "[korvela]\r\na=1\r\n");
}

} // namespace
