#include "AppTestSupport.h"
#include "app/CSimulatorApp.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"

#include <gtest/gtest.h>

namespace {

namespace cmd = ui::cmd;
namespace su = ui::setup;
namespace vk = platform::vk;
using apptest::AppFixture;
using apptest::Count;

class SimulatorAppTest : public ::testing::Test {
  protected:
    SimulatorAppTest() { f.app->Startup(); }

    app::CSimulatorApp& App() { return *f.app; }
    app::CMainDlg& Main() { return f.app->MainDlg(); }
    // A point well inside the render view (which starts 32 pixels down).
    static constexpr int kX = 100;
    static constexpr int kY = 100;

    AppFixture f;
};

TEST_F(SimulatorAppTest, StartUpRunsInItsOrderAndEndsWithTheStartButtonAndTheMessages)
{
    EXPECT_EQ(f.vehicles.log,
              (std::vector<std::string>{"SetHome 1 -10", "SetHome 2 -6", "SetHome 3 -2", "SetHome 4 2",
                                        "SetHome 5 6", "SetHome 6 10", "ScanFolder Plane",
                                        "ScanFolder Helicopter", "ScanFolder Car", "ScanTrainFolder 1",
                                        "ScanTrainFolder 2", "ScanTrainFolder 3", "ScanTrainFolder 4",
                                        "ScanTrainFolder 5", "ScanTrainFolder 6"}));
    EXPECT_EQ(f.layout.log, (std::vector<std::string>{"ScanObjectFolder " + f.folder}));
    EXPECT_TRUE(Main().StartButtonShown());
    EXPECT_EQ(f.viewers.log, (std::vector<std::string>{"OpenMessages"}));
    ASSERT_NE(f.Device(), nullptr);
    EXPECT_TRUE(f.dialogs.Messages().empty());
    // Grid, magnet, curve and height detection start checked; the point buttons greyed.
    for (const int id :
         {cmd::kToolGrid, cmd::kToolMagnet, cmd::kToolCurveDetection, cmd::kToolHeightDetection})
        EXPECT_TRUE(Main().ToolBar().IsChecked(id));
    EXPECT_TRUE(Main().ToolBar().IsIndeterminate(cmd::kToolPoints[0]));
    EXPECT_FALSE(Main().Menu().IsEnabled(cmd::kKeyNone));

    EXPECT_TRUE(App().PressStart());
    EXPECT_FALSE(Main().StartButtonShown());
}

TEST(SimulatorAppStartUp, TheDeviceReadsTheSyncSettingFromTheSettingsFile)
{
    AppFixture f;
    testsupport::WriteBytes(f.folder + "korvela.ini", "[korvela]\nDouki=0\n");
    f.app->Startup();
    ASSERT_NE(f.Device(), nullptr);
    EXPECT_EQ(f.Device()->SwapInterval(), gfx::kImmediateInterval);
}

TEST(SimulatorAppStartUp, AFailedDeviceIsReportedAndTheProgramGoesOnWithoutDrawing)
{
    AppFixture f(true);
    f.app->Startup();
    EXPECT_FALSE(f.app->Graphics().HasDevice());
    const auto messages = f.dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "3Dデバイスを作成できませんでした。");
    EXPECT_EQ(messages[0].icon, platform::MessageIcon::Error);

    // Everything that would draw or touch the device simply does nothing.
    EXPECT_TRUE(f.app->PressStart());
    EXPECT_TRUE(f.app->RunPass());
    f.app->Paint();
    f.app->OnSize(800, 600);
    f.app->OnSize(800, 600);
    f.app->SetUp().Click(su::kFillWireframe);
    f.app->SetUp().ScrollSlider(su::kLight, 10);
    EXPECT_TRUE(f.app->RunPass());
    f.app->OnClose();
    EXPECT_FALSE(f.app->RunPass());
}

TEST_F(SimulatorAppTest, EveryCloseStopsTheLoopAndWritesTheSettingsOnce)
{
    ASSERT_TRUE(App().PressStart());
    EXPECT_TRUE(App().RunPass());
    App().OnClose();
    EXPECT_FALSE(App().RunPass());
    const std::string ini = f.folder + "korvela.ini";
    EXPECT_TRUE(std::filesystem::exists(ini));
    EXPECT_EQ(App().SettingsWrites(), 1);

    // A second request (the window manager after the close box, say) writes nothing more.
    std::filesystem::remove(ini);
    App().OnClose();
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_EQ(App().SettingsWrites(), 1);
}

TEST(SimulatorAppStartUp, ACloseBeforeStartKeepsTheLoopFromEverRunning)
{
    AppFixture f;
    f.app->Startup();
    f.app->OnClose();
    EXPECT_FALSE(f.app->PressStart());
    EXPECT_FALSE(f.app->RunPass());
    EXPECT_EQ(f.app->SettingsWrites(), 1);
}

TEST(ClickArbitration, NearestWinsAndTiesGoToTheObjectThenTheLowerTrain)
{
    using app::CMainDlg;
    const float miss = app::kNoHit;
    EXPECT_EQ(CMainDlg::ChoosePicked(5, {miss, miss, 5, miss, miss, miss}, -1), 0);
    EXPECT_EQ(CMainDlg::ChoosePicked(5, {miss, miss, 4.9f, miss, miss, miss}, -1), 3);
    EXPECT_EQ(CMainDlg::ChoosePicked(miss, {miss, 7, miss, miss, 7, miss}, -1), 2);
    EXPECT_EQ(CMainDlg::ChoosePicked(miss, {miss, 7, miss, miss, 6, miss}, -1), 5);
    EXPECT_EQ(CMainDlg::ChoosePicked(miss, {miss, miss, miss, miss, miss, miss}, -1), -1);
    // When everything misses the picked item is left as it was.
    EXPECT_EQ(CMainDlg::ChoosePicked(miss, {miss, miss, miss, miss, miss, miss}, 4), 4);
}

TEST_F(SimulatorAppTest, AClickPicksWritesPaneZeroAndRefreshesTheTurnoutControls)
{
    f.layout.pickDistance = 5;
    f.vehicles.pickDistances[2] = 5;
    f.layout.routeCount = 2;
    f.layout.route = 1;
    App().OnLeftButtonDown(kX, kY);
    EXPECT_EQ(Main().Picked(), 0);
    EXPECT_EQ(Main().StatusBar().Text(0), "object status");
    EXPECT_TRUE(Main().Menu().IsEnabled(cmd::kKeyFirst));
    EXPECT_TRUE(Main().ToolBar().IsChecked(cmd::kToolPoints[1]));

    f.layout.pickDistance = app::kNoHit;
    f.vehicles.pickDistances = {app::kNoHit, 7, app::kNoHit, app::kNoHit, 7, app::kNoHit};
    App().OnLeftButtonDown(kX, kY);
    EXPECT_EQ(Main().Picked(), 2);
    EXPECT_EQ(Main().StatusBar().Text(0), "car of train 2");

    // A click outside the render view (on the tool bar) picks nothing.
    f.vehicles.pickDistances[0] = 1;
    App().OnLeftButtonDown(kX, 10);
    EXPECT_EQ(Main().Picked(), 2);
}

TEST_F(SimulatorAppTest, ReleasingTheLeftButtonEndsDragsAndClearsPaneZero)
{
    ASSERT_TRUE(App().ClickTool(cmd::kToolCreateMap));
    f.layout.pickDistance = 3;
    f.layout.selected = 0;
    f.keys.Press(vk::kLButton);
    App().OnLeftButtonDown(kX, kY);
    EXPECT_TRUE(Main().ObjectDrag());
    App().PressStart();
    App().RunPass();
    EXPECT_EQ(Count(f.layout.log, "DragSelected"), 1);

    f.keys.Release(vk::kLButton);
    App().RunPass();
    EXPECT_FALSE(Main().ObjectDrag());
    EXPECT_EQ(Main().Picked(), -1);
    EXPECT_EQ(Main().StatusBar().Text(0), " ");
    EXPECT_EQ(Count(f.layout.log, "DragSelected"), 1);
}

TEST_F(SimulatorAppTest, ACameraMoveDuringATrainDragReanchorsEachSelectedCarOnce)
{
    ASSERT_TRUE(App().ClickTool(cmd::kToolMoveTrain));
    f.vehicles.selectedCar[1] = true;
    f.vehicles.selectedCar[4] = true;
    f.vehicles.pickDistances[1] = 2;
    f.keys.Press(vk::kLButton);
    App().OnLeftButtonDown(kX, kY);
    ASSERT_TRUE(Main().TrainDrag());
    f.keys.Press(vk::kRButton);
    App().PressStart();
    EXPECT_TRUE(App().RunPass());
    EXPECT_EQ(Count(f.vehicles.log, "ReanchorGrab 2"), 1);
    EXPECT_EQ(Count(f.vehicles.log, "ReanchorGrab 5"), 1);
    EXPECT_EQ(Count(f.vehicles.log, "DragCar 2"), 1) << "only the picked train is dragged";
    EXPECT_EQ(Count(f.vehicles.log, "DragCar 5"), 0);
}

TEST_F(SimulatorAppTest, EditingModesStopTheVehiclesAndSwitchDetection)
{
    App().PressStart();
    App().RunPass();
    EXPECT_EQ(Count(f.vehicles.log, "DriveStep 1"), 1);

    ASSERT_TRUE(App().ClickTool(cmd::kToolCreateMap));
    const ui::DialogModel& objects = App().ObjectSelect().Model();
    for (const int id : ui::objsel::kEditButtons)
        EXPECT_TRUE(objects.IsEnabled(id));
    EXPECT_TRUE(objects.IsVisible());
    EXPECT_FALSE(Main().ToolBar().IsChecked(cmd::kToolCurveDetection));
    EXPECT_FALSE(Main().ToolBar().IsChecked(cmd::kToolHeightDetection));
    App().RunPass();
    EXPECT_EQ(Count(f.vehicles.log, "DriveStep 1"), 1) << "vehicles stand still while editing";

    ASSERT_TRUE(App().ClickTool(cmd::kToolCreateMap));
    for (const int id : ui::objsel::kEditButtons)
        EXPECT_FALSE(objects.IsEnabled(id));
    EXPECT_TRUE(Main().ToolBar().IsChecked(cmd::kToolCurveDetection));
    EXPECT_TRUE(Main().ToolBar().IsChecked(cmd::kToolHeightDetection));
    App().RunPass();
    EXPECT_EQ(Count(f.vehicles.log, "DriveStep 1"), 2);
}

TEST_F(SimulatorAppTest, TheTwoCarToolsExcludeEachOther)
{
    App().ClickTool(cmd::kToolMoveCar);
    App().ClickTool(cmd::kToolMoveTrain);
    EXPECT_FALSE(Main().ToolBar().IsChecked(cmd::kToolMoveCar));
    EXPECT_TRUE(Main().ToolBar().IsChecked(cmd::kToolMoveTrain));
    EXPECT_FALSE(Main().ToolBar().IsChecked(cmd::kToolHeightDetection));
    App().ClickTool(cmd::kToolMoveTrain);
    EXPECT_FALSE(Main().EditingMode());
    EXPECT_TRUE(Main().ToolBar().IsChecked(cmd::kToolCurveDetection));
    EXPECT_TRUE(Main().ToolBar().IsChecked(cmd::kToolHeightDetection));
}

TEST_F(SimulatorAppTest, TurnoutControlsFollowTheSelectedObjectsRoutes)
{
    f.layout.routeCount = 3;
    f.layout.route = 2;
    App().RefreshTurnoutControls();
    for (int id = cmd::kKeyNone; id <= cmd::kKeyLast; ++id)
        EXPECT_TRUE(Main().Menu().IsEnabled(id));
    for (int route = 0; route < 10; ++route) {
        const int id = cmd::kToolPoints[static_cast<std::size_t>(route)];
        EXPECT_EQ(Main().ToolBar().IsEnabled(id), route < 3) << route;
        EXPECT_EQ(Main().ToolBar().IsChecked(id), route == 2) << route;
    }
    ASSERT_TRUE(App().ClickTool(cmd::kToolPoints[0]));
    EXPECT_EQ(f.layout.log.back(), "SetSelectedRoute 0");

    // A plain object: the whole turnout menu grey, no point button usable.
    f.layout.routeCount = 1;
    f.layout.route = 0;
    App().RefreshTurnoutControls();
    EXPECT_FALSE(Main().Menu().IsEnabled(cmd::kKeyNone));
    EXPECT_FALSE(Main().Menu().IsEnabled(cmd::kKeyLast));
    for (const int id : cmd::kToolPoints)
        EXPECT_TRUE(Main().ToolBar().IsIndeterminate(id));
    EXPECT_FALSE(App().ClickTool(cmd::kToolPoints[0]));
}

TEST_F(SimulatorAppTest, FolderChoosersOpenAtTheCurrentFolderAndCancelChangesNothing)
{
    f.vehicles.log.clear();
    f.layout.log.clear();
    for (const int id :
         {cmd::kTrainFolder, cmd::kPlaneFolder, cmd::kHelicopterFolder, cmd::kCarFolder, cmd::kObjectFolder})
        EXPECT_TRUE(App().OnCommand(id));
    EXPECT_TRUE(f.vehicles.log.empty());
    EXPECT_TRUE(f.layout.log.empty());
    const auto& calls = f.dialogs.Calls();
    ASSERT_EQ(calls.size(), 5u);
    const std::string titles[] = {"電車フォルダの選択", "飛行機フォルダの選択", "ヘリコプターフォルダの選択",
                                  "車フォルダの選択", "オブジェクトフォルダの選択"};
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const auto& request = std::get<platform::FolderRequest>(calls[i].request);
        EXPECT_EQ(request.title, titles[i]);
        EXPECT_EQ(request.startFolder, f.folder);
    }

    f.dialogs.QueueFolder("/data/trains/");
    App().OnCommand(cmd::kTrainFolder);
    for (const auto& folder : f.vehicles.trainFolders)
        EXPECT_EQ(folder, "/data/trains/");
    EXPECT_EQ(f.vehicles.log,
              (std::vector<std::string>{"ScanTrainFolder 1", "ScanTrainFolder 2", "ScanTrainFolder 3",
                                        "ScanTrainFolder 4", "ScanTrainFolder 5", "ScanTrainFolder 6"}));
    f.dialogs.QueueFolder("/data/cars/");
    App().OnCommand(cmd::kCarFolder);
    EXPECT_EQ(f.vehicles.vehicleFolders[2], "/data/cars/");
    EXPECT_EQ(f.vehicles.log.back(), "ScanFolder Car");
}

TEST_F(SimulatorAppTest, ANewObjectFolderTakesTheMapFileAlongAndAsksForTheBackground)
{
    f.layout.mapFile = "/old/place/MyLayout.txt";
    f.layout.log.clear();
    f.dialogs.QueueFolder("/new/objects/");
    App().OnCommand(cmd::kObjectFolder);
    EXPECT_EQ(f.layout.objectFolder, "/new/objects/");
    EXPECT_EQ(f.layout.mapFile, "/new/objects/MyLayout.txt");
    EXPECT_EQ(f.layout.log, (std::vector<std::string>{"ScanObjectFolder /new/objects/", "ChooseBackground"}));
}

TEST_F(SimulatorAppTest, MenuCommandsReachTheirHandlers)
{
    f.layout.log.clear();
    f.viewers.log.clear();
    App().OnCommand(cmd::kKeyNone);
    App().OnCommand(cmd::kKeyFirst + 11);
    App().OnCommand(cmd::kToolLoadMap);
    App().OnCommand(cmd::kSaveMap);
    App().OnCommand(cmd::kImportMap);
    App().OnCommand(cmd::kBackground);
    EXPECT_EQ(f.layout.log, (std::vector<std::string>{"AssignKey -1", "AssignKey 11", "LoadMap", "SaveMap",
                                                      "ImportMap", "ChooseBackground"}));
    App().OnCommand(cmd::kHelpKey);
    App().OnCommand(cmd::kHelp);
    App().OnCommand(cmd::kMessages);
    App().OnCommand(cmd::kUpdateCheck);
    EXPECT_EQ(f.viewers.log,
              (std::vector<std::string>{"ToggleHelp", "ToggleHelp", "OpenMessages", "CheckForUpdate"}));

    App().OnCommand(cmd::kShowSettings);
    App().OnCommand(cmd::kShowObjects);
    EXPECT_TRUE(App().SetUp().Model().IsVisible());
    EXPECT_TRUE(App().ObjectSelect().Model().IsVisible());

    App().OnCommand(cmd::kAbout);
    ASSERT_EQ(f.dialogs.Messages().size(), 1u);
    EXPECT_FALSE(App().OnCommand(12345));
}

TEST_F(SimulatorAppTest, ResizingResetsTheDeviceAndAViewWithoutAreaDrawsAndPicksNothing)
{
    gfx::RecordingDevice* device = f.Device();
    ASSERT_NE(device, nullptr);
    device->ClearCalls();
    App().OnSize(800, 600); // the size message of the window's creation
    EXPECT_EQ(device->Count<gfx::call::Reset>(), 0u);
    App().OnSize(800, 600);
    const auto resets = device->CallsOf<gfx::call::Reset>();
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0].width, 800);
    EXPECT_EQ(resets[0].height, 600 - 20 - 24 - 8);

    App().Paint();
    EXPECT_EQ(device->Count<gfx::call::Clear>(), 1u);

    // Smaller than the bars: the device keeps a 1 × 1 picture and nothing is drawn or picked.
    App().OnSize(300, 40);
    EXPECT_EQ(device->CallsOf<gfx::call::Reset>().back().height, 1);
    device->ClearCalls();
    App().Paint();
    App().PressStart();
    App().RunPass();
    EXPECT_EQ(device->Count<gfx::call::Clear>(), 0u);
    f.layout.pickDistance = 1;
    App().OnLeftButtonDown(10, 35);
    EXPECT_EQ(Main().Picked(), -1);
}

TEST_F(SimulatorAppTest, TheWheelStepsTheViewAngleSliderAndItsLabel)
{
    App().OnMouseWheel(120);
    EXPECT_EQ(App().SetUp().Model().Position(su::kFieldOfView), 24);
    EXPECT_EQ(App().SetUp().Model().Text(su::kFieldOfViewLabel), "24");
}

TEST_F(SimulatorAppTest, APassSimulatesBeforeItDrawsAndAPaintOnlyDraws)
{
    ui::DialogModel& setUp = App().SetUp().Model();
    setUp.SetSelection(su::kPositionList, 0);
    App().PressStart();
    ASSERT_TRUE(App().RunPass());
    // The track following closes the simulation, after the camera rig set its panes.
    EXPECT_EQ(f.vehicles.log.back(), "FollowTrack");
    const std::string pane = Main().StatusBar().Text(1);
    EXPECT_EQ(pane, "位置(F5)：" + setUp.ItemText(su::kPositionList, 0));

    setUp.SetSelection(su::kPositionList, 7);
    const math::Vec3 eye = App().Camera().Eye();
    const std::size_t steps = f.vehicles.log.size();
    f.Device()->ClearCalls();
    App().Paint();
    EXPECT_EQ(f.Device()->Count<gfx::call::Present>(), 1u);
    EXPECT_EQ(App().Camera().Eye(), eye);
    EXPECT_EQ(Main().StatusBar().Text(1), pane);
    EXPECT_EQ(f.vehicles.log.size(), steps);

    ASSERT_TRUE(App().RunPass());
    EXPECT_NE(Main().StatusBar().Text(1), pane);
}

TEST_F(SimulatorAppTest, AHiddenWindowDrainsPassesWithoutFrames)
{
    App().PressStart();
    f.Device()->ClearCalls();
    EXPECT_TRUE(App().RunPass(false));
    EXPECT_EQ(f.Device()->Count<gfx::call::Present>(), 0u);
    EXPECT_EQ(Count(f.vehicles.log, "DriveStep 1"), 0);
    EXPECT_TRUE(App().RunPass(true));
    EXPECT_EQ(f.Device()->Count<gfx::call::Present>(), 1u);
}

} // namespace
