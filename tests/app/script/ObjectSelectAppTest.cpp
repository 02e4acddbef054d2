// The layout inside the application: the object dialog's lists and count, the preview, the
// frame, picking and dragging through the main window, map loading and the run report.
#include "app/ObjectSelectTestSupport.h"
#include "app/script/HeadlessRunner.h"
#include "platform/Cp932.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"

#include <sstream>

namespace {

using objseltest::LayoutAppTest;
namespace cmd = ui::cmd;
namespace os = ui::objsel;
namespace vk = platform::vk;

// Two types in the map's folder, "straight" and the two-route "turnout", placed once each.
// The trains and models it names are not loaded here.
const char* const kMap = "KORVELA Map Data\r\n"
                         ":Background\r\n"
                         "ground\r\n"
                         ":Object Name\r\n"
                         "straight\r\n"
                         "turnout\r\n"
                         ":Map Data\r\n"
                         "0 1.000 0.000 2.000 90.000 0 -1\r\n"
                         "1 5.000 0.000 0.000 0.000 1 3\r\n"
                         ":Position Data 2\r\n"
                         "-10.000 0.000 0.000 0.000\r\n"
                         "-6.000 0.000 0.000 0.000\r\n"
                         "-2.000 0.000 5.000 1.571\r\n"
                         "2.000 0.000 0.000 0.000\r\n"
                         "6.000 0.000 0.000 0.000\r\n"
                         "10.000 0.000 0.000 0.000\r\n"
                         "0.000 30.000 0.000\r\n"
                         "5.000 20.000 5.000\r\n"
                         "1.000 0.000 -8.000\r\n"
                         ":Vehicle Data 2\r\n"
                         "電車なし\r\n"
                         "電車なし\r\n"
                         "電車なし\r\n"
                         "電車なし\r\n"
                         "電車なし\r\n"
                         "電車なし\r\n"
                         "plane\r\n"
                         "heli\r\n"
                         "car\r\n";

void WriteMapFolder(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    objseltest::WriteType(folder, "straight");
    objseltest::WriteType(folder, "turnout", {"ポイント=2"});
    testsupport::WriteBytes(folder / "ground.x", objseltest::BoxX(-50, 50, -1, 0, -50, 50));
    // In code page 932, as the program writes its maps.
    testsupport::WriteBytes(folder / "map.txt", platform::Utf8ToCp932Lossy(kMap));
}

// Draw calls made on the given target.
std::size_t DrawsOn(const gfx::RecordingDevice& device, gfx::Target target)
{
    std::size_t draws = 0;
    gfx::Target current = gfx::Target::Main;
    for (const gfx::RecordedCall& call : device.Calls()) {
        if (const auto* set = std::get_if<gfx::call::SetTarget>(&call)) current = set->target;
        if (std::holds_alternative<gfx::call::DrawSubset>(call) && current == target) ++draws;
    }
    return draws;
}

class LayoutApp : public LayoutAppTest {
  protected:
    // The view's centre in the main window's client coordinates (640 × 480, bars 24 and 20).
    static constexpr int kCentreX = 320;
    static constexpr int kCentreY = 24 + 8 + (480 - 24 - 8 - 20) / 2;
};

TEST_F(LayoutApp, ThePreviewOfAnEmptyCatalogueShowsOnlyItsBackground)
{
    Start({});
    ASSERT_EQ(Dialog().Model().Selection(os::kCatalogue), -1);
    Recorder().ClearCalls();
    app->RenderObjectPreview();
    EXPECT_EQ(Recorder().Count<gfx::call::Clear>(), 1u);
    EXPECT_EQ(Recorder().Count<gfx::call::DrawSubset>(), 0u);
    const auto presents = Recorder().CallsOf<gfx::call::Present>();
    ASSERT_EQ(presents.size(), 1u);
    EXPECT_EQ(presents[0].target, gfx::Target::Preview);
}

TEST_F(LayoutApp, ThePreviewShowsTheChosenTypeThroughThePreviewCamera)
{
    Start({"a", "b"});
    Recorder().ClearCalls();
    // The wheel over the dialog steps to the next type and redraws the preview.
    Dialog().OnMouseWheel(-120);
    EXPECT_EQ(Dialog().Model().Selection(os::kCatalogue), 1);
    EXPECT_EQ(DrawsOn(Recorder(), gfx::Target::Preview), 1u);
    EXPECT_EQ(DrawsOn(Recorder(), gfx::Target::Main), 0u);
    const auto draws = Recorder().CallsOf<gfx::call::DrawSubset>();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].state.Transform(gfx::TransformKind::View), app->Camera().PreviewView());
}

TEST_F(LayoutApp, TheFrameDrawsThePlacedObjects)
{
    Start({"box"});
    ASSERT_TRUE(Core().Placed().Append({.type = 0, .x = 0, .y = 0, .z = 0}).ok());
    ASSERT_TRUE(Core().Placed().Append({.type = 0, .x = 3, .y = 0, .z = 0}).ok());
    Recorder().ClearCalls();
    app->Paint();
    EXPECT_EQ(DrawsOn(Recorder(), gfx::Target::Main), 2u);
}

TEST_F(LayoutApp, AClickPicksAnObjectAndADragInMapCreationMovesIt)
{
    Start({"box"});
    ASSERT_TRUE(Core().Placed().Append({.type = 0, .x = 0, .y = 0, .z = 0}).ok());
    ASSERT_TRUE(app->ClickTool(cmd::kToolCreateMap));
    app->Camera().SetPitch(30);
    app->Paint();

    keys.Press(vk::kLButton);
    app->OnLeftButtonDown(kCentreX, kCentreY);
    EXPECT_EQ(Core().Selection().Primary(), 0);
    EXPECT_TRUE(Core().Selection().IsSelected(0));
    EXPECT_TRUE(app->MainDlg().StatusBar().Text(0).starts_with("No=0  Mesh=box  x=0.000"))
        << app->MainDlg().StatusBar().Text(0);
    ASSERT_TRUE(app->MainDlg().ObjectDrag());

    // Dragging to the right moves the object towards +x, and the pane follows it.
    ASSERT_TRUE(app->PressStart());
    app->OnMouseMove(kCentreX + 60, kCentreY);
    ASSERT_TRUE(app->RunPass());
    EXPECT_GT(Core().Placed().Position(0).x, 1.0f);
    EXPECT_EQ(Core().Placed().Position(0).y, 0.0f);
    EXPECT_TRUE(Core().Drag().Dragging());
    EXPECT_FALSE(app->MainDlg().StatusBar().Text(0).starts_with("No=0  Mesh=box  x=0.000"));

    keys.Release(vk::kLButton);
    ASSERT_TRUE(app->RunPass());
    EXPECT_FALSE(Core().Drag().Dragging());
    EXPECT_EQ(app->MainDlg().StatusBar().Text(0), " ");
}

TEST_F(LayoutApp, LoadingAMapFillsTheListTheCountAndTheTitle)
{
    Start({});
    WriteMapFolder(objects());
    ASSERT_TRUE(app->LoadMapFile((objects() / "map.txt").string()));
    EXPECT_EQ(Dialog().Model().List(os::kPlacedList).RowCount(), 2);
    EXPECT_EQ(Dialog().Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  2 / 2000");
    EXPECT_EQ(Dialog().Model().Items(os::kCatalogue), (std::vector<std::string>{"straight", "turnout"}));
    EXPECT_EQ(app->MainDlg().Window().Title(), "korvela - map");
    EXPECT_TRUE(dialogs.MessageTexts().empty());

    // Choosing the turnout's row enables its two point buttons.
    Dialog().OnListSelection({1});
    Dialog().OnRowClick(1);
    EXPECT_TRUE(app->MainDlg().ToolBar().IsEnabled(cmd::kToolPoints[1]));
    EXPECT_FALSE(app->MainDlg().ToolBar().IsEnabled(cmd::kToolPoints[2]));
    EXPECT_TRUE(app->MainDlg().ToolBar().IsChecked(cmd::kToolPoints[1]));

    // Another object folder empties the list and the count.
    app->Layout().SetObjectFolder(dir.Path().string() + "/");
    app->Layout().ScanObjectFolder();
    EXPECT_EQ(Dialog().Model().List(os::kPlacedList).RowCount(), 0);
    EXPECT_EQ(Dialog().Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  0 / 2000");
    EXPECT_FALSE(app->MainDlg().ToolBar().IsEnabled(cmd::kToolPoints[0]));
}

TEST_F(LayoutApp, AMapSavesBackAsItWasLoaded)
{
    Start({});
    WriteMapFolder(objects());
    ASSERT_TRUE(app->LoadMapFile((objects() / "map.txt").string()));
    dialogs.QueueSaveFile((objects() / "again.txt").string());
    ASSERT_TRUE(app->OnCommand(cmd::kSaveMap));
    EXPECT_EQ(testsupport::ReadBytes(objects() / "again.txt"), testsupport::ReadBytes(objects() / "map.txt"));
    EXPECT_EQ(app->MainDlg().Window().Title(), "korvela - again");
    EXPECT_EQ(app->Layout().MapFilePath(), (objects() / "again.txt").string());
}

TEST(LayoutHeadless, TheReportListsTheCatalogueAndEveryPlacedObject)
{
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "bin");
    WriteMapFolder(dir.Path() / "objects");

    app::HeadlessServices services;
    services.executableFolder = (dir.Path() / "bin").string() + "/";
    services.executableName = "korvela";
    std::ostringstream errors;
    services.errors = &errors;
    app::HeadlessOptions options;
    options.frames = 3;
    options.settingsFile = dir.File("run.ini");
    options.mapFile = (dir.Path() / "objects" / "map.txt").string();
    options.reportFile = dir.File("r.json");
    ASSERT_EQ(app::RunHeadless(options, services), 0) << errors.str();

    const std::string report = testsupport::ReadBytes(dir.File("r.json"));
    for (const char* part :
         {"\"types\":[\"straight\",\"turnout\"]",
          "{\"index\":0,\"type\":\"straight\",\"x\":1,\"y\":0,\"z\":2,\"angle\":90,\"route\":0,"
          "\"key\":-1}",
          "{\"index\":1,\"type\":\"turnout\",\"x\":5,\"y\":0,\"z\":0,\"angle\":0,\"route\":1,"
          "\"key\":3}",
          "\"messages\":[]"})
        EXPECT_NE(report.find(part), std::string::npos) << part << "\n" << report;
}

} // namespace
