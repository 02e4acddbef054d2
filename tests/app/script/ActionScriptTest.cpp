#include "app/script/ActionScript.h"

#include "app/script/HeadlessRunner.h"
#include "common/TestSupport.h"
#include "platform/VirtualKeys.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using Kind = app::Action::Kind;
namespace vk = platform::vk;

TEST(ActionScriptTest, ReadsEveryActionWithCommentsBlankLinesAndWindowsLineEnds)
{
    const auto actions = app::ParseActions("# a session\r\n"
                                           "\r\n"
                                           "frames 3   # three passes\r\n"
                                           "key 1 numpad5 F7\n"
                                           "hold q 10-20\n"
                                           "hold UP 7\n"
                                           "click 5 6 ctrl\n"
                                           "drag 1 2 3 4 shift alt\n"
                                           "rdrag 0 0 0 40\n"
                                           "mdrag 0 0 0 40\n"
                                           "wheel -2\n"
                                           "menu 32780\n"
                                           "set settings:1077 30\n"
                                           "set objects:1056 2\n"
                                           "button objects:1002\n"
                                           "type objects:1001   1.5 cm#x\n"
                                           "row 4 ctrl\n"
                                           "select 0 7 3\n"
                                           "load-map maps/my layout.txt\n"
                                           "save-map out.txt\n"
                                           "import-map in.txt\n"
                                           "report r.json\n"
                                           "screenshot s.png\n"
                                           "pause on\n"
                                           "speed 8\n"
                                           "attach\n"
                                           "attach flip\n"
                                           "end 2");
    ASSERT_TRUE(actions) << actions.error();
    ASSERT_EQ(actions->size(), 26u);
    const auto& a = *actions;
    EXPECT_EQ(a[0].kind, Kind::Frames);
    EXPECT_EQ(a[0].line, 3);
    EXPECT_EQ(a[0].numbers, std::vector<int>{3});
    EXPECT_EQ(a[1].numbers, (std::vector<int>{'1', vk::kNumpad5, vk::kF7}));
    EXPECT_EQ(a[2].numbers, (std::vector<int>{'Q', 10, 20}));
    EXPECT_EQ(a[3].numbers, (std::vector<int>{vk::kUp, 7, 7}));
    EXPECT_EQ(a[4].kind, Kind::Click);
    EXPECT_EQ(a[4].modifiers, (app::Modifiers{.ctrl = true}));
    EXPECT_EQ(a[5].numbers, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(a[5].modifiers, (app::Modifiers{.shift = true, .alt = true}));
    EXPECT_EQ(a[6].kind, Kind::RightDrag);
    EXPECT_EQ(a[7].kind, Kind::MiddleDrag);
    EXPECT_EQ(a[8].numbers, std::vector<int>{-2});
    EXPECT_EQ(a[10].dialog, app::ScriptDialog::Settings);
    EXPECT_EQ(a[10].numbers, (std::vector<int>{1077, 30}));
    EXPECT_EQ(a[11].dialog, app::ScriptDialog::Objects);
    EXPECT_EQ(a[12].kind, Kind::Button);
    // Typed text keeps what the number filter is there to remove; '#' inside a word is no comment.
    EXPECT_EQ(a[13].text, "1.5 cm#x");
    EXPECT_EQ(a[14].modifiers, (app::Modifiers{.ctrl = true}));
    EXPECT_EQ(a[15].numbers, (std::vector<int>{0, 7, 3}));
    EXPECT_EQ(a[16].text, "maps/my layout.txt");
    EXPECT_EQ(a[20].kind, Kind::Screenshot);
    EXPECT_EQ(a[20].line, 23);
    EXPECT_EQ(a[21].kind, Kind::Pause);
    EXPECT_EQ(a[21].numbers, std::vector<int>{1});
    EXPECT_EQ(a[22].kind, Kind::Speed);
    EXPECT_EQ(a[22].numbers, std::vector<int>{8});
    EXPECT_EQ(a[23].kind, Kind::Attach);
    EXPECT_EQ(a[23].numbers, std::vector<int>{0});
    EXPECT_EQ(a[24].numbers, std::vector<int>{1});
    EXPECT_EQ(a[25].kind, Kind::End);
    EXPECT_EQ(a[25].numbers, std::vector<int>{2});
    EXPECT_TRUE(a[0].RunsPasses() && a[1].RunsPasses() && a[5].RunsPasses());
    EXPECT_FALSE(a[4].RunsPasses() || a[12].RunsPasses());
}

TEST(ActionScriptTest, ABadLineIsRefusedWithItsNumberAndReason)
{
    const std::pair<const char*, const char*> cases[] = {
        {"fly 3", "unknown action \"fly\""},
        {"frames", "frames takes 1 value"},
        {"frames -1", "frame count -1 outside"},
        {"frames 2x", "bad frame count \"2x\""},
        {"key", "at least one key"},
        {"key Q HYPER", "unknown key \"HYPER\""},
        {"hold Q 9-3", "bad frames \"9-3\""},
        {"click 10", "needs 2 coordinates"},
        {"click 10 -4", "coordinate -4 outside"},
        {"drag 1 2 3 4 meta", "unknown modifier \"meta\""},
        {"wheel 0", "non-zero"},
        {"menu", "menu takes 1 value"},
        {"set objects:1056", "set takes 2 values"},
        {"set camera:1 2", "expected settings:ID or objects:ID"},
        {"button objects:", "bad control id \"\""},
        {"type", "type needs a control"},
        {"row 2 shift", "only ctrl"},
        {"select", "at least one record index"},
        {"save-map   # nothing", "save-map needs a file name"},
        {"pause", "pause takes on or off"},
        {"pause yes", "pause takes on or off"},
        {"speed 3", "speed takes 1, 2, 4 or 8"},
        {"speed 16", "speed 16 outside 1 to 8"},
        {"attach over", "attach takes only flip"},
        {"end", "end takes 1 value"},
        {"end -1", "end -1 outside"},
    };
    for (const auto& [line, reason] : cases) {
        const auto actions = app::ParseActions(std::string("frames 1\n\n") + line + "\nframes 1\n");
        ASSERT_FALSE(actions) << line;
        EXPECT_TRUE(actions.error().starts_with("line 3: ")) << actions.error();
        EXPECT_NE(actions.error().find(reason), std::string::npos) << line << ": " << actions.error();
    }
}

class ActionRunTest : public ::testing::Test {
  protected:
    ActionRunTest()
    {
        std::filesystem::create_directories(dir.Path() / "bin");
        services.executableFolder = (dir.Path() / "bin").string() + "/";
        services.executableName = "korvela";
        services.errors = &errors;
        options.settingsFile = dir.File("run.ini");
        options.actionsFile = dir.File("session.actions");
        // One object type, a triangle of 2 by 2 units, in the object folder the settings name.
        objects = dir.File("objects") + "/";
        std::filesystem::create_directories(objects);
        testsupport::WriteBytes(objects + "tri.ini", "[korvela]\r\n");
        testsupport::WriteBytes(objects + "tri.x",
                                "xof 0303txt 0032\nMesh { 3; -1;0;-1;, 1;0;-1;, 0;0;1;; 1; 3;0,1,2;; }\n");
        testsupport::WriteBytes(dir.File("run.ini"), "[korvela]\r\nObject=" + objects + "\r\n");
    }

    int Run(const std::string& script)
    {
        testsupport::WriteBytes(dir.File("session.actions"), script);
        return app::RunHeadless(options, services);
    }

    testsupport::TempDir dir;
    std::string objects;
    app::HeadlessServices services;
    app::HeadlessOptions options;
    std::ostringstream errors;
};

TEST_F(ActionRunTest, AnEditingSessionPlacesCopiesDeletesAndSavesAsTheDialogsWould)
{
    int objectsAtEnd = -1;
    services.inspect = [&](app::CSimulatorApp& app) { objectsAtEnd = app.Layout().PlacedObjects().size(); };
    const std::string saved = objects + "out.txt";
    ASSERT_EQ(Run("menu 32780\n"        // map creation enables the dialog's buttons
                  "rdrag 10 10 10 60\n" // looking down, so the view's centre meets the ground
                  "set objects:1056 0\n"
                  "button objects:1002\n"
                  "button objects:1002\n"
                  "type objects:1001 4x.5\n"
                  "button objects:1070\n" // both placed pieces are selected: both move
                  "button objects:1015\n"
                  "select 0\n"
                  "button objects:1003\n"
                  "save-map " +
                  saved + "\n"),
              0)
        << errors.str();
    EXPECT_EQ(objectsAtEnd, 3);
    const std::string map = testsupport::ReadBytes(saved);
    const std::size_t data = map.find(":Map Data\r\n");
    ASSERT_NE(data, std::string::npos) << map;
    // Three records follow, all moved 4.5 along x from where the first two were placed.
    std::istringstream records(map.substr(data + 11));
    std::string record;
    int count = 0;
    float firstX = 0;
    while (std::getline(records, record) && record.starts_with("0 ")) {
        float x = std::stof(record.substr(2));
        if (count++ == 0) firstX = x;
        EXPECT_FLOAT_EQ(x, firstX) << record;
    }
    EXPECT_EQ(count, 3) << map;
}

TEST_F(ActionRunTest, AMapThatALoadMapActionCannotLoadMakesTheExitCodeOne)
{
    testsupport::WriteBytes(dir.File("plain.txt"), "no map\r\n");
    options.reportFile = dir.File("r.json");
    EXPECT_EQ(Run("load-map " + dir.File("plain.txt") + "\nframes 2\n"), 1);
    EXPECT_NE(errors.str().find("the map " + dir.File("plain.txt") + " could not be loaded: データファイルではありません"),
              std::string::npos)
        << errors.str();
    // The script went on: its passes ran and the report was written.
    EXPECT_NE(testsupport::ReadBytes(dir.File("r.json")).find("\"frames\":2"), std::string::npos);

    errors.str("");
    options.actionsFile = dir.File("objects"); // a folder, not a script
    EXPECT_EQ(app::RunHeadless(options, services), 2);
    EXPECT_NE(errors.str().find("cannot read the action script"), std::string::npos) << errors.str();
}

TEST_F(ActionRunTest, WhatTheProgramCannotDoStopsTheRunAtItsLine)
{
    options.reportFile = dir.File("r.json");
    // The turnout menu is grey while no turnout is selected.
    EXPECT_EQ(Run("frames 2\n# keys\nmenu 32816\nframes 5\n"), 2);
    EXPECT_NE(errors.str().find("line 3: menu item 32816 is greyed"), std::string::npos) << errors.str();
    EXPECT_FALSE(std::filesystem::exists(dir.File("r.json")));

    for (const char* line : {"click 1024 10", "button objects:1002", "set settings:1077 101", "select 0",
                             "type settings:1 5", "menu 1", "attach", "end 0"}) {
        errors.str("");
        EXPECT_EQ(Run(std::string("frames 1\n") + line + "\n"), 2) << line;
        EXPECT_NE(errors.str().find("line 2: "), std::string::npos) << line << ": " << errors.str();
    }

    // A bad line anywhere is found before anything runs.
    int passes = -1;
    services.inspect = [&](app::CSimulatorApp& app) { passes = app.Times().passes; };
    errors.str("");
    EXPECT_EQ(Run("frames 3\nframes x\n"), 2);
    EXPECT_EQ(passes, -1);
    EXPECT_NE(errors.str().find("session.actions: line 2: bad frame count"), std::string::npos)
        << errors.str();
    // So is a screenshot this build cannot take.
    EXPECT_EQ(Run("screenshot s.png\n"), 2);
}

TEST_F(ActionRunTest, KeysGoDownForOnePassAndScriptFramesAddToThoseOfTheCommandLine)
{
    bool settingsShown = true;
    int passes = 0;
    services.inspect = [&](app::CSimulatorApp& app) {
        settingsShown = app.SetUp().Model().IsVisible();
        passes = app.Times().passes;
    };
    options.frames = 4;
    ASSERT_EQ(Run("frames 1\nkey F3\n"), 0) << errors.str();
    EXPECT_TRUE(settingsShown) << "F3 was pressed in a pass";
    EXPECT_EQ(passes, 6);
}

} // namespace
