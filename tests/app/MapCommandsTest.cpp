// The map commands of the file menu beyond load and save (the map a start opens, the recent
// maps, "上書き保存" and its question, "終了"), "全体を表示", and the check window and placing
// as the application runs them.
#include "ObjectSelectTestSupport.h"
#include "ui/CommandIds.h"
#include "ui/LayoutCheckTemplate.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"

namespace {

using objseltest::LayoutAppTest;
namespace cmd = ui::cmd;
namespace os = ui::objsel;

// Two straight pieces 30 apart on a map in the object folder.
const char* const kMap = "KORVELA Map Data\r\n:Background\r\nground\r\n:Object Name\r\nstraight\r\n:Map Data\r\n"
                         "0 0.000 0.000 0.000 0.000 0 -1\r\n0 30.000 2.000 -10.000 0.000 0 -1\r\n";

class MapCommands : public LayoutAppTest {
  protected:
    std::string Map(const std::string& name) const { return (objects() / name).string(); }
    void WriteMap(const std::string& name) const
    {
        testsupport::WriteBytes(objects() / "ground.x", objseltest::BoxX(-50, 50, -1, 0, -50, 50));
        testsupport::WriteBytes(objects() / name, kMap);
    }
    int Asked(platform::DialogCallKind kind) const
    {
        return static_cast<int>(std::count_if(dialogs.Calls().begin(), dialogs.Calls().end(),
                                              [kind](const platform::DialogCall& c) { return c.kind == kind; }));
    }
};

TEST_F(MapCommands, SaveOverAsksOnlyWithoutAFileAndTheRecentMapsFollowEveryLoadAndSave)
{
    Start({"straight"});
    // No file yet: "上書き保存" asks where, as "名前を付けて保存" does.
    dialogs.QueueSaveFile(std::nullopt);
    app->OnCommand(cmd::kSaveOver);
    EXPECT_EQ(Asked(platform::DialogCallKind::SaveFile), 1);
    EXPECT_TRUE(app->Recent().Paths().empty());
    EXPECT_EQ(app->MainDlg().Menu().Suffix(cmd::kRecentFirst), "");

    WriteMap("a.txt");
    WriteMap("b.txt");
    ASSERT_TRUE(app->LoadMapFile(Map("a.txt")));
    ASSERT_TRUE(app->LoadMapFile(Map("b.txt")));
    EXPECT_EQ(app->Recent().Paths(), (std::vector<std::string>{Map("b.txt"), Map("a.txt")}));
    EXPECT_EQ(app->MainDlg().Menu().Suffix(cmd::kRecentFirst + 1), "&2 " + Map("a.txt"));

    // Saved over without a chooser.
    std::filesystem::remove(objects() / "b.txt");
    app->OnCommand(cmd::kSaveOver);
    EXPECT_EQ(Asked(platform::DialogCallKind::SaveFile), 1);
    EXPECT_NE(testsupport::ReadBytes(objects() / "b.txt").find("0 30.000 2.000 -10.000"), std::string::npos);

    // The first recent item opens a.txt again; a map that has gone leaves the list.
    app->OnCommand(cmd::kRecentFirst + 1);
    EXPECT_EQ(app->MainDlg().Window().Title(), "korvela - a");
    std::filesystem::remove(objects() / "b.txt");
    app->OnCommand(cmd::kRecentFirst + 1);
    EXPECT_EQ(app->Recent().Paths(), std::vector<std::string>{Map("a.txt")});
    EXPECT_EQ(app->MainDlg().Menu().Suffix(cmd::kRecentFirst + 1), "");

    // Kept in the settings file for the next start.
    app->OnClose();
    app::AppEnvironment environment{.executableFolder = (dir.Path() / "bin").string() + "/",
                                    .executableName = "korvela",
                                    .deviceFactory = apptest::RecordingFactory()};
    app::CSimulatorApp next(std::move(environment), dialogs, keys);
    next.Startup();
    EXPECT_EQ(next.Recent().Paths(), std::vector<std::string>{Map("a.txt")});
}

TEST_F(MapCommands, SavingWhereTheObjectsAreMissingAsksFirst)
{
    Start({"straight"});
    WriteMap("a.txt");
    ASSERT_TRUE(app->LoadMapFile(Map("a.txt")));
    const std::filesystem::path elsewhere = dir.Path() / "elsewhere.txt";
    dialogs.QueueSaveFile(elsewhere.string());
    dialogs.QueueMessageAnswer(platform::MessageAnswer::No);
    app->OnCommand(cmd::kSaveMap);
    EXPECT_FALSE(std::filesystem::exists(elsewhere));
    ASSERT_EQ(dialogs.MessageTexts().size(), 1u);
    EXPECT_EQ(dialogs.MessageTexts()[0], layout::MissingTypesQuestion(1));
    EXPECT_NE(dialogs.MessageTexts()[0].find("（1 種類）"), std::string::npos);

    // Saved anyway, as asked; into the objects' own folder nothing is asked.
    dialogs.QueueSaveFile(elsewhere.string());
    app->OnCommand(cmd::kSaveMap);
    EXPECT_TRUE(std::filesystem::exists(elsewhere));
    dialogs.ClearCalls();
    dialogs.QueueSaveFile(Map("c.txt"));
    app->OnCommand(cmd::kSaveMap);
    EXPECT_EQ(dialogs.MessageTexts(), std::vector<std::string>{"マップデータを保存しました。"});
}

TEST(MapCommandsStart, TheFirstStartOpensTheDemoAndLaterOnesTheLastMap)
{
    testsupport::TempDir dir;
    const std::filesystem::path bin = dir.Path() / "bin";
    std::filesystem::create_directories(bin / "objects");
    objseltest::WriteType(bin / "objects", "straight");
    testsupport::WriteBytes(bin / "objects" / "ground.x", objseltest::BoxX(-50, 50, -1, 0, -50, 50));
    testsupport::WriteBytes(bin / "objects" / "demo.txt", kMap);
    platform::RecordingDialogService dialogs;
    platform::KeyState keys;
    const auto start = [&] {
        auto app = std::make_unique<app::CSimulatorApp>(
            app::AppEnvironment{.executableFolder = bin.string() + "/",
                                .executableName = "korvela",
                                .deviceFactory = apptest::RecordingFactory()},
            dialogs, keys);
        app->SetWindowMetrics(640, 480, 24, 20);
        return app;
    };
    {
        // No settings file: the demo, named in the title before start-up.
        auto app = start();
        EXPECT_EQ(app->MainDlg().Window().Title(), "korvela - demo");
        app->Startup();
        app->OpenStartMap();
        EXPECT_EQ(app->OwnLayout().Core().Placed().Count(), 2);
        // Saved under another name, that map opens next time.
        dialogs.QueueSaveFile((bin / "objects" / "mine.txt").string());
        app->OnCommand(cmd::kSaveMap);
        app->OnCommand(cmd::kQuit);
        EXPECT_TRUE(app->Closed());
    }
    {
        auto app = start();
        EXPECT_EQ(app->MainDlg().Window().Title(), "korvela - mine");
        app->Startup();
        app->OpenStartMap();
        EXPECT_EQ(app->OwnLayout().Core().MapFilePath(), (bin / "objects" / "mine.txt").string());
        app->OnClose();
    }
    {
        // The last map gone: the demo again; a broken one leaves the empty layout and says why.
        std::filesystem::remove(bin / "objects" / "mine.txt");
        EXPECT_EQ(start()->StartMap(), (bin / "objects" / "demo.txt").string());
        testsupport::WriteBytes(bin / "objects" / "demo.txt", "no map");
        auto app = start();
        app->Startup();
        dialogs.ClearCalls();
        app->OpenStartMap();
        EXPECT_EQ(app->OwnLayout().Core().Placed().Count(), 0);
        EXPECT_EQ(dialogs.MessageTexts(), std::vector<std::string>{"データファイルではありません"});
    }
}

TEST_F(MapCommands, TheCheckWindowFollowsTheLayoutAndPlacingSaysWhenItCannot)
{
    Start({"straight"});
    WriteMap("a.txt");
    ASSERT_TRUE(app->LoadMapFile(Map("a.txt")));
    app->ClickTool(cmd::kToolCreateMap);
    app->OnCommand(cmd::kLayoutCheck);
    const auto findings = [&] { return app->LayoutCheck().Result().findings.size(); };
    const std::size_t loaded = findings();
    // Piece 1 laid onto piece 0: an overlap appears, and goes with the undo.
    Core().Selection().SetPrimary(1);
    Core().Selection().SetSelected(1, true);
    ASSERT_TRUE(Core().MoveSelectedBy(-30, -2, 10).ok());
    app->RefreshEditState();
    EXPECT_EQ(findings(), loaded + 1);
    app->OnCommand(cmd::kUndo);
    EXPECT_EQ(findings(), loaded);
    EXPECT_FALSE(app->Layout().History().changed); // back at the loaded state

    // The default camera looks level at the horizon: "配置" places nothing and says why.
    Dialog().Model().SetSelection(os::kCatalogue, 0);
    Dialog().Click(os::kPlace);
    EXPECT_EQ(Core().Placed().Count(), 2);
    EXPECT_EQ(app->MainDlg().StatusBar().Text(0), "配置する場所が画面の中央にありません。");
}

TEST_F(MapCommands, TheWholeLayoutFitsTheViewFromAboveTheSouth)
{
    Start({"straight"});
    WriteMap("a.txt");
    ASSERT_TRUE(app->LoadMapFile(Map("a.txt")));
    for (const bool editing : {false, true}) {
        if (editing) app->ClickTool(cmd::kToolCreateMap);
        app->OnCommand(cmd::kWholeLayout);
        app->Paint();
        const camera::CCamera& camera = app->Camera();
        EXPECT_GT(camera.Eye().y, camera.Target().y + 20) << editing;
        EXPECT_LT(camera.Eye().z, camera.Target().z) << editing;
        const math::Matrix viewProjection = camera.View() * camera.Projection();
        for (const layout::PlacedObject& object : Core().Placed().All()) {
            const math::Vec4 clip = math::Transform({object.x, object.y, object.z}, viewProjection);
            EXPECT_GT(clip.w, 0) << editing;
            EXPECT_LT(std::fabs(clip.x / clip.w), 1.0f) << editing;
            EXPECT_LT(std::fabs(clip.y / clip.w), 1.0f) << editing;
        }
    }
}

} // namespace

namespace {

// "パッケージの保存" writes the layout with its objects; "パッケージを開く" unpacks it into a new
// folder under layouts/ beside the program and opens it there, whatever the object folder was.
// A map naming a type the folder lacks says how many placeholders it has in the title, and the
// same folder chosen again brings them in once the files are there.
TEST_F(MapCommands, PackagesTravelThroughTheFileMenuAndPlaceholdersComeBackWithTheirFiles)
{
    Start({"straight"});
    WriteMap("a.txt");
    ASSERT_TRUE(app->LoadMapFile(Map("a.txt")));
    const std::string package = (dir.Path() / "a.korvela.zip").string();
    dialogs.QueueSaveFile(package);
    app->OnCommand(cmd::kSavePackage);
    ASSERT_TRUE(std::filesystem::exists(package));

    std::filesystem::remove(objects() / "straight.x");
    for (const char* copy : {"a", "a (2)"}) {
        dialogs.QueueOpenFile(package);
        app->OnCommand(cmd::kOpenPackage);
        const std::string folder = (dir.Path() / "bin" / "layouts" / copy / "objects").string() + "/";
        EXPECT_EQ(app->Layout().MapFilePath(), folder + "a.txt");
        EXPECT_EQ(app->Layout().ObjectFolder(), folder);
        EXPECT_EQ(app->Layout().PlacedObjects().size(), 2u);
        EXPECT_TRUE(app->Layout().Placeholders().empty());
    }
    EXPECT_EQ(dialogs.MessageTexts().back(),
              "パッケージを開きました。オブジェクト、電車、乗り物はこのフォルダから読み込みます: " +
                  (dir.Path() / "bin" / "layouts" / "a (2)").string() + "/");

    ASSERT_TRUE(app->LoadMapFile(Map("a.txt")));
    EXPECT_EQ(app->MainDlg().Window().Title(), "korvela - a [ファイルのないオブジェクト 2 個]");
    objseltest::WriteType(objects(), "straight");
    dialogs.QueueFolder(objects().string());
    app->OnCommand(cmd::kObjectFolder);
    EXPECT_EQ(dialogs.MessageTexts().back(), "1 種類のオブジェクトを読み込みました。");
    EXPECT_TRUE(app->Layout().Placeholders().empty());
    EXPECT_EQ(app->Layout().PlacedObjects().size(), 2u);
    EXPECT_EQ(app->MainDlg().Window().Title(), "korvela - a");

    // A file that is no map changes nothing: "上書き保存" still saves a.txt without asking.
    testsupport::WriteBytes(objects() / "plain.txt", "hello\r\n");
    EXPECT_FALSE(app->LoadMapFile(Map("plain.txt")));
    EXPECT_EQ(app->Layout().MapFilePath(), Map("a.txt"));
    app->OnCommand(cmd::kSaveOver);
    EXPECT_EQ(Asked(platform::DialogCallKind::SaveFile), 1);
}

} // namespace
