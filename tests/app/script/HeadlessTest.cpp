#include "app/script/HeadlessOptions.h"
#include "app/script/HeadlessRunner.h"
#include "app/script/JsonWriter.h"
#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "layout/SurfaceTracks.h"
#include "platform/Cp932.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/LayoutCheckTemplate.h"
#include "ui/SetUpTemplate.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace su = ui::setup;
namespace vk = platform::vk;

platform::Result<app::HeadlessOptions> Parse(std::vector<std::string> args)
{
    return app::ParseHeadlessOptions(args);
}

TEST(HeadlessOptionsTest, ReadsEveryOptionInBothForms)
{
    auto options =
        Parse({"--headless", "--frames", "100", "--keys=F3@0,A@2-5", "--set", "1077=30", "--tool=3",
               "--set=1043=2", "--size", "320x200", "--settings", "s.ini", "--screenshot=shot.png",
               "--report", "r.json", "--save-map=out.txt", "--check-layout", "c.json", "map.txt"});
    ASSERT_TRUE(options) << options.error();
    EXPECT_EQ(options->frames, 100);
    EXPECT_EQ(options->keys, (std::vector<app::KeyHold>{{vk::kF3, 0, 0}, {'A', 2, 5}}));
    using Kind = app::StartAction::Kind;
    EXPECT_EQ(options->actions, (std::vector<app::StartAction>{
                                    {Kind::Set, 1077, 30}, {Kind::Tool, 3, 0}, {Kind::Set, 1043, 2}}));
    EXPECT_EQ(options->width, 320);
    EXPECT_EQ(options->height, 200);
    EXPECT_EQ(options->settingsFile, "s.ini");
    EXPECT_EQ(options->screenshotFile, "shot.png");
    EXPECT_EQ(options->reportFile, "r.json");
    EXPECT_EQ(options->mapFile, "map.txt");
    EXPECT_EQ(options->saveMapFile, "out.txt");
    EXPECT_EQ(options->checkLayoutFile, "c.json");

    auto defaults = Parse({});
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->width, 1024);
    EXPECT_EQ(defaults->height, 768);
    EXPECT_EQ(defaults->frames, 0);
    EXPECT_FALSE(defaults->mapFile);
}

TEST(HeadlessOptionsTest, RefusesWhatItCannotRead)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--frames"},        {"--frames", "-1"}, {"--frames", "ten"}, {"--keys", "F13@1"},
        {"--keys", "A@5-2"}, {"--keys", "A"},    {"--keys", "A@1,"},  {"--set", "1077"},
        {"--set", "x=1"},    {"--size", "0x10"}, {"--size", "640"},   {"--tool", "two"},
        {"--report="},       {"--unknown"},      {"a.txt", "b.txt"},  {"--keys", "ENTER@0"},
        {"--save-map"},      {"--save-map="},    {"--check-layout"},
    };
    for (const auto& args : bad)
        EXPECT_FALSE(Parse(args)) << args.front() << (args.size() > 1 ? " " + args[1] : "");
}

TEST(HeadlessOptionsTest, KeyNamesGiveTheProgramsKeyCodes)
{
    EXPECT_EQ(app::KeyCodeFromName("q"), 'Q');
    EXPECT_EQ(app::KeyCodeFromName("7"), '7');
    EXPECT_EQ(app::KeyCodeFromName("F12"), vk::kF12);
    EXPECT_EQ(app::KeyCodeFromName("numpad5"), vk::kNumpad5);
    EXPECT_EQ(app::KeyCodeFromName("SEMICOLON"), 187);
    EXPECT_EQ(app::KeyCodeFromName("MINUS"), 189);
    EXPECT_EQ(app::KeyCodeFromName("CARET"), 222);
    EXPECT_EQ(app::KeyCodeFromName("COMMA"), 188);
    EXPECT_EQ(app::KeyCodeFromName("PERIOD"), 190);
    EXPECT_EQ(app::KeyCodeFromName("SLASH"), 191);
    EXPECT_EQ(app::KeyCodeFromName("CTRL"), vk::kControl);
    EXPECT_EQ(app::KeyCodeFromName("F0"), 0);
    EXPECT_EQ(app::KeyCodeFromName("+"), 0);
}

TEST(JsonWriterTest, EscapesTextAndSeparatesValues)
{
    app::JsonWriter json;
    json.BeginObject()
        .Field("text", std::string("a\"b\\c\n\x01電車"))
        .Key("list")
        .BeginArray()
        .Int(-3)
        .Number(0.5)
        .Number(0.1f)
        .Number(std::numeric_limits<double>::infinity())
        .Bool(true)
        .EndArray()
        .Key("empty")
        .BeginObject()
        .EndObject()
        .EndObject();
    EXPECT_EQ(json.Text(),
              "{\"text\":\"a\\\"b\\\\c\\n\\u0001電車\",\"list\":[-3,0.5,0.1,null,true],\"empty\":{}}");
    EXPECT_TRUE(json.Complete());
    EXPECT_EQ(app::JsonWriter::Quote("\xff"), "\"\xEF\xBF\xBD\"") << "bytes that are not UTF-8";
}

class HeadlessRunTest : public ::testing::Test {
  protected:
    HeadlessRunTest()
    {
        std::filesystem::create_directories(dir.Path() / "bin");
        services.executableFolder = (dir.Path() / "bin").string() + "/";
        services.executableName = "korvela";
        services.errors = &errors;
        options.settingsFile = dir.File("run.ini");
    }

    testsupport::TempDir dir;
    app::HeadlessServices services;
    app::HeadlessOptions options;
    std::ostringstream errors;
};

TEST_F(HeadlessRunTest, ARunOfAHundredFramesWritesAReportWithEveryKey)
{
    options.frames = 100;
    options.reportFile = dir.File("r.json");
    int passes = 0;
    services.inspect = [&](app::CSimulatorApp& app) { passes = app.Times().passes; };
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    EXPECT_EQ(passes, 100);

    const std::string report = testsupport::ReadBytes(dir.File("r.json"));
    EXPECT_TRUE(report.starts_with("{\"frames\":100,\"ms_per_pass\":{\"simulation\":")) << report;
    for (const char* key :
         {"\"drawing\":", "},\"peak_rss_mb\":", "\"camera\":{\"eye\":[", "\"target\":[", "\"types\":[]",
          "\"trains\":[{\"slot\":1,\"name\":\"電車なし\",\"speed\":0,\"distance\":0,\"cars\":[]}",
          "{\"slot\":6,", "\"objects\":[]", "\"route_changes\":[]",
          "\"car\":{\"x\":", "\"speed\":0,\"heading\":0}", "\"plane\":{", "\"forward\":[", "\"helicopter\":{",
          "\"velocity\":[", "\"messages\":[]"})
        EXPECT_NE(report.find(key), std::string::npos) << key << "\n" << report;
    // Headless runs read the settings but never write them.
    EXPECT_FALSE(std::filesystem::exists(dir.File("run.ini")));
}

TEST_F(HeadlessRunTest, SettingsComeFromTheGivenFileAndSetActsAsAClick)
{
    testsupport::WriteBytes(dir.File("run.ini"), "[korvela]\r\nLight=30\r\nCamLocateIndex=4\r\n");
    options.actions = {{app::StartAction::Kind::Set, su::kSync, 0}};
    options.reportFile = dir.File("r.json");
    int light = -1, position = -1;
    services.inspect = [&](app::CSimulatorApp& app) {
        light = app.SetUp().Model().Position(su::kLight);
        position = app.SetUp().Model().Selection(su::kPositionList);
    };
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    EXPECT_EQ(light, 30);
    EXPECT_EQ(position, 4);
    // The click's handler ran: its message is in the report.
    EXPECT_NE(testsupport::ReadBytes(dir.File("r.json")).find("垂直同期の設定は、再起動後に有効になります。"),
              std::string::npos);
    EXPECT_EQ(testsupport::ReadBytes(dir.File("run.ini")), "[korvela]\r\nLight=30\r\nCamLocateIndex=4\r\n");
}

TEST_F(HeadlessRunTest, AFunctionKeyPressedOnFrameZeroIsOnlyRecorded)
{
    bool visible = true;
    services.inspect = [&](app::CSimulatorApp& app) { visible = app.SetUp().Model().IsVisible(); };
    options.frames = 3;
    options.keys = {{vk::kF3, 0, 1}};
    ASSERT_EQ(app::RunHeadless(options, services), 0);
    EXPECT_FALSE(visible);

    options.keys = {{vk::kF3, 1, 1}};
    ASSERT_EQ(app::RunHeadless(options, services), 0);
    EXPECT_TRUE(visible);
}

TEST_F(HeadlessRunTest, ToolSlotsAreClickedBeforeStart)
{
    bool editing = false;
    services.inspect = [&](app::CSimulatorApp& app) { editing = app.MainDlg().EditingMode(); };
    // Script slots count the tool bar without its undo and redo buttons: map creation is slot 3
    // in every script, as it was before they came.
    options.actions = {{app::StartAction::Kind::Tool, 3, 0}};
    ASSERT_EQ(app::RunHeadless(options, services), 0);
    EXPECT_TRUE(editing);

    options.actions = {{app::StartAction::Kind::Tool, 2, 0}}; // a separator
    EXPECT_EQ(app::RunHeadless(options, services), 2);
    EXPECT_NE(errors.str().find("usage:"), std::string::npos);
}

TEST_F(HeadlessRunTest, ImpossibleRequestsEndWithExitCodeTwo)
{
    options.actions = {{app::StartAction::Kind::Set, su::kLight, 101}};
    EXPECT_EQ(app::RunHeadless(options, services), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("run.ini"))) << "a refused run changes nothing";
    options.actions.clear();
    options.screenshotFile = dir.File("s.png");
    EXPECT_EQ(app::RunHeadless(options, services), 2) << "no off-screen device in this build";
}

TEST_F(HeadlessRunTest, AMapThatCannotBeLoadedEndsTheRunWithExitCodeOneAndTheReason)
{
    testsupport::WriteBytes(dir.File("plain.txt"), "not a map\r\n");
    options.frames = 10;
    options.reportFile = dir.File("r.json");
    for (const auto& [map, reason] : {std::pair{dir.File("missing.txt"), "ファイルオープン失敗"},
                                      std::pair{dir.File("plain.txt"), "データファイルではありません"}}) {
        errors.str("");
        options.mapFile = map;
        EXPECT_EQ(app::RunHeadless(options, services), 1);
        EXPECT_NE(errors.str().find(map + " could not be loaded: " + reason), std::string::npos) << errors.str();
        // The run goes on as the program would after the message, and its report carries it.
        EXPECT_NE(testsupport::ReadBytes(dir.File("r.json")).find(reason), std::string::npos);
    }
}

TEST_F(HeadlessRunTest, AScreenshotIsTakenFromTheDeviceTheCallerGives)
{
    options.screenshotFile = dir.File("s.png");
    int madeWidth = 0, madeHeight = 0;
    services.screenshotFactory = [&](const gfx::DeviceOptions& device, int width, int height) {
        madeWidth = width;
        madeHeight = height;
        gfx::RecordingDevice::Options recording;
        recording.device = device;
        recording.main = {width, height};
        auto created = gfx::RecordingDevice::Create(recording);
        return gfx::Created<gfx::Device>{std::move(created.device), std::move(created.error)};
    };
    bool written = false;
    services.writeScreenshot = [&](const gfx::Image&, const std::string&) {
        written = true;
        return platform::Status(platform::Ok{});
    };
    options.width = 200;
    options.height = 100;
    // The recording device has no pixels to give: said, and exit code 1.
    EXPECT_EQ(app::RunHeadless(options, services), 1);
    EXPECT_EQ(madeWidth, 200);
    EXPECT_EQ(madeHeight, 100);
    EXPECT_FALSE(written);
}

} // namespace

namespace {

// A layout whose turnout poll throws object 1 to route 1 on the third pass.
class SwitchingLayout final : public app::LayoutPort {
  public:
    std::string ObjectFolder() const override { return {}; }
    void SetObjectFolder(std::string) override {}
    std::string BackgroundName() const override { return {}; }
    void SetBackgroundName(std::string) override {}
    std::string MapFilePath() const override { return {}; }
    void SetMapFilePath(std::string) override {}
    void ScanObjectFolder() override {}
    void ChooseBackground() override {}
    void LoadMap() override {}
    void SaveMap() override {}
    void ImportMap() override {}
    bool LoadMapFile(const std::string&) override { return true; }
    int SelectedIndex() const override { return -1; }
    int SelectedRouteCount() const override { return 0; }
    int SelectedRoute() const override { return -1; }
    void SetSelectedRoute(int) override {}
    camera::SelectedObjectSource SelectedObject() const override { return {}; }
    void AssignKey(int) override {}
    void PollTurnoutKeys() override
    {
        if (++polls == 3) route = 1;
    }
    void RefreshKeyColumn() override {}
    float PickPlacedObject(const app::PickQuery&) override { return app::kNoHit; }
    std::string SelectedStatus() const override { return {}; }
    void RegrabSelected(const app::PickQuery&) override {}
    void DragSelected(const app::PickQuery&) override {}
    std::vector<std::string> TypeNames() const override { return {"直線", "分岐"}; }
    std::vector<app::PlacedObjectState> PlacedObjects() const override
    {
        return {{.index = 0, .type = "直線"},
                {.index = 1, .type = "分岐", .angle = 90, .route = route, .key = 3}};
    }

    int polls = 0;
    int route = 0;
};

// Vehicles whose train 2 runs 3 units along x and 4 along z each pass, and climbs.
class RunningVehicles final : public app::VehiclesPort {
  public:
    std::string TrainFolder(int) const override { return {}; }
    void SetTrainFolder(int, std::string) override {}
    void ScanTrainFolder(int) override {}
    std::string VehicleFolder(app::Vehicle) const override { return {}; }
    void SetVehicleFolder(app::Vehicle, std::string) override {}
    void ScanFolder(app::Vehicle) override {}
    void SetHome(int, float, float, float, float) override {}
    void SelectTrain(int, int) override {}
    void SelectVehicle(app::Vehicle, int) override {}
    void StoreTrainHome(int) override {}
    void StoreVehicleHome(app::Vehicle) override {}
    float PickCar(int, const app::PickQuery&) override { return app::kNoHit; }
    std::string CarStatus(int) const override { return {}; }
    bool HasSelectedCar(int) const override { return false; }
    void ReanchorGrab(int, const app::PickQuery&) override {}
    void DragCar(int, const app::PickQuery&) override {}
    void DriveStep(int slot) override
    {
        if (slot == 2) ++steps;
    }
    void UpdateControls(app::Vehicle) override {}
    void FillCameraSources(camera::CameraSources&) const override {}
    app::TrainState Train(int slot) const override
    {
        app::TrainState state;
        state.slot = slot;
        if (slot == 2) {
            state.name = "試験列車";
            state.cars.push_back({.x = 3.0f * steps, .y = 10.0f * steps, .z = 4.0f * steps});
        }
        return state;
    }
    app::RoadCarState RoadCar() const override { return {}; }
    app::PlaneState Plane() const override { return {}; }
    app::HelicopterState Helicopter() const override { return {}; }

    int steps = 0;
};

TEST_F(HeadlessRunTest, TheReportFollowsRouteChangesAndHowFarEachLeadCarMoved)
{
    SwitchingLayout layout;
    RunningVehicles vehicles;
    services.ports.layout = &layout;
    services.ports.vehicles = &vehicles;
    options.frames = 5;
    options.reportFile = dir.File("r.json");
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    const std::string report = testsupport::ReadBytes(dir.File("r.json"));
    EXPECT_NE(report.find("\"types\":[\"直線\",\"分岐\"]"), std::string::npos) << report;
    EXPECT_NE(report.find("\"route_changes\":[{\"frame\":2,\"index\":1,\"from\":0,\"to\":1}]"),
              std::string::npos)
        << report;
    // Five passes of 5 units each, the climb not counted.
    EXPECT_NE(
        report.find("{\"slot\":2,\"name\":\"試験列車\",\"speed\":0,\"distance\":25,\"cars\":[{\"x\":15,"),
        std::string::npos)
        << report;
    EXPECT_NE(
        report.find(
            "{\"index\":1,\"type\":\"分岐\",\"x\":0,\"y\":0,\"z\":0,\"angle\":90,\"route\":1,\"key\":3}"),
        std::string::npos)
        << report;
}

TEST_F(HeadlessRunTest, PausedPassesMoveNothingAndTheReportGivesTheClock)
{
    SwitchingLayout layout;
    RunningVehicles vehicles;
    services.ports.layout = &layout;
    services.ports.vehicles = &vehicles;
    options.actionsFile = dir.File("clock.actions");
    testsupport::WriteBytes(*options.actionsFile,
                            "frames 2\npause on\nframes 3\nspeed 4\nreport paused.json\npause off\nframes 1\n");
    options.reportFile = dir.File("r.json");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const int status = app::RunHeadless(options, services);
    std::filesystem::current_path(before);
    ASSERT_EQ(status, 0) << errors.str();
    const std::string paused = testsupport::ReadBytes(dir.File("paused.json"));
    EXPECT_NE(paused.find("\"distance\":10,"), std::string::npos) << paused;
    EXPECT_NE(paused.find("\"clock\":{\"paused\":true,\"rate\":4,\"passes\":2,\"seconds\":"), std::string::npos)
        << paused;
    // The rate changes only what the report says: one pass is one pass.
    const std::string report = testsupport::ReadBytes(dir.File("r.json"));
    EXPECT_NE(report.find("\"distance\":15,"), std::string::npos) << report;
    EXPECT_NE(report.find("\"clock\":{\"paused\":false,\"rate\":4,\"passes\":3,"), std::string::npos) << report;
    EXPECT_NE(report.find("\"frames\":6,"), std::string::npos) << report;
}

TEST_F(HeadlessRunTest, SaveMapWritesTheLoadedMapAsTheSaveCommandDoes)
{
    // An old-style map (UTF-8, LF, no vehicle sections) beside its one object type.
    const std::string folder = dir.File("objects") + "/";
    std::filesystem::create_directories(folder);
    testsupport::WriteBytes(folder + "直線.ini", "[korvela]\r\n");
    testsupport::WriteBytes(folder + "直線.x",
                            "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; }\n");
    testsupport::WriteBytes(folder + "old.txt", "DATA\n:Object Name\n直線\n:Map Data\n0 1.5 0 -2 90 0 3\n");
    options.mapFile = folder + "old.txt";
    options.saveMapFile = folder + "new.txt";
    options.reportFile = dir.File("r.json");

    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    const std::string saved = testsupport::ReadBytes(folder + "new.txt");
    const std::string expected =
        "KORVELA Map Data\r\n:Background\r\n\r\n:Object Name\r\n直線\r\n:Map Data\r\n"
        "0 1.500 0.000 -2.000 90.000 0 3\r\n:Position Data 2\r\n";
    EXPECT_TRUE(saved.starts_with(platform::Utf8ToCp932(expected).value())) << saved;
    EXPECT_NE(testsupport::ReadBytes(dir.File("r.json")).find("マップデータを保存しました。"),
              std::string::npos);

    // A file that cannot be written ends the run with exit code 1 and the reason.
    options.saveMapFile = folder + "no such folder/new.txt";
    EXPECT_EQ(app::RunHeadless(options, services), 1);
    EXPECT_NE(errors.str().find("ファイルオープン失敗"), std::string::npos) << errors.str();
}

TEST_F(HeadlessRunTest, SettingsAreMadeBeforeTheMapOpensSoItsTrainLosesItsVertexColours)
{
    const std::string trains = dir.File("trains") + "/";
    std::filesystem::create_directories(trains);
    testsupport::WriteBytes(trains + "t.txt", "[korvela]\r\n1両目モデル名=car\r\n");
    testsupport::WriteBytes(trains + "car.x", testsupport::kVertexColouredX);
    testsupport::WriteBytes(dir.File("run.ini"), "[korvela]\r\nTrain=" + trains + "\r\n");
    std::string map = "KORVELA Map Data\r\n:Object Name\r\n:Map Data\r\n:Vehicle Data 2\r\nt\r\n";
    for (int slot = 2; slot <= 6; ++slot)
        map += "電車なし\r\n";
    testsupport::WriteBytes(dir.File("map.txt"), map);
    options.mapFile = dir.File("map.txt");
    options.actions = {{app::StartAction::Kind::Set, su::kStripVertexColours, 1}};
    std::string name;
    services.inspect = [&](app::CSimulatorApp& app) { name = app.Vehicles().Train(1).name; };

    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    EXPECT_EQ(name, "t");
    EXPECT_EQ(testsupport::ReadBytes(trains + "car.x").find("MeshVertexColors"), std::string::npos);
}

TEST_F(HeadlessRunTest, SaveMapFailsWhenTheLayoutDoesNotSave)
{
    SwitchingLayout layout; // its save command does nothing
    services.ports.layout = &layout;
    options.saveMapFile = dir.File("out.txt");
    EXPECT_EQ(app::RunHeadless(options, services), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.txt")));
    EXPECT_NE(errors.str().find("--save-map"), std::string::npos);
}

// A map of two objects of one type laid on top of each other; returns its path.
std::string WriteTwiceLaidMap(const testsupport::TempDir& dir)
{
    const std::string folder = dir.File("objects") + "/";
    std::filesystem::create_directories(folder);
    testsupport::WriteBytes(folder + "box.ini", "[korvela]\r\n");
    testsupport::WriteBytes(folder + "box.x",
                            "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; }\n");
    testsupport::WriteBytes(folder + "twice.txt",
                            "DATA\n:Object Name\nbox\n:Map Data\n0 1.5 0 -2 90 0 -1\n0 1.5 0 -2 90 0 -1\n");
    return folder + "twice.txt";
}

TEST_F(HeadlessRunTest, CheckLayoutWritesTheFindingsAndFailsWhenTheMapCannotBeRead)
{
    options.mapFile = WriteTwiceLaidMap(dir);
    const std::string folder = dir.File("objects") + "/";
    options.checkLayoutFile = dir.File("check.json");
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    EXPECT_EQ(
        testsupport::ReadBytes(dir.File("check.json")),
        "{\"findings\":[{\"kind\":\"overlap\",\"objects\":[0,1],\"x\":1.5,\"y\":0,\"z\":-2,\"value\":0}],"
        "\"counts\":{\"open_end\":0,\"near_miss\":0,\"overlap\":1,\"grade\":0,\"clearance\":0,"
        "\"turnout_without_key\":0}}\n");

    // The script action writes the same at its point of the session.
    testsupport::WriteBytes(dir.File("check.actions"), "check-layout " + dir.File("scripted.json") + "\n");
    options.actionsFile = dir.File("check.actions");
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    EXPECT_EQ(testsupport::ReadBytes(dir.File("scripted.json")),
              testsupport::ReadBytes(dir.File("check.json")));
    options.actionsFile.reset();

    options.mapFile = folder + "missing.txt";
    options.checkLayoutFile = dir.File("none.json");
    EXPECT_EQ(app::RunHeadless(options, services), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.json")));
}

TEST_F(HeadlessRunTest, TheCheckCommandOpensItsWindowWhoseRowsSelectAndWhoseFindingsAreMarked)
{
    options.mapFile = WriteTwiceLaidMap(dir);
    // In map creation, where a click on a row turns the edit camera to the finding.
    testsupport::WriteBytes(dir.File("open.actions"), "frames 1\nmenu 32780\nmenu 32842\nframes 1\n");
    options.actionsFile = dir.File("open.actions");
    bool shown = false, marked = false;
    int rows = 0;
    std::vector<int> selected;
    math::Vec3 focus;
    services.inspect = [&](app::CSimulatorApp& app) {
        shown = app.LayoutCheck().Dialog().IsVisible();
        rows = app.LayoutCheck().Dialog().List(ui::check::kFindings).RowCount();
        marked = app.Scene().HasCheckMarkers();
        app.OnLayoutCheckRow(0);
        selected = app.OwnLayout().Core().Selection().Selected();
        focus = app.Camera().EditFocus();
    };
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();
    EXPECT_TRUE(shown);
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(marked);
    EXPECT_EQ(selected, (std::vector<int>{0, 1}));
    EXPECT_EQ(focus, (math::Vec3{1.5f, 0, -2}));
}

// Two lines of straight track ten units long along z, each with one loose joint: in the first
// the last piece stands 0.3 aside and is free at its far end; in the second both pieces of the
// loose joint are held at their other ends. Returns the map's path.
std::string WriteLooseJointsMap(const testsupport::TempDir& dir)
{
    const std::string folder = dir.File("objects") + "/";
    std::filesystem::create_directories(folder);
    const tracks::TypeFiles straight = tracks::TrackType({tracks::StraightLine(10.0)});
    testsupport::WriteBytes(folder + "straight.ini", tracks::IniText("korvela", 1) +
                                                         "SnapX0=0\r\nSnapZ0=0\r\nSnapX1=0\r\nSnapZ1=10\r\n");
    testsupport::WriteBytes(folder + "straight.x", straight.visible);
    testsupport::WriteBytes(folder + "straight_r.x", straight.guide);
    testsupport::WriteBytes(folder + "loose.txt", "DATA\n:Object Name\nstraight\n:Map Data\n"
                                                  "0 0 0 0 0 0 -1\n0 0 0 10 0 0 -1\n0 0.3 0 20 0 0 -1\n"
                                                  "0 0 0 90 0 0 -1\n0 0 0 100 0 0 -1\n"
                                                  "0 0.4 0 110 0 0 -1\n0 0.4 0 120 0 0 -1\n");
    return folder + "loose.txt";
}

TEST_F(HeadlessRunTest, MendingIsOneUndoableEditAfterWhichTheWindowChecksAgain)
{
    options.mapFile = WriteLooseJointsMap(dir);
    const auto line = [&](std::string action, const char* file) {
        return action + " " + dir.File(file) + "\n";
    };
    testsupport::WriteBytes(dir.File("mend.actions"),
                            "frames 1\nmenu 32780\n" + line("save-map", "gapped.txt") +
                                "menu 32842\nmend-joints\n" + line("save-map", "mended.txt") +
                                line("check-layout", "mended.json") + "undo\n" +
                                line("save-map", "undone.txt"));
    options.actionsFile = dir.File("mend.actions");
    std::vector<std::string> kinds;
    std::string said;
    std::size_t redo = 0;
    services.inspect = [&](app::CSimulatorApp& app) {
        const app::CLayoutCheck& check = app.LayoutCheck();
        for (int row = 0; row < check.Dialog().List(ui::check::kFindings).RowCount(); ++row)
            kinds.push_back(std::string(layout::FindingKindName(check.FindingOfRow(row)->kind)));
        said = check.Dialog().Text(ui::check::kMendReport);
        redo = app.OwnLayout().Core().History().RedoCount();
    };
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();

    // The window's list is the check after the mending: the held joint and the four line ends.
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), "near_miss"), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), "open_end"), 4);
    EXPECT_EQ(said, "1個のオブジェクトを動かしました。  合わせなかった継ぎ目: [4, 5]");
    const std::string mended = testsupport::ReadBytes(dir.File("mended.json"));
    EXPECT_NE(mended.find("\"near_miss\":1,"), std::string::npos) << mended;
    EXPECT_NE(testsupport::ReadBytes(dir.File("mended.txt")).find("\r\n0 0.000 0.000 20.000 "),
              std::string::npos);
    // One step undoes it all, back to the gap byte for byte.
    EXPECT_EQ(redo, 1u);
    EXPECT_EQ(testsupport::ReadBytes(dir.File("undone.txt")), testsupport::ReadBytes(dir.File("gapped.txt")));
    EXPECT_NE(testsupport::ReadBytes(dir.File("gapped.txt")), testsupport::ReadBytes(dir.File("mended.txt")));
}

} // namespace
