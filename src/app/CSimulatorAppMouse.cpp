// The mouse over the render view: window metrics, picking queries, clicks and the wheel.
#include "app/CSimulatorApp.h"


#include <array>

namespace app {

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

    if (ruler_.On()) {
        MeasureAt(x, y);
        return;
    }
    const PickQuery query = QueryAt(x, y);
    if (ClickStopMarker(query)) return;
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

bool CSimulatorApp::MeasureAt(int clientX, int clientY)
{
    const ViewRect view = mainDlg_.View();
    if (!view.HasArea() || !view.Contains(clientX, clientY)) return false;
    if (!ruler_.Click(appLayout_.Core(), RayOf(QueryAt(clientX, clientY)))) return false;
    if (ruler_.Reading()) mainDlg_.StatusBar().SetText(CMainDlg::kPickPane, ruler_.Text());
    return true;
}

void CSimulatorApp::OnMouseWheel(int delta)
{
    camera_.WheelZoom(delta, setUp_.Model(), [this] { setUp_.OnHScroll(); });
}

} // namespace app
