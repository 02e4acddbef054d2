// The application object: owns every subsystem, runs start-up in its fixed order, one pass of
// the main loop at a time, the main window's mouse and size handling, every menu and tool-bar
// command and the one close path. The window front end, the headless runner and the tests all
// drive the program through this class.
#pragma once

#include "app/AppLayout.h"
#include "app/AppRuler.h"
#include "app/AppScene.h"
#include "app/AppVehicles.h"
#include "app/LayoutPort.h"
#include "app/MousePort.h"
#include "app/PassClock.h"
#include "app/PlanExportDialog.h"
#include "app/RecentMaps.h"
#include "app/RecoveryKeeper.h"
#include "app/SettingsFile.h"
#include "app/VehiclesPort.h"
#include "app/dialogs/CLayoutCheck.h"
#include "app/dialogs/CMainDlg.h"
#include "app/dialogs/COperationWindow.h"
#include "app/dialogs/CPartsListWindow.h"
#include "app/dialogs/CObjectSelect.h"
#include "app/dialogs/CSetUp.h"
#include "app/dialogs/MessageViewers.h"
#include "app/dialogs/OnlineServices.h"
#include "app/dialogs/PickQuery.h"
#include "app/dialogs/SetUpActions.h"
#include "app/dialogs/ViewerPort.h"
#include "camera/CCamera.h"
#include "camera/CameraSources.h"
#include "input/CInput.h"
#include "layout/CLayoutSurface.h"
#include "layout/TrackLaying.h"
#include "operation/Operation.h"
#include "operation/OperationFile.h"
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

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// What the surroundings give the application: the window's mouse, and stand-ins that tests put
// in place of the application's own parts. Each left null is answered by the application.
struct AppPorts {
    LayoutPort* layout = nullptr;     // null: the application's own layout (AppLayout)
    VehiclesPort* vehicles = nullptr; // null: the application's own vehicles (AppVehicles)
    ViewerPort* viewers = nullptr;    // null: the help and messages viewers over the online services
    MousePort* mouse = nullptr;       // null: no mouse movement (no window)
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
    // Autosave and recovery of unsaved layouts; off without a folder.
    RecoveryOptions recovery{};
    // The map named on the command line: the title names it from the start.
    std::string startMap{};
    // "終了" closes the window as its close box does; without a window the command asks about
    // unsaved changes and ends the run.
    std::function<void()> requestClose{};
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
    static constexpr std::string_view kAboutText =
        "KORVELA Version 1.0\n鉄道模型のレイアウトを3Dで組み立て、電車を走らせるソフトです。";
    static constexpr std::string_view kAboutTitle = "バージョン情報";
    // The demo map in the content folder.
    static constexpr std::string_view kDemoMap = "objects/demo.txt";

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
    // One pass of the main loop after the event pump found nothing pending: the mouse and the
    // drags, then the simulation (driving, vehicles, turnout keys, the camera rig and the texts
    // it sets, the track following), then the frame, which only draws. windowShown is false
    // while the main window is hidden or minimised: nothing then. Returns false once the loop
    // must end.
    bool RunPass(bool windowShown = true);
    // count passes with one frame after the last: the window's loop runs the passes its clock
    // made due (none draws nothing). Returns false once the loop must end.
    bool RunPasses(int count);
    // Called after every pass (the window's run report follows the passes with it).
    void SetPassHook(std::function<void()> hook) { passHook_ = std::move(hook); }
    // Every close request of the main window (close box, window manager, signals, the end of
    // a headless run): stops the loop and writes the settings file, once.
    void OnClose();
    bool Closed() const { return closed_; }
    // A paint of the main window: the current state drawn, nothing simulated. Before Start, when
    // no pass runs, the camera is first brought to what its lists choose.
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
    // Pause ("一時停止") and the pass rate of fast-forward ("早送り": 1, 2, 4 or 8), with the
    // tool bar's buttons following; false for a rate that is none of those.
    void SetPaused(bool paused);
    bool SetPassRate(int rate);
    // The pace of the passes, pause and fast-forward.
    const PassClock& Clock() const { return clock_; }
    PassClock& Clock() { return clock_; }
    // A press on a tool-bar button: toggles it as the tool bar does, then runs its command.
    // False when the button is unknown, disabled or greyed.
    bool ClickTool(int commandId);
    // The turnout menu and the point buttons from the selected object.
    void RefreshTurnoutControls();
    // The "点検結果" window: its model, a button pressed in it, and a click on one of its rows
    // (which selects the finding's objects and points the camera at them).
    CLayoutCheck& LayoutCheck() { return layoutCheck_; }
    void OnLayoutCheckClick(int id);
    void OnLayoutCheckRow(int row);
    // "継ぎ目を合わせる": closes the near-miss joints as one undoable edit (nothing while a drag
    // is under way); the window, when shown, checks again and says what moved and what not.
    void MendJoints();
    // The edit menu's entries (what they would undo and redo, greyed when nothing or outside
    // map creation) and the "*" of the title while the layout has unsaved changes.
    void RefreshEditState();
    // Before the layout is closed or replaced: with unsaved changes, asks
    // "マップデータが変更されています。保存しますか？" (保存 runs the save with its chooser).
    // False when the layout must stay: キャンセル, or a save that did not go through.
    bool ConfirmUnsavedChanges();
    // After start-up (and the map of the command line): a recovery file left by a session that
    // ended with unsaved changes is offered back.
    void OfferRecovery();
    // Writes the recovery file when it is due (the passes and RefreshEditState call it too).
    void KeepRecovery();
    // A close that cannot ask (a signal, a logout): unsaved changes go to the recovery file
    // now, never to the user's map. The close keeps the file while changes are unsaved that
    // the user did not choose to throw away.
    void KeepUnsavedForRecovery();
    RecoveryKeeper& Recovery() { return recovery_; }
    // The map named on the command line, loaded as the load command does without its dialog.
    bool LoadMapFile(const std::string& path);
    // The map a start without a map file opens: the one last loaded or saved (the settings
    // file's "FileName") while it exists, else the demo map; empty when neither exists.
    std::string StartMap() const;
    // The end of start-up: the map of the command line (environment's startMap) or StartMap().
    // One that cannot be opened leaves the empty layout, and its messages say why.
    void OpenStartMap();
    // A map was loaded or saved: it heads "最近使ったファイル".
    void MapFileUsed(const std::string& path);
    const RecentMaps& Recent() const { return recent_; }
    // The object dialog's preview of the type chosen in its catalogue list.
    void RenderObjectPreview();
    // The centre of the render view seen through the camera, where placing and importing aim.
    PickQuery ViewCentreQuery() const;

    // --- laying track from the selected piece's open ends, while the map is being built
    // "つなぐ" (Insert; flip: Shift+Insert, "反転"): the object dialog's current type laid
    // against the current open end. A refusal is said in status pane 0.
    void AttachTrack(bool flip);
    // Tab and "次の端": the next open end becomes current.
    void NextTrackEnd();
    // The n-th open end (from 0) becomes current; false when the selected piece has none such.
    bool ChooseTrackEnd(int n);
    // Space: the piece just attached turns so that its next end meets the joint.
    void TurnAttachedTrack();
    // A key pressed over the render view (Tab, Space); true when it was used.
    bool OnViewKey(int vk);
    // The markers of the selected piece's open ends (none outside map creation).
    std::vector<gfx::ColoredVertex> TrackEndMarkers();

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
    // The tool bar's "計測".
    const AppRuler& Ruler() const { return ruler_; }
    // A ruler click at a client point of the render view (the ruler need not be on): sets a
    // point, shows the reading in status pane 0 once there are two. False off the view or
    // where the click meets nothing.
    bool MeasureAt(int clientX, int clientY);
    void ClearRuler() { ruler_.Clear(); }
    // Everything a frame and the object preview draw.
    render::FrameScene& Scene() { return appScene_; }
    // The application's own vehicles (in use unless a vehicles port was given).
    AppVehicles& OwnVehicles() { return appVehicles_; }
    VehiclesPort& Vehicles() { return *vehicles_; }
    // Protection, autopilots, stops, shuttles and itineraries of the layout.
    operation::Operation& Operation() { return operation_; }
    const operation::Operation& Operation() const { return operation_; }
    // The operation settings changed as a user changes them (the trains' counters go on).
    void ChangeOperation(operation::OperationSettings settings);
    // The "運転管理" window: its model, shown or hidden by its command, a button or box pressed in
    // it, a row of one of its lists (by the list's id) chosen, and its rows kept up to date while
    // it is shown.
    COperationWindow& OperationWindow() { return operationWindow_; }
    void ToggleOperationWindow();
    void OnOperationWindowClick(int id);
    void OnOperationWindowRow(int list, int row);
    void RefreshOperationWindow();
    // The "部品表" window: its model, shown or hidden by its command, a button pressed in it, and
    // its list kept up to date with the layout and the selection while it is shown.
    CPartsListWindow& PartsListWindow() { return partsList_; }
    void TogglePartsList();
    void OnPartsListClick(int id);
    void RefreshPartsList();
    // The "平面図の書き出し" dialog, opened by its command, and a button pressed in it.
    PlanExportDialog& PlanExport() { return planExport_; }
    void OnPlanExportClick(int id);
    // The marked stops the view shows while the operation window is open.
    std::vector<gfx::ColoredVertex> StopMarkers() const;
    // A click on a stop's marker while the window is open chooses that stop; false when the
    // click met no marker.
    bool ClickStopMarker(const PickQuery& query);
    const SettingsFile& Settings() const { return settings_; }
    const std::string& ExecutableFolder() const { return environment_.executableFolder; }
    const std::string& ExecutableName() const { return environment_.executableName; }
    const PassTimes& Times() const { return times_; }
    // How often the settings file was written (once at most).
    int SettingsWrites() const { return settingsWrites_; }

  private:
    class SetUpBridge;
    class ObjectSelectBridge;

    // One pass without its frame: input, simulation (none while paused) and the camera rig.
    void StepPass();
    void RenderFrame();
    // The pause and fast-forward buttons as the clock stands.
    void ShowClockState();
    // The camera rig for this pass (eye, target, the status panes and list it sets) and the
    // matrices of the render view.
    void UpdateView();
    camera::CameraSources Sources() const;
    PickQuery QueryAt(int clientX, int clientY) const;
    void DragFollowUp(const PickQuery& query);
    // After the trains settled onto the track: where each stands on the track graph, and the
    // speed limits and autopilot speeds of the next pass. Nothing while operation is not in use.
    void StepOperation();
    void ChooseFolder(int commandId);
    void ChooseObjectFolder();
    void OnEditModeCommand(int commandId);
    // Checks the layout and shows the "点検結果" window.
    void RunLayoutCheck();
    // The file menu's commands of our own: "上書き保存", a recent map, "終了".
    void SaveMapOver();
    void OpenRecentMap(int position);
    void Quit();
    void RefreshRecentMenu();
    // "全体を表示".
    void ShowWholeLayout();
    bool LayingTrack() const;
    void AfterTrackLaying(const platform::Status& done);
    void LoadKeyLabels(gfx::Device& device);

    AppEnvironment environment_;
    platform::DialogService& dialogs_;
    platform::KeyState& keys_;
    input::CInput input_;
    render::CGraphics graphics_;
    render::CRenderStates renderStates_;
    render::CLighting lighting_;
    camera::CCamera camera_;

    // Stand-in for a mouse port not given (tests).
    MousePort nullMouse_;
    LayoutPort* layout_;
    VehiclesPort* vehicles_;
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
    CLayoutCheck layoutCheck_;
    AppRuler ruler_;
    // The selected piece's open ends and "つなぐ", on the application's own layout.
    layout::TrackLaying laying_{appLayout_.Core()};
    std::unique_ptr<ObjectSelectBridge> objectBridge_;
    // The trains and the other vehicles, after the layout they run on and before the scene
    // that draws them; all of them go before the device does.
    layout::CLayoutSurface surface_;
    AppVehicles appVehicles_;
    // What map files read and write of the vehicles: trains' homes and the flyers' and road
    // car's start positions, each passing the rest on.
    vehicles::VehicleStartPositions mapStarts_;
    vehicles::TrainMapVehicles mapTrains_;
    // Protection, autopilots and stops, and their share of the map (passing the rest on).
    operation::Operation operation_;
    COperationWindow operationWindow_;
    std::unique_ptr<OperationPort> operationPort_;
    operation::OperationMapVehicles mapOperation_;
    CPartsListWindow partsList_;
    std::unique_ptr<PartsListPort> partsListPort_;
    PlanExportDialog planExport_;
    AppScene appScene_;
    // Operation gave the trains limits last pass (they are lifted once it is no longer in use).
    bool operationActive_ = false;
    std::vector<layout::ObjectId> ids_; // each record's id, for the operation step
    RecoveryKeeper recovery_;
    RecentMaps recent_;
    // The edit count the check window's list was made at; none after a load.
    std::optional<std::uint64_t> checkedAt_;
    // The edit count when the user last chose not to save ("保存しない"): closing with just
    // those changes leaves nothing to recover.
    std::optional<std::uint64_t> discardedAt_;

    int cursorX_ = 0;
    int cursorY_ = 0;
    bool started_ = false;
    bool closed_ = false;
    int settingsWrites_ = 0;
    PassTimes times_;
    PassClock clock_;
    std::function<void()> passHook_;
};

} // namespace app
