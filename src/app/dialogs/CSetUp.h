// Behaviour of the settings dialog "設定": the handlers of its controls, the slider refresh,
// the choice of the vehicle the keyboard drives and the per-pass poll of F2 to F9. The
// controls' records are the program's live settings; other subsystems read them from Model().
#pragma once

#include "app/dialogs/SetUpActions.h"
#include "app/dialogs/ViewerPort.h"
#include "input/CInput.h"
#include "input/TogglePoller.h"
#include "platform/DialogService.h"
#include "ui/DialogModel.h"
#include "ui/StatusBarModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace app {

class CSetUp {
  public:
    static constexpr int kStatusPane = 3;
    static constexpr std::string_view kDriveCameraText = "操作(F7)：カメラ";
    static constexpr std::string_view kDrivePlaneText = "操作(F7)：飛行機";
    static constexpr std::string_view kDriveHelicopterText = "操作(F7)：ﾍﾘｺﾌﾟﾀｰ";
    static constexpr std::string_view kSyncNotice = "垂直同期の設定は、再起動後に有効になります。";

    // Every text status-bar pane 1, 2 or 3 can show (the camera position, the view point, the
    // driven vehicle), so that a view can size the pane once; empty for other panes.
    static std::vector<std::string> PaneTexts(int pane);

    // Every reference must outlive the dialog.
    CSetUp(const input::CInput& input, ui::StatusBarModel& status, platform::DialogService& dialogs,
           ViewerPort& viewers, SetUpActions& actions);

    // Dialog initialisation: the template holds the initial states; the sliders' labels and
    // everything that depends on the sliders are refreshed from the positions.
    void Initialise();

    ui::DialogModel& Model() { return model_; }
    const ui::DialogModel& Model() const { return model_; }

    // User input, as the window front end and the headless runner deliver it. Each changes
    // the control as the real control would and then runs the control's handler.
    // A click on a button, check box or radio; false when the control is unknown or disabled.
    bool Click(int id);
    // A list or combo selection; false (nothing happens) for an index the control lacks.
    bool SelectItem(int id, int index);
    // A slider moved to position (kept inside the slider's range).
    bool ScrollSlider(int id, int position);
    // Sets a control to value the way a user would reach it: the check state of a box, the
    // position of a slider, the selection of a list or combo box, 1 for a radio. False, with
    // the reason in error, when the control cannot take that value.
    bool SetByUser(int id, int value, std::string* error = nullptr);

    // The slider refresh: labels, field of view, lights, preview.
    void OnHScroll();

    void SelectDriveCamera();
    void SelectDrivePlane();
    void SelectDriveHelicopter();

    // The trains' and vehicles' current combo selections handed to the vehicles (map loading).
    void ApplyVehicleSelections();

    // Once per pass of the main loop: F2 to F9, each acting once per press.
    void PollFunctionKeys();

    // 0 perspective, 1 orthographic.
    int ProjectionFlag() const { return projection_; }

  private:
    void OnClicked(int id);
    void OnSelectionChanged(int id);
    void StepDrive(bool backwards);
    void StepList(int id, bool backwards);

    const input::CInput& input_;
    ui::StatusBarModel& status_;
    platform::DialogService& dialogs_;
    ViewerPort& viewers_;
    SetUpActions& actions_;
    ui::DialogModel model_;
    input::TogglePoller functionKeys_;
    int projection_ = 0;
};

} // namespace app
