// Where the program keeps its files, run from its own folder and installed.
#include "platform/ProgramFolders.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using platform::ResolveProgramFolders;

class Environment {
  public:
    void Set(std::string name, std::string value) { values_[std::move(name)] = std::move(value); }
    std::function<const char*(const char*)> Lookup() const
    {
        return [this](const char* name) -> const char* {
            const auto found = values_.find(name);
            return found == values_.end() ? nullptr : found->second.c_str();
        };
    }

  private:
    std::map<std::string, std::string> values_;
};

TEST(ProgramFolders, AWritableFolderOfItsOwnKeepsEverythingBesideTheProgram)
{
    testsupport::TempDir dir;
    fs::create_directories(dir.Path() / "build");
    Environment environment;
    environment.Set("HOME", dir.File("home"));
    auto folders = ResolveProgramFolders(dir.File("build/railways"), environment.Lookup());
    ASSERT_TRUE(folders) << folders.error();
    EXPECT_FALSE(folders->installed);
    EXPECT_EQ(folders->contentFolder, dir.File("build/"));
    EXPECT_EQ(folders->settingsFile, dir.File("build/railways.ini"));
    EXPECT_EQ(folders->executableName, "railways");
    EXPECT_FALSE(fs::exists(dir.Path() / "home"));
}

// An installed tree: bin/korvela, share/korvela/ with the content and its settings file.
struct InstalledTree {
    testsupport::TempDir dir;
    Environment environment;

    InstalledTree()
    {
        fs::create_directories(dir.Path() / "usr/bin");
        fs::create_directories(dir.Path() / "usr/share/korvela/objects");
        fs::create_directories(dir.Path() / "usr/share/locale/en/LC_MESSAGES");
        testsupport::WriteBytes(dir.Path() / "usr/share/korvela/objects/demo.txt", "KORVELA Map Data\r\n");
        testsupport::WriteBytes(dir.Path() / "usr/share/korvela/korvela.ini",
                                "[korvela]\r\nFileName=./objects/demo.txt\r\n");
        environment.Set("HOME", dir.File("home"));
    }
    std::string Program() const { return dir.File("usr/bin/korvela"); }
};

TEST(ProgramFolders, InstalledTheUserGetsACopyOfTheContentOnceAndTheirOwnSettings)
{
    InstalledTree tree;
    auto folders = ResolveProgramFolders(tree.Program(), tree.environment.Lookup());
    ASSERT_TRUE(folders) << folders.error();
    EXPECT_TRUE(folders->installed);
    EXPECT_EQ(folders->contentFolder, tree.dir.File("home/.local/share/korvela/"));
    EXPECT_EQ(folders->settingsFile, tree.dir.File("home/.config/korvela/korvela.ini"));
    EXPECT_EQ(folders->localeFolder, tree.dir.File("usr/share/locale/"));
    EXPECT_EQ(testsupport::ReadBytes(tree.dir.Path() / "home/.local/share/korvela/objects/demo.txt"),
              "KORVELA Map Data\r\n");
    // The shipped settings name the content relative to the folder that now holds the copy.
    EXPECT_EQ(testsupport::ReadBytes(folders->settingsFile), "[korvela]\r\nFileName=./objects/demo.txt\r\n");

    // Later starts keep what the user changed and deleted.
    testsupport::WriteBytes(folders->settingsFile, "[korvela]\r\nLight=50\r\n");
    fs::remove(tree.dir.Path() / "home/.local/share/korvela/objects/demo.txt");
    auto again = ResolveProgramFolders(tree.Program(), tree.environment.Lookup());
    ASSERT_TRUE(again) << again.error();
    EXPECT_EQ(testsupport::ReadBytes(again->settingsFile), "[korvela]\r\nLight=50\r\n");
    EXPECT_FALSE(fs::exists(tree.dir.Path() / "home/.local/share/korvela/objects/demo.txt"));
    // No staging folder is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(tree.dir.Path() / "home/.local/share"), fs::directory_iterator()), 1);
}

TEST(ProgramFolders, XdgFoldersWinWhenAbsoluteAndAMissingHomeIsAnError)
{
    InstalledTree tree;
    tree.environment.Set("XDG_CONFIG_HOME", tree.dir.File("config"));
    tree.environment.Set("XDG_DATA_HOME", "relative/data"); // not absolute: ignored, as the XDG rules say
    auto folders = ResolveProgramFolders(tree.Program(), tree.environment.Lookup());
    ASSERT_TRUE(folders) << folders.error();
    EXPECT_EQ(folders->settingsFile, tree.dir.File("config/korvela/korvela.ini"));
    EXPECT_EQ(folders->contentFolder, tree.dir.File("home/.local/share/korvela/"));

    Environment none;
    EXPECT_FALSE(ResolveProgramFolders(tree.Program(), none.Lookup()));
}

TEST(ProgramFolders, AReadOnlyProgramFolderCountsAsInstalled)
{
    testsupport::TempDir dir;
    fs::create_directories(dir.Path() / "opt");
    ::chmod(dir.File("opt").c_str(), 0555);
    Environment environment;
    environment.Set("HOME", dir.File("home"));
    auto folders = ResolveProgramFolders(dir.File("opt/korvela"), environment.Lookup());
    ::chmod(dir.File("opt").c_str(), 0755);
    ASSERT_TRUE(folders) << folders.error();
    EXPECT_TRUE(folders->installed);
    // Nothing shipped to copy: the user's content folder starts empty.
    EXPECT_TRUE(fs::is_directory(dir.Path() / "home/.local/share/korvela"));
    EXPECT_FALSE(fs::exists(folders->settingsFile));
}

} // namespace
