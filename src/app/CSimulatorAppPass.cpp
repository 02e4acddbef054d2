// One pass of the main loop: the input of the mouse buttons, the simulation and the drawing
// (one frame after the passes the window's clock made due); a paint between passes.
#include "app/CSimulatorApp.h"

#include "camera/CameraSources.h"
#include "platform/VirtualKeys.h"

#include <chrono>

namespace app {

namespace {

namespace vk = platform::vk;

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

bool CSimulatorApp::RunPass(bool windowShown)
{
    if (!windowShown) return mainDlg_.MayRun();
    return RunPasses(1);
}

bool CSimulatorApp::RunPasses(int count)
{
    for (int pass = 0; pass < count; ++pass) {
        if (!mainDlg_.MayRun()) return false;
        StepPass();
    }
    if (count <= 0 || !mainDlg_.MayRun()) return mainDlg_.MayRun();
    // The operation window shows the states once a frame, not once a pass.
    RefreshOperationWindow();
    const auto drawing = std::chrono::steady_clock::now();
    RenderFrame();
    clock_.CountFrame();
    times_.drawingMs += MillisecondsSince(drawing);
    return mainDlg_.MayRun();
}

void CSimulatorApp::StepPass()
{
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

    // Editing modes keep every vehicle still, and so does a pause; the camera keys, the
    // editing and the drags go on.
    const bool paused = clock_.Paused();
    const bool editing = mainDlg_.EditingMode();
    setUp_.PollFunctionKeys();
    if (editing) {
        camera_.MoveEditFocus(input_);
    } else {
        if (!paused) {
            for (int slot = 1; slot <= 6; ++slot)
                vehicles_->DriveStep(slot);
        }
        camera_.MoveCameraPoint(input_, setUp_.Model());
        if (!paused) {
            vehicles_->UpdateControls(Vehicle::Plane);
            vehicles_->UpdateControls(Vehicle::Helicopter);
            vehicles_->UpdateControls(Vehicle::Car);
        }
    }
    if (!paused) layout_->PollTurnoutKeys();
    if (input_.KeyDown(vk::kEscape)) ruler_.Clear();
    recovery_.CountPass();
    RefreshEditState();
    // The camera looks from where the cars stood before they settle onto the track this pass,
    // as it always has.
    UpdateView();
    // A dragged car settles onto the track while paused too.
    if (!paused || editing) vehicles_->FollowTrack();
    if (!paused && !editing) StepOperation();
    keys_.PassRead();
    clock_.CountPass();
    ++times_.passes;
    times_.simulationMs += MillisecondsSince(start);
    if (passHook_) passHook_();
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
    const std::string state = clock_.StateText();
    graphics_.RenderMainFrame({.setUp = setUp_.Model(),
                               .camera = camera_,
                               .scene = appScene_,
                               .passes = times_.passes,
                               .stateText = state});
}

} // namespace app
