#include "app/CSimulatorApp.h"

#include "app/MessageViewers.h"
#include "app/ObjectSelectHost.h"
#include "camera/CameraSources.h"
#include "layout/MapFile.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/LayoutCheckTemplate.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"
#include "ui/WindowTemplates.h"

#include <array>
#include <chrono>
#include <iostream>

namespace app {

namespace {

namespace cmd = ui::cmd;
namespace su = ui::setup;
namespace vk = platform::vk;

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Folders end in '/' everywhere in the program.
AppEnvironment Normalised(AppEnvironment environment)
{
    if (environment.executableFolder.empty() || environment.executableFolder.back() != '/')
        environment.executableFolder += '/';
    return environment;
}

template <class T> T* OrDefault(T* given, T& fallback)
{
    return given ? given : &fallback;
}

} // namespace

// The settings dialog's handlers reach the rest of the program through the application.
class CSimulatorApp::SetUpBridge final : public SetUpActions {
  public:
    explicit SetUpBridge(CSimulatorApp& app) : app_(app) {}

    void SetShadeMode(gfx::ShadeMode mode) override
    {
        app_.renderStates_.SetShadeMode(app_.graphics_.Device(), mode == gfx::ShadeMode::Gouraud);
    }
    void SetFillMode(gfx::FillMode mode) override
    {
        app_.renderStates_.SetFillMode(app_.graphics_.Device(), mode == gfx::FillMode::Solid);
    }
    void SetCullMode(gfx::CullMode mode) override
    {
        app_.renderStates_.SetCullMode(app_.graphics_.Device(), mode);
    }
    void SetFieldOfView(float degrees) override { app_.camera_.SetWheelAngle(degrees); }
    void ApplyLights() override { app_.lighting_.ApplyLights(app_.graphics_.Device(), app_.setUp_.Model()); }
    void RenderPreview() override { app_.RenderObjectPreview(); }
    void SelectTrain(int slot, int index) override { app_.vehicles_->SelectTrain(slot, index); }
    void SelectVehicle(Vehicle vehicle, int index) override { app_.vehicles_->SelectVehicle(vehicle, index); }
    void StoreTrainHome(int slot) override { app_.vehicles_->StoreTrainHome(slot); }
    void StoreVehicleHome(Vehicle vehicle) override { app_.vehicles_->StoreVehicleHome(vehicle); }
    void ReloadKeyLabels() override
    {
        if (gfx::Device* device = app_.graphics_.Device()) app_.LoadKeyLabels(*device);
        app_.layout_->RefreshKeyColumn();
    }
    void ToggleObjectDialog() override { app_.objectSelect_.ToggleVisible(); }

  private:
    CSimulatorApp& app_;
};

// The object dialog's handlers reach the camera, the settings dialog and the main window
// through the application.
class CSimulatorApp::ObjectSelectBridge final : public ObjectSelectHost {
  public:
    explicit ObjectSelectBridge(CSimulatorApp& app) : app_(app) {}

    layout::PickRay ViewCentreRay() const override { return RayOf(app_.ViewCentreQuery()); }
    float ViewReach() const override { return static_cast<float>(app_.setUp_.Model().Position(su::kCulling)); }
    void RefreshTurnoutControls() override { app_.RefreshTurnoutControls(); }
    bool MapCreationMode() const override { return app_.mainDlg_.ToolBar().IsChecked(cmd::kToolCreateMap); }
    void FocusOnSelection() override { app_.camera_.SetEditFocus(true, app_.Sources()); }
    void FollowSelection() override
    {
        // Set as a program sets a list: no selection handler runs.
        app_.setUp_.Model().SetSelection(su::kPositionList, camera::entry::kSelectedObject);
        app_.setUp_.Model().SetSelection(su::kViewPointList, camera::entry::kSelectedObject);
    }
    void RenderPreview() override { app_.RenderObjectPreview(); }
    void ShowWarning(const std::string& text) override
    {
        app_.dialogs_.ShowMessage(
            {.text = text, .icon = platform::MessageIcon::Warning, .owner = ui::objsel::kDialogId});
    }
    void ShowStatus(const std::string& text) override
    {
        app_.mainDlg_.StatusBar().SetText(CMainDlg::kPickPane, text);
    }

  private:
    CSimulatorApp& app_;
};

CSimulatorApp::CSimulatorApp(AppEnvironment environment, platform::DialogService& dialogs,
                             platform::KeyState& keys)
    : environment_(Normalised(std::move(environment))), dialogs_(dialogs), keys_(keys),
      input_(keys_, environment_.executableFolder), graphics_(environment_.clock),
      layout_(OrDefault(environment_.ports.layout, static_cast<LayoutPort&>(appLayout_))),
      vehicles_(OrDefault(environment_.ports.vehicles, static_cast<VehiclesPort&>(appVehicles_))),
      mouse_(OrDefault(environment_.ports.mouse, nullMouse_)),
      online_{.executableFolder = environment_.executableFolder,
              .executablePath = environment_.executablePath.empty()
                                    ? environment_.executableFolder + environment_.executableName
                                    : environment_.executablePath,
              .dialogs = dialogs,
              .http = environment_.http,
              .web = environment_.web},
      ownViewers_(environment_.ports.viewers ? nullptr : std::make_unique<MessageViewers>(online_)),
      viewers_(environment_.ports.viewers ? environment_.ports.viewers : ownViewers_.get()),
      bridge_(std::make_unique<SetUpBridge>(*this)),
      setUp_(input_, mainDlg_.StatusBar(), dialogs_, *viewers_, *bridge_),
      settings_(environment_.settingsFile.empty()
                    ? SettingsFile::DefaultPath(environment_.executableFolder, environment_.executableName)
                    : environment_.settingsFile,
                environment_.executableName, input_),
      appLayout_(*this, dialogs_, environment_.executableName),
      objectBridge_(std::make_unique<ObjectSelectBridge>(*this)), surface_(appLayout_.Core()),
      appVehicles_(*this, surface_, environment_.executableName),
      mapStarts_(appVehicles_.MapStartPositions(appLayout_.OwnMapVehicles())),
      mapTrains_(appVehicles_.Slots(), mapStarts_), appScene_(*this, appLayout_.Core(), appVehicles_),
      recovery_(environment_.recovery, dialogs_)
{
    appLayout_.UseMapVehicles(&mapTrains_);
    objectSelect_.Bind(&appLayout_.Core(), objectBridge_.get());
    graphics_.AddResetHook([this](gfx::Device& device) { LoadKeyLabels(device); });
    // The title names the map the start will open from the first moment.
    const std::string start = environment_.startMap.empty() ? StartMap() : environment_.startMap;
    mainDlg_.Window().SetTitle(
        layout::MapWindowTitle(environment_.executableName, start.empty() ? settings_.MapFile() : start));
}

CSimulatorApp::~CSimulatorApp() = default;

void CSimulatorApp::LoadKeyLabels(gfx::Device& device)
{
    appScene_.LoadKeyLabels(device, setUp_.Model().Selection(su::kSpriteStyle));
}

void CSimulatorApp::Startup()
{
    // Tool bar, the turnout controls for the (empty) selection, the default check buttons and
    // the status bar; the render view lies where the metrics put it.
    mainDlg_.InitialiseBars();
    RefreshTurnoutControls();

    // The modeless dialogs; the viewers carry their titles from their creation.
    setUp_.Initialise();
    objectSelect_.Initialise();

    // The settings go straight into the dialog's controls, before the device reads "同期".
    settings_.Read(setUp_, *layout_, *vehicles_, layoutCheck_, recent_);
    RefreshRecentMenu();

    const platform::Status created = environment_.deviceFactory
                                         ? graphics_.Create(environment_.deviceFactory, setUp_.Model())
                                         : platform::Status(platform::Fail("no device factory"));
    if (!created) {
        std::cerr << "korvela: " << created.error() << "\n";
        dialogs_.ShowMessage({.text = std::string(kDeviceError),
                              .icon = platform::MessageIcon::Error,
                              .owner = ui::mainwin::kDialogId});
    }

    for (int slot = 1; slot <= 6; ++slot)
        vehicles_->SetHome(slot, static_cast<float>(4 * (slot - 1) - 10), 0.0f, 0.0f, 0.0f);

    gfx::Device* device = graphics_.Device();
    renderStates_.ApplyFixedStates(device, setUp_.Model());
    lighting_.ApplyLights(device, setUp_.Model());

    layout_->ScanObjectFolder();
    vehicles_->ScanFolder(Vehicle::Plane);
    vehicles_->ScanFolder(Vehicle::Helicopter);
    vehicles_->ScanFolder(Vehicle::Car);
    for (int slot = 1; slot <= 6; ++slot)
        vehicles_->ScanTrainFolder(slot);

    renderStates_.ApplyTextureFiltering(device);
    if (device) LoadKeyLabels(*device);

    mainDlg_.AllowRun();
    mainDlg_.ShowStartButton(true);
    viewers_->OpenMessages();
}

bool CSimulatorApp::PressStart()
{
    started_ = true;
    mainDlg_.ShowStartButton(false);
    return mainDlg_.MayRun();
}

bool CSimulatorApp::RunPass(bool windowShown)
{
    if (!mainDlg_.MayRun()) return false;
    if (!windowShown) return true;

    const auto start = std::chrono::steady_clock::now();
    const PickQuery cursor = QueryAt(cursorX_, cursorY_);

    // Mouse navigation, and keeping a drag under the mouse after the camera moved.
    if (input_.KeyDown(vk::kRButton)) {
        const MouseMotion main = mouse_->ReadMain();
        camera_.OrbitDrag(main.dx, main.dy);
        const MouseMotion preview = mouse_->ReadPreview();
        camera_.PreviewOrbitDrag(preview.dx, preview.dy);
        DragFollowUp(cursor);
    } else if (input_.KeyDown(vk::kMButton)) {
        const MouseMotion main = mouse_->ReadMain();
        camera_.DistanceDrag(main.dy, setUp_.Model());
        setUp_.OnHScroll();
        DragFollowUp(cursor);
    } else {
        mouse_->Unacquire();
    }

    if (!input_.KeyDown(vk::kLButton)) {
        layout_->EndDrag();
        mainDlg_.EndDrags();
    }
    if (layout_->SelectedIndex() >= 0 && mainDlg_.Picked() == CMainDlg::kPickedObject &&
        mainDlg_.ObjectDrag())
        layout_->DragSelected(cursor);
    if (mainDlg_.TrainDrag()) {
        for (int slot = 1; slot <= 6; ++slot) {
            if (vehicles_->HasSelectedCar(slot) && slot == mainDlg_.Picked())
                vehicles_->DragCar(slot, cursor);
        }
    }

    // Editing modes keep every vehicle still.
    setUp_.PollFunctionKeys();
    if (mainDlg_.EditingMode()) {
        camera_.MoveEditFocus(input_);
    } else {
        for (int slot = 1; slot <= 6; ++slot)
            vehicles_->DriveStep(slot);
        camera_.MoveCameraPoint(input_, setUp_.Model());
        vehicles_->UpdateControls(Vehicle::Plane);
        vehicles_->UpdateControls(Vehicle::Helicopter);
        vehicles_->UpdateControls(Vehicle::Car);
    }
    layout_->PollTurnoutKeys();
    recovery_.CountPass();
    RefreshEditState();
    // The camera looks from where the cars stood before they settle onto the track this pass,
    // as it always has.
    UpdateView();
    vehicles_->FollowTrack();
    times_.simulationMs += MillisecondsSince(start);

    const auto drawing = std::chrono::steady_clock::now();
    RenderFrame();
    times_.drawingMs += MillisecondsSince(drawing);
    ++times_.passes;
    return mainDlg_.MayRun();
}

void CSimulatorApp::DragFollowUp(const PickQuery& query)
{
    if (mainDlg_.ObjectDrag() && layout_->SelectedIndex() >= 0) layout_->RegrabSelected(query);
    // Once per slot: the grab is re-derived for this frame, not until the drag ends.
    if (mainDlg_.TrainDrag()) {
        for (int slot = 1; slot <= 6; ++slot) {
            if (vehicles_->HasSelectedCar(slot)) vehicles_->ReanchorGrab(slot, query);
        }
    }
}

void CSimulatorApp::OnClose()
{
    if (closed_) return;
    closed_ = true;
    mainDlg_.RequestStop();
    // Nothing left unsaved, or the user chose not to keep it: no recovery next time.
    const HistoryState history = layout_->History();
    if (!history.changed || discardedAt_ == history.commands) recovery_.Discard();
    if (!environment_.saveSettingsOnClose) return;
    ++settingsWrites_;
    if (const platform::Status written = settings_.Write(setUp_, *layout_, *vehicles_, layoutCheck_, recent_);
        !written)
        std::cerr << "korvela: the settings could not be saved to " << settings_.Path() << ": "
                  << written.error() << "\n";
}

void CSimulatorApp::Paint()
{
    if (!started_) UpdateView();
    RenderFrame();
}

void CSimulatorApp::UpdateView()
{
    camera_.UpdateRig(setUp_.Model(), mainDlg_.StatusBar(), Sources(), mainDlg_.EditingMode(), input_);
    // A view without area has no finite projection: the last one stays.
    if (mainDlg_.View().HasArea())
        camera_.BuildViewProjection(setUp_.Model(), mainDlg_.DeviceWidth(), mainDlg_.DeviceHeight());
}

camera::CameraSources CSimulatorApp::Sources() const
{
    camera::CameraSources sources;
    vehicles_->FillCameraSources(sources);
    sources.selected = layout_->SelectedObject();
    return sources;
}

void CSimulatorApp::RenderFrame()
{
    // No frame without a device, and none while the view has no area: its projection would
    // not be finite.
    if (!graphics_.HasDevice() || !mainDlg_.View().HasArea()) return;
    graphics_.RenderMainFrame({.setUp = setUp_.Model(), .camera = camera_, .scene = appScene_});
}

void CSimulatorApp::SetWindowMetrics(int clientWidth, int clientHeight, int toolBarHeight,
                                     int statusBarHeight)
{
    mainDlg_.SetBarHeights(toolBarHeight, statusBarHeight);
    mainDlg_.SetClientSize(clientWidth, clientHeight);
}

void CSimulatorApp::OnSize(int clientWidth, int clientHeight)
{
    if (!mainDlg_.OnSize(clientWidth, clientHeight)) return;
    if (graphics_.HasDevice())
        graphics_.ResetAfterResize(mainDlg_.DeviceWidth(), mainDlg_.DeviceHeight(), setUp_.Model());
}

void CSimulatorApp::OnMouseMove(int x, int y)
{
    cursorX_ = x;
    cursorY_ = y;
}

PickQuery CSimulatorApp::QueryAt(int clientX, int clientY) const
{
    const ViewRect view = mainDlg_.View();
    PickQuery query;
    query.x = static_cast<float>(clientX - view.left);
    query.y = static_cast<float>(clientY - view.top);
    query.view = camera_.View();
    query.projection = camera_.Projection();
    query.viewport = {.x = 0, .y = 0, .width = mainDlg_.DeviceWidth(), .height = mainDlg_.DeviceHeight()};
    return query;
}

PickQuery CSimulatorApp::ViewCentreQuery() const
{
    const ViewRect view = mainDlg_.View();
    PickQuery query = QueryAt(view.left, view.top);
    query.x = static_cast<float>(mainDlg_.DeviceWidth()) * 0.5f;
    query.y = static_cast<float>(mainDlg_.DeviceHeight()) * 0.5f;
    return query;
}

void CSimulatorApp::RenderObjectPreview()
{
    graphics_.RenderPreview(camera_, setUp_.Model(), appScene_);
}

void CSimulatorApp::OnLeftButtonDown(int x, int y)
{
    OnMouseMove(x, y);
    const ViewRect view = mainDlg_.View();
    if (!view.HasArea() || !view.Contains(x, y)) return;

    const PickQuery query = QueryAt(x, y);
    const float objectDistance = layout_->PickPlacedObject(query);
    std::array<float, 6> trainDistances{};
    for (int slot = 1; slot <= 6; ++slot)
        trainDistances[static_cast<std::size_t>(slot - 1)] = vehicles_->PickCar(slot, query);
    const int picked = CMainDlg::ChoosePicked(objectDistance, trainDistances, mainDlg_.Picked());
    mainDlg_.SetPicked(picked);

    if (picked == CMainDlg::kPickedObject) {
        // A Ctrl-click that took the object out of the selection leaves the pane as it was.
        if (std::string status = layout_->SelectedStatus(); !status.empty())
            mainDlg_.StatusBar().SetText(CMainDlg::kPickPane, std::move(status));
    } else if (picked >= 1 && picked <= 6) {
        mainDlg_.StatusBar().SetText(CMainDlg::kPickPane, vehicles_->CarStatus(picked));
    }
    RefreshTurnoutControls();
    mainDlg_.StartDragForMode();
}

void CSimulatorApp::OnMouseWheel(int delta)
{
    camera_.WheelZoom(delta, setUp_.Model(), [this] { setUp_.OnHScroll(); });
}

bool CSimulatorApp::ConfirmUnsavedChanges()
{
    if (!layout_->History().changed) return true;
    const platform::MessageAnswer answer =
        dialogs_.ShowMessage({.text = "マップデータが変更されています。保存しますか？",
                              .icon = platform::MessageIcon::Warning,
                              .buttons = platform::MessageButtons::YesNoCancel,
                              .owner = ui::mainwin::kDialogId,
                              .labels = {"保存", "保存しない", "キャンセル"}});
    if (answer == platform::MessageAnswer::Cancel) return false;
    if (answer == platform::MessageAnswer::No) discardedAt_ = layout_->History().commands;
    if (answer == platform::MessageAnswer::Yes) {
        layout_->SaveMap();
        return !layout_->History().changed;
    }
    return true;
}

void CSimulatorApp::OfferRecovery()
{
    recovery_.Offer(*layout_);
    RefreshTurnoutControls();
    RefreshEditState();
}

void CSimulatorApp::KeepRecovery()
{
    recovery_.Keep(*layout_);
}

void CSimulatorApp::KeepUnsavedForRecovery()
{
    if (closed_) return;
    recovery_.WriteNow(*layout_);
    // Nobody was asked this time: an earlier "保存しない" (to a load given up later) does not
    // throw these changes away.
    discardedAt_.reset();
}

void CSimulatorApp::RefreshEditState()
{
    ui::MenuModel& menu = mainDlg_.Menu();
    ui::ToolBarModel& tools = mainDlg_.ToolBar();
    const bool creating = tools.IsChecked(cmd::kToolCreateMap);
    const auto show = [&](int id, int tool, const std::string& label) {
        std::string suffix = label.empty() ? std::string() : ": " + label;
        if (menu.Suffix(id) != suffix) menu.SetSuffix(id, std::move(suffix));
        const bool enabled = creating && !label.empty();
        if (menu.IsEnabled(id) != enabled) menu.SetEnabled(id, enabled);
        if (tools.IsEnabled(tool) != enabled) tools.SetEnabled(tool, enabled);
    };
    show(cmd::kUndo, cmd::kToolUndo, layout_->UndoLabel());
    show(cmd::kRedo, cmd::kToolRedo, layout_->RedoLabel());

    ui::DialogModel& window = mainDlg_.Window();
    const std::string& title = window.Title();
    constexpr std::string_view kChangedMark = " *";
    const bool marked = title.ends_with(kChangedMark);
    const bool changed = layout_->History().changed;
    if (changed && !marked) {
        window.SetTitle(title + std::string(kChangedMark));
    } else if (!changed && marked) {
        window.SetTitle(title.substr(0, title.size() - kChangedMark.size()));
    }
    // The check window follows the layout: an edit, undo, redo or load while it is shown
    // checks again.
    if (layoutCheck_.Dialog().IsVisible() && checkedAt_ != layout_->History().commands) RunLayoutCheck();
    KeepRecovery();
}

void CSimulatorApp::RunLayoutCheck()
{
    layoutCheck_.Run(appLayout_.Core());
    checkedAt_ = layout_->History().commands;
}

void CSimulatorApp::RefreshTurnoutControls()
{
    mainDlg_.RefreshTurnoutControls(layout_->SelectedRouteCount(), layout_->SelectedRoute());
}

bool CSimulatorApp::LoadMapFile(const std::string& path)
{
    const bool loaded = layout_->LoadMapFile(path);
    RefreshTurnoutControls();
    return loaded;
}

bool CSimulatorApp::ClickTool(int commandId)
{
    if (!mainDlg_.ToolBar().Click(commandId)) return false;
    OnCommand(commandId);
    return true;
}

void CSimulatorApp::OnEditModeCommand(int commandId)
{
    const EditModeEffects effects = mainDlg_.ApplyEditMode(commandId);
    if (effects.objectButtons) objectSelect_.SetEditButtonsEnabled(*effects.objectButtons);
    if (effects.showObjectDialog) objectSelect_.Show();
    camera_.SetEditFocus(false, Sources());
}

bool CSimulatorApp::OnCommand(int commandId)
{
    switch (commandId) {
    case cmd::kLoadMap:
    case cmd::kToolLoadMap:
        if (!ConfirmUnsavedChanges()) return true;
        layout_->LoadMap();
        RefreshTurnoutControls();
        return true;
    case cmd::kSaveMap:
    case cmd::kToolSaveMap:
        layout_->SaveMap();
        return true;
    case cmd::kSaveOver:
        SaveMapOver();
        return true;
    case cmd::kQuit:
        Quit();
        return true;
    case cmd::kWholeLayout:
    case cmd::kToolWholeLayout:
        ShowWholeLayout();
        return true;
    case cmd::kImportMap:
        layout_->ImportMap();
        RefreshTurnoutControls();
        return true;
    case cmd::kObjectFolder:
        ChooseObjectFolder();
        return true;
    case cmd::kBackground:
        layout_->ChooseBackground();
        return true;
    case cmd::kTrainFolder:
    case cmd::kPlaneFolder:
    case cmd::kHelicopterFolder:
    case cmd::kCarFolder:
        ChooseFolder(commandId);
        return true;
    case cmd::kShowSettings:
        setUp_.Model().SetVisible(true);
        return true;
    case cmd::kShowObjects:
        objectSelect_.Show();
        return true;
    case cmd::kLayoutCheck:
        RunLayoutCheck();
        return true;
    case cmd::kKeyNone:
        layout_->AssignKey(-1);
        return true;
    case cmd::kUndo:
    case cmd::kRedo:
    case cmd::kToolUndo:
    case cmd::kToolRedo:
        // Like the object dialog's edit buttons, only while the layout is being built.
        if (mainDlg_.ToolBar().IsChecked(cmd::kToolCreateMap)) {
            const bool undo = commandId == cmd::kUndo || commandId == cmd::kToolUndo;
            if (undo ? layout_->Undo() : layout_->Redo()) RefreshTurnoutControls();
        }
        RefreshEditState();
        return true;
    case cmd::kHelp:
    case cmd::kHelpKey:
        viewers_->ToggleHelp();
        return true;
    case cmd::kMessages:
        viewers_->OpenMessages();
        return true;
    case cmd::kAbout:
        dialogs_.ShowMessage({.text = std::string(kAboutText),
                              .caption = std::string(kAboutTitle),
                              .icon = platform::MessageIcon::Program,
                              .owner = ui::mainwin::kDialogId});
        return true;
    case cmd::kUpdateCheck:
        viewers_->CheckForUpdate();
        return true;
    case cmd::kToolCreateMap:
    case cmd::kToolMoveCar:
    case cmd::kToolMoveTrain:
        OnEditModeCommand(commandId);
        return true;
    // Read where they matter; pressing them does nothing else.
    case cmd::kToolGrid:
    case cmd::kToolMagnet:
    case cmd::kToolCurveDetection:
    case cmd::kToolHeightDetection:
        return true;
    default:
        break;
    }
    if (commandId >= cmd::kRecentFirst && commandId <= cmd::kRecentLast) {
        OpenRecentMap(commandId - cmd::kRecentFirst);
        return true;
    }
    if (commandId >= cmd::kKeyFirst && commandId <= cmd::kKeyLast) {
        layout_->AssignKey(commandId - cmd::kKeyFirst);
        return true;
    }
    for (std::size_t route = 0; route < cmd::kToolPoints.size(); ++route) {
        if (cmd::kToolPoints[route] == commandId) {
            layout_->SetSelectedRoute(static_cast<int>(route));
            return true;
        }
    }
    return false;
}

void CSimulatorApp::OnLayoutCheckClick(int id)
{
    if (id == ui::check::kRecheck) RunLayoutCheck();
    if (id == ui::check::kMend) MendJoints();
}

void CSimulatorApp::MendJoints()
{
    layout::CLayout& core = appLayout_.Core();
    if (core.Drag().Dragging()) return;
    const layout::JointMending mending = core.MendJoints();
    RefreshTurnoutControls();
    // The shown window has checked again.
    RefreshEditState();
    if (!layoutCheck_.Dialog().IsVisible()) return;
    layoutCheck_.ShowMendReport(mending);
}

void CSimulatorApp::OnLayoutCheckRow(int row)
{
    const layout::LayoutFinding* finding = layoutCheck_.FindingOfRow(row);
    if (!finding || finding->objects.empty()) return;
    layout::CLayout& core = appLayout_.Core();
    layout::LayoutSelection& selection = core.Selection();
    selection.DeselectAll();
    for (const int index : finding->objects)
        selection.SetSelected(index, true);
    selection.SetPrimary(finding->objects.front());
    RefreshTurnoutControls();
    // In map creation the edit camera turns to the finding itself (a joint lies at a piece's
    // end, not at its origin); otherwise the camera lists follow the selected object, as the
    // object dialog's focus box makes them.
    if (objectBridge_->MapCreationMode())
        camera_.SetEditFocusPoint(finding->position);
    else
        objectBridge_->FollowSelection();
}

void CSimulatorApp::ChooseFolder(int commandId)
{
    const auto ask = [&](std::string title, std::string start) {
        return dialogs_.ChooseFolder(
            {.title = std::move(title), .startFolder = std::move(start), .owner = ui::mainwin::kDialogId});
    };
    switch (commandId) {
    case cmd::kTrainFolder:
        if (auto folder = ask("電車フォルダの選択", vehicles_->TrainFolder(1))) {
            for (int slot = 1; slot <= 6; ++slot) {
                vehicles_->SetTrainFolder(slot, *folder);
                vehicles_->ScanTrainFolder(slot);
            }
        }
        return;
    case cmd::kPlaneFolder:
        if (auto folder = ask("飛行機フォルダの選択", vehicles_->VehicleFolder(Vehicle::Plane))) {
            vehicles_->SetVehicleFolder(Vehicle::Plane, *folder);
            vehicles_->ScanFolder(Vehicle::Plane);
        }
        return;
    case cmd::kHelicopterFolder:
        if (auto folder = ask("ヘリコプターフォルダの選択", vehicles_->VehicleFolder(Vehicle::Helicopter))) {
            vehicles_->SetVehicleFolder(Vehicle::Helicopter, *folder);
            vehicles_->ScanFolder(Vehicle::Helicopter);
        }
        return;
    case cmd::kCarFolder:
        if (auto folder = ask("車フォルダの選択", vehicles_->VehicleFolder(Vehicle::Car))) {
            vehicles_->SetVehicleFolder(Vehicle::Car, *folder);
            vehicles_->ScanFolder(Vehicle::Car);
        }
        return;
    default:
        return;
    }
}

void CSimulatorApp::ChooseObjectFolder()
{
    if (!ConfirmUnsavedChanges()) return;
    const auto folder = dialogs_.ChooseFolder({.title = "オブジェクトフォルダの選択",
                                               .startFolder = layout_->ObjectFolder(),
                                               .owner = ui::mainwin::kDialogId});
    if (!folder) return;
    layout_->SetObjectFolder(*folder);
    // The map file keeps its name and moves into the new folder.
    const platform::PathParts map = platform::SplitPath(layout_->MapFilePath());
    layout_->SetMapFilePath(*folder + map.name + map.extension);
    layout_->ScanObjectFolder();
    layout_->ChooseBackground();
    RefreshTurnoutControls();
}

} // namespace app
