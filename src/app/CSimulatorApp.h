// The application object: owns every subsystem, runs start-up in its fixed order, one pass of
// the main loop at a time, the main window's mouse and size handling, every menu and tool-bar
// command and the one close path. The window front end, the headless runner and the tests all
// drive the program through this class.
#pragma once

#include "app/AppLayout.h"
#include "app/AppScene.h"
#include "app/AppTrainScene.h"
#include "app/AppTrains.h"
#include "app/AppVehicles.h"
#include "app/CMainDlg.h"
#include "app/CObjectSelect.h"
#include "app/CSetUp.h"
#include "app/LayoutPort.h"
#include "app/MessageViewers.h"
#include "app/MousePort.h"
#include "app/NullVehicles.h"
#include "app/OnlineServices.h"
#include "app/PickQuery.h"
#include "app/SceneHooks.h"
#include "app/SetUpActions.h"
#include "app/SettingsFile.h"
#include "app/VehiclesPort.h"
#include "app/ViewerPort.h"
#include "camera/CCamera.h"
#include "camera/CameraSources.h"
#include "input/CInput.h"
#include "layout/CLayoutSurface.h"
#include "platform/DialogService.h"
#include "platform/Http.h"
#include "platform/KeyState.h"
#include "platform/WebAddress.h"
#include "render/CGraphics.h"
#include "render/CLighting.h"
#include "render/CRenderStates.h"
#include "render/FrameScene.h"
#include "vehicles/TrainMapVehicles.h"
#include "vehicles/VehicleStartPositions.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// The parts later subsystems fill in. Each left null is answered by the application's own part
// (the layout) or by a stand-in that keeps folders and settings but holds no trains or vehicles.
struct AppPorts {
    LayoutPort* layout = nullptr; // null: the application's own layout
    VehiclesPort* vehicles = nullptr;
    ViewerPort* viewers = nullptr; // null: the help and messages viewers over the online services
    // The frame's items other than the layout's (trains, vehicles, key labels); null: none.
    render::FrameScene* scene = nullptr;
    SceneHooks* hooks = nullptr;
    MousePort* mouse = nullptr;
};

struct AppEnvironment {
    std::string executableFolder; // ends in '/'
    std::string executableName;   // base name, no extension: the settings file and section
    std::string executablePath{}; // empty: folder + name
    std::string settingsFile{};   // empty: folder + name + ".ini"
    render::DeviceFactory deviceFactory{};
    platform::HttpClient* http = nullptr; // null: nothing is ever downloaded
    std::optional<platform::WebAddresses> web{};
    render::CFrameRate::Clock clock{};
    AppPorts ports{};
    // The close path writes the settings file. Headless runs read settings but never write them,
    // so a scripted run cannot change what the next interactive start sees.
    bool saveSettingsOnClose = true;
};

// Average time of one pass, split as the run report shows it.
struct PassTimes {
    int passes = 0;
    double simulationMs = 0; // totals
    double drawingMs = 0;
};

class CSimulatorApp {
  public:
    static constexpr std::string_view kDeviceError = "3Dデバイスを作成できませんでした。";
    static constexpr std::string_view kAboutText = "KORVELA Version 1.0";
    static constexpr std::string_view kAboutTitle = "バージョン情報 KORVELA";

    // dialogs and keys must outlive the application; so must every port given in environment.
    CSimulatorApp(AppEnvironment environment, platform::DialogService& dialogs, platform::KeyState& keys);
    ~CSimulatorApp();
    CSimulatorApp(const CSimulatorApp&) = delete;
    CSimulatorApp& operator=(const CSimulatorApp&) = delete;

    // --- life cycle
    // The main window's initialisation, in its fixed order: bars, dialogs, settings file,
    // device (a failure is said in a message and the program goes on without drawing), home
    // poses, device states, catalogue and vehicles, key labels, the Start button and the
    // messages viewer. Give the window's metrics (SetWindowMetrics) first.
    void Startup();
    // The Start button: hidden for good; returns whether the loop may run.
    bool PressStart();
    // One pass of the main loop after the event pump found nothing pending. windowShown is
    // false while the main window is hidden or minimised: no frame then. Returns false once
    // the loop must end.
    bool RunPass(bool windowShown = true);
    // Every close request of the main window (close box, window manager, signals, the end of
    // a headless run): stops the loop and writes the settings file, once.
    void OnClose();
    bool Closed() const { return closed_; }
    // A paint of the main window: one frame.
    void Paint();

    // --- main window events (client coordinates)
    void SetWindowMetrics(int clientWidth, int clientHeight, int toolBarHeight, int statusBarHeight);
    void OnSize(int clientWidth, int clientHeight);
    void OnMouseMove(int x, int y);
    void OnLeftButtonDown(int x, int y);
    void OnMouseWheel(int delta);
    // A menu or tool-bar command by its original id; false for an id that is no command.
    // Tool-bar check buttons expect their new check state already set (see ClickTool).
    bool OnCommand(int commandId);
    // A press on a tool-bar button: toggles it as the tool bar does, then runs its command.
    // False when the button is unknown, disabled or greyed.
    bool ClickTool(int commandId);
    // The turnout menu and the point buttons from the selected object.
    void RefreshTurnoutControls();
    // The edit menu's entries (what they would undo and redo, greyed when nothing or outside
    // map creation) and the "*" of the title while the layout has unsaved changes.
    void RefreshEditState();
    // Before the layout is closed or replaced: with unsaved changes, asks
    // "マップデータが変更されています。保存しますか？" (保存 runs the save with its chooser).
    // False when the layout must stay: キャンセル, or a save that did not go through.
    bool ConfirmUnsavedChanges();
    // The map named on the command line, loaded as the load command does without its dialog.
    bool LoadMapFile(const std::string& path);
    // The object dialog's preview of the type chosen in its catalogue list.
    void RenderObjectPreview();
    // The centre of the render view seen through the camera, where placing and importing aim.
    PickQuery ViewCentreQuery() const;

    // --- parts
    CMainDlg& MainDlg() { return mainDlg_; }
    CSetUp& SetUp() { return setUp_; }
    CObjectSelect& ObjectSelect() { return objectSelect_; }
    ViewerPort& Viewers() { return *viewers_; }
    // The help and messages viewers the application made itself (null when a viewer port was
    // given): the front end shows their documents.
    MessageViewers* OwnViewers() { return ownViewers_.get(); }
    camera::CCamera& Camera() { return camera_; }
    render::CGraphics& Graphics() { return graphics_; }
    const input::CInput& Input() const { return input_; }
    LayoutPort& Layout() { return *layout_; }
    // The application's own layout (in use unless a layout port was given).
    AppLayout& OwnLayout() { return appLayout_; }
    // Everything a frame and the object preview draw.
    render::FrameScene& Scene() { return appScene_; }
    VehiclesPort& Vehicles() { return *vehicles_; }
    const SettingsFile& Settings() const { return settings_; }
    const std::string& ExecutableFolder() const { return environment_.executableFolder; }
    const std::string& ExecutableName() const { return environment_.executableName; }
    const PassTimes& Times() const { return times_; }
    // How often the settings file was written (once at most).
    int SettingsWrites() const { return settingsWrites_; }

  private:
    class SetUpBridge;
    class ObjectSelectBridge;

    void RenderFrame();
    camera::CameraSources Sources() const;
    PickQuery QueryAt(int clientX, int clientY) const;
    void DragFollowUp(const PickQuery& query);
    void ChooseFolder(int commandId);
    void ChooseObjectFolder();
    void OnEditModeCommand(int commandId);
    void LoadKeyLabels(gfx::Device& device);

    AppEnvironment environment_;
    platform::DialogService& dialogs_;
    platform::KeyState& keys_;
    input::CInput input_;
    render::CGraphics graphics_;
    render::CRenderStates renderStates_;
    render::CLighting lighting_;
    camera::CCamera camera_;

    // Stand-in for a mouse port not given (headless runs and tests).
    MousePort nullMouse_;
    LayoutPort* layout_;
    VehiclesPort* vehicles_;
    render::FrameScene* otherItems_;
    SceneHooks* hooks_;
    MousePort* mouse_;

    OnlineServices online_;
    std::unique_ptr<MessageViewers> ownViewers_;
    ViewerPort* viewers_;

    CMainDlg mainDlg_;
    std::unique_ptr<SetUpBridge> bridge_;
    CSetUp setUp_;
    CObjectSelect objectSelect_;
    SettingsFile settings_;
    // After the dialogs and the menu, which the layout takes over when it is made.
    AppLayout appLayout_;
    std::unique_ptr<ObjectSelectBridge> objectBridge_;
    // The trains and the other vehicles, after the layout they run on and before the scene
    // that draws them; all of them go before the device does.
    layout::CLayoutSurface surface_;
    AppTrains trains_;
    AppTrainScene trainScene_;
    AppVehicles appVehicles_;
    // What map files read and write of the vehicles: trains' homes and the flyers' and road
    // car's start positions, each passing the rest on.
    vehicles::VehicleStartPositions mapStarts_;
    vehicles::TrainMapVehicles mapTrains_;
    AppScene appScene_;

    int cursorX_ = 0;
    int cursorY_ = 0;
    bool closed_ = false;
    int settingsWrites_ = 0;
    PassTimes times_;
};

} // namespace app
