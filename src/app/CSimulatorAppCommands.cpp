// Menu and tool-bar commands, the editing state they show, and the layout check window's
// buttons and rows.
#include "app/CSimulatorApp.h"

#include "app/CSimulatorAppBridges.h"
#include "app/LayoutPackage.h"
#include "app/PlanOutputs.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/LayoutCheckTemplate.h"
#include "ui/WindowTemplates.h"

namespace app {

namespace {

namespace cmd = ui::cmd;

} // namespace

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
    // "つなぐ" lays track only while the layout is being built.
    if (menu.IsEnabled(cmd::kAttach) != creating) menu.SetEnabled(cmd::kAttach, creating);

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
    RefreshPartsList();
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

void CSimulatorApp::SetPaused(bool paused)
{
    clock_.SetPaused(paused);
    ShowClockState();
}

bool CSimulatorApp::SetPassRate(int rate)
{
    const bool set = clock_.SetRate(rate);
    ShowClockState();
    return set;
}

void CSimulatorApp::ShowClockState()
{
    mainDlg_.ToolBar().SetChecked(cmd::kToolPause, clock_.Paused());
    mainDlg_.ToolBar().SetChecked(cmd::kToolFastForward, clock_.Rate() != 1);
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
    // A drag whose release the next pass would see is recorded before the command acts (a
    // save then writes what the history holds).
    layout_->EndDrag();
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
    case cmd::kOperation:
    case cmd::kToolOperation:
        ToggleOperationWindow();
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
    case cmd::kPartsList:
        TogglePartsList();
        return true;
    case cmd::kExportPlan:
        planExport_.Open(MapFileAs(*this, ".pdf"));
        return true;
    case cmd::kSavePackage:
        SavePackageAsCommanded(*this, dialogs_);
        return true;
    case cmd::kOpenPackage:
        OpenPackageAsCommanded(*this, dialogs_);
        RefreshTurnoutControls();
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
    case cmd::kAttach:
        // Shift+Insert lays the piece the other way round.
        AttachTrack(input_.KeyDown(platform::vk::kShift));
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
    case cmd::kToolMeasure:
        ruler_.SetOn(mainDlg_.ToolBar().IsChecked(cmd::kToolMeasure));
        return true;
    case cmd::kToolPause:
        // The button has toggled itself; the clock follows it.
        SetPaused(mainDlg_.ToolBar().IsChecked(cmd::kToolPause));
        return true;
    case cmd::kToolFastForward:
        clock_.Faster();
        ShowClockState();
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

} // namespace app
