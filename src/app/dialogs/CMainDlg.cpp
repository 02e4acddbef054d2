#include "app/dialogs/CMainDlg.h"

#include "app/dialogs/PickQuery.h"
#include "ui/CommandIds.h"
#include "ui/WindowTemplates.h"

#include <algorithm>

namespace app {

namespace cmd = ui::cmd;

CMainDlg::CMainDlg()
    : window_(ui::MainWindowTemplate()), menu_(ui::MainMenuTemplate()), toolBar_(ui::MainToolBarTemplate())
{
}

void CMainDlg::EndDrags()
{
    status_.SetText(kPickPane, " ");
    picked_ = kPickedNothing;
    objectDrag_ = false;
    trainDrag_ = false;
}

void CMainDlg::SetBarHeights(int toolBar, int statusBar)
{
    toolBarHeight_ = std::max(0, toolBar);
    statusBarHeight_ = std::max(0, statusBar);
    PlaceView();
}

void CMainDlg::SetClientSize(int width, int height)
{
    clientWidth_ = width;
    clientHeight_ = height;
    PlaceView();
}

bool CMainDlg::OnSize(int width, int height)
{
    if (firstSize_) {
        firstSize_ = false;
        return false;
    }
    SetClientSize(width, height);
    return true;
}

void CMainDlg::PlaceView()
{
    view_.left = 0;
    view_.top = toolBarHeight_ + kViewGap;
    view_.right = clientWidth_;
    view_.bottom = clientHeight_ - statusBarHeight_;
}

int CMainDlg::DeviceWidth() const
{
    return std::max(1, view_.Width());
}

int CMainDlg::DeviceHeight() const
{
    return std::max(1, view_.Height());
}

int CMainDlg::ChoosePicked(float objectDistance, const std::array<float, 6>& trainDistances, int picked)
{
    float best = kNoHit;
    if (objectDistance < kNoHit) {
        best = objectDistance;
        picked = kPickedObject;
    }
    for (int slot = 1; slot <= 6; ++slot) {
        const float distance = trainDistances[static_cast<std::size_t>(slot - 1)];
        if (distance < best) {
            best = distance;
            picked = slot;
        }
    }
    return picked;
}

void CMainDlg::StartDragForMode()
{
    if (toolBar_.IsSlotChecked(cmd::kSlotCreateMap)) objectDrag_ = true;
    if (toolBar_.IsSlotChecked(cmd::kSlotMoveCar) || toolBar_.IsSlotChecked(cmd::kSlotMoveTrain))
        trainDrag_ = true;
}

bool CMainDlg::EditingMode() const
{
    return toolBar_.IsSlotChecked(cmd::kSlotCreateMap) || toolBar_.IsSlotChecked(cmd::kSlotMoveCar) ||
           toolBar_.IsSlotChecked(cmd::kSlotMoveTrain);
}

void CMainDlg::SetDetection(bool on)
{
    toolBar_.SetChecked(cmd::kToolCurveDetection, on);
    toolBar_.SetChecked(cmd::kToolHeightDetection, on);
}

EditModeEffects CMainDlg::ApplyEditMode(int commandId)
{
    EditModeEffects effects;
    if (commandId == cmd::kToolCreateMap) {
        if (toolBar_.IsChecked(cmd::kToolCreateMap)) {
            effects.objectButtons = true;
            SetDetection(false);
            effects.showObjectDialog = true;
        } else {
            effects.objectButtons = false;
        }
        if (!EditingMode()) SetDetection(true);
    } else if (commandId == cmd::kToolMoveCar || commandId == cmd::kToolMoveTrain) {
        // The two car tools exclude each other.
        const int other = commandId == cmd::kToolMoveCar ? cmd::kToolMoveTrain : cmd::kToolMoveCar;
        if (toolBar_.IsChecked(commandId) && toolBar_.IsChecked(other)) toolBar_.SetChecked(other, false);
        if (toolBar_.IsChecked(cmd::kToolMoveCar) || toolBar_.IsChecked(cmd::kToolMoveTrain))
            SetDetection(false);
        if (!EditingMode()) SetDetection(true);
    }
    return effects;
}

void CMainDlg::RefreshTurnoutControls(int routeCount, int route)
{
    menu_.SetPopupEnabled(cmd::kTurnoutMenu, routeCount > 1);
    const ui::ToolState indeterminate{.enabled = false, .checked = false, .indeterminate = true};
    const ui::ToolState enabled{.enabled = true, .checked = false, .indeterminate = false};
    for (std::size_t button = 0; button < cmd::kToolPoints.size(); ++button)
        toolBar_.SetState(cmd::kToolPoints[button], indeterminate);
    if (routeCount >= 2 && routeCount <= 10) {
        for (int button = 0; button < routeCount; ++button)
            toolBar_.SetState(cmd::kToolPoints[static_cast<std::size_t>(button)], enabled);
    }
    if (route >= 0 && route <= 9)
        toolBar_.SetChecked(cmd::kToolPoints[static_cast<std::size_t>(route)], true);
}

void CMainDlg::InitialiseBars()
{
    objectDrag_ = false;
    trainDrag_ = false;
    for (const int id :
         {cmd::kToolGrid, cmd::kToolMagnet, cmd::kToolCurveDetection, cmd::kToolHeightDetection})
        toolBar_.SetChecked(id, true);
}

void CMainDlg::ShowStartButton(bool shown)
{
    window_.SetShown(ui::mainwin::kStart, shown);
}

bool CMainDlg::StartButtonShown() const
{
    return window_.IsShown(ui::mainwin::kStart);
}

} // namespace app
