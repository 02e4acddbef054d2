// CSimulatorApp: laying track from the selected piece's open ends ("つなぐ", "次の端", Tab,
// Space) and the markers of those ends. The layout works out where each piece goes.
#include "app/CSimulatorApp.h"

#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/ObjectSelectTemplate.h"

namespace app {

bool CSimulatorApp::LayingTrack() const
{
    return mainDlg_.ToolBar().IsChecked(ui::cmd::kToolCreateMap) && !appLayout_.Core().Drag().Dragging();
}

void CSimulatorApp::AfterTrackLaying(const platform::Status& done)
{
    ui::StatusBarModel& status = mainDlg_.StatusBar();
    if (!done) {
        status.SetText(CMainDlg::kPickPane, done.error());
        return;
    }
    if (std::string selected = layout_->SelectedStatus(); !selected.empty())
        status.SetText(CMainDlg::kPickPane, std::move(selected));
    objectSelect_.ShowObjectCount(appLayout_.Core().Placed().Count());
    RefreshTurnoutControls();
    RefreshEditState();
    // With "フォーカスを合わせる" the edit camera follows the track as it grows.
    if (objectSelect_.Model().IsChecked(ui::objsel::kFocusOnSelection)) camera_.SetEditFocus(true, Sources());
}

void CSimulatorApp::AttachTrack(bool flip)
{
    if (!LayingTrack()) return;
    const int type = objectSelect_.Model().Selection(ui::objsel::kCatalogue);
    AfterTrackLaying(laying_.Attach(type, flip));
}

void CSimulatorApp::NextTrackEnd()
{
    if (LayingTrack()) laying_.NextEnd();
}

bool CSimulatorApp::ChooseTrackEnd(int n)
{
    return LayingTrack() && laying_.ChooseEnd(n);
}

void CSimulatorApp::TurnAttachedTrack()
{
    if (LayingTrack()) AfterTrackLaying(laying_.TurnAttached());
}

bool CSimulatorApp::OnViewKey(int vk)
{
    if (!LayingTrack()) return false;
    if (vk == platform::vk::kTab) {
        NextTrackEnd();
        return true;
    }
    if (vk == platform::vk::kSpace) {
        TurnAttachedTrack();
        return true;
    }
    return false;
}

std::vector<gfx::ColoredVertex> CSimulatorApp::TrackEndMarkers()
{
    if (!mainDlg_.ToolBar().IsChecked(ui::cmd::kToolCreateMap)) return {};
    return laying_.MarkerVertices();
}

} // namespace app
