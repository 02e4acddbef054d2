// Behaviour of the main window "KORVELA": its menu, tool bar and status bar models, the run
// and drag flags, the picked item, where the render view lies, the choice of the nearest
// picked item, the three editing modes of the tool bar and the turnout controls.
#pragma once

#include "ui/DialogModel.h"
#include "ui/MenuModel.h"
#include "ui/StatusBarModel.h"
#include "ui/ToolBarModel.h"

#include <array>
#include <optional>

namespace app {

// Render view rectangle in the main window's client coordinates (right and bottom exclusive).
struct ViewRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool HasArea() const { return Width() > 0 && Height() > 0; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// What a click on one of the three editing-mode buttons asks of the rest of the program.
struct EditModeEffects {
    // Enable (true) or disable (false) the object dialog's editing buttons; nothing: leave them.
    std::optional<bool> objectButtons;
    bool showObjectDialog = false;
};

class CMainDlg {
  public:
    // Picked item: nothing, a placed object, or a train number 1 to 6.
    static constexpr int kPickedNothing = -1;
    static constexpr int kPickedObject = 0;
    // Gap between the tool bar and the render view.
    static constexpr int kViewGap = 8;
    static constexpr int kPickPane = 0;

    CMainDlg();

    ui::DialogModel& Window() { return window_; }
    const ui::DialogModel& Window() const { return window_; }
    ui::MenuModel& Menu() { return menu_; }
    const ui::MenuModel& Menu() const { return menu_; }
    ui::ToolBarModel& ToolBar() { return toolBar_; }
    const ui::ToolBarModel& ToolBar() const { return toolBar_; }
    ui::StatusBarModel& StatusBar() { return status_; }
    const ui::StatusBarModel& StatusBar() const { return status_; }

    // --- flags
    // Start-up finished: the loop may be entered.
    void AllowRun() { runAllowed_ = true; }
    // A close request: the loop ends at its next test and never runs again.
    void RequestStop() { stopRequested_ = true; }
    bool StopRequested() const { return stopRequested_; }
    // The run flag of the loop.
    bool MayRun() const { return runAllowed_ && !stopRequested_; }

    bool ObjectDrag() const { return objectDrag_; }
    bool TrainDrag() const { return trainDrag_; }
    void SetObjectDrag(bool on) { objectDrag_ = on; }
    void SetTrainDrag(bool on) { trainDrag_ = on; }
    int Picked() const { return picked_; }
    void SetPicked(int picked) { picked_ = picked; }
    // Left button up: pane 0 cleared, nothing picked, no drag.
    void EndDrags();

    // --- geometry
    // Heights of the bars as the window shows them, and the client size.
    void SetBarHeights(int toolBar, int statusBar);
    void SetClientSize(int width, int height);
    // The size message: the very first one (while the window is created) is ignored and
    // returns false; later ones place the render view and return true.
    bool OnSize(int width, int height);
    // The render view: left 0, top below the tool bar and the gap, full width, down to the
    // status bar. It may have no area when the window is smaller than its bars.
    ViewRect View() const { return view_; }
    // The view's size as the device should take it: never below 1 × 1.
    int DeviceWidth() const;
    int DeviceHeight() const;
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

    // --- picking
    // The nearest of the placed object's and the six trains' distances (kNoHit: missed).
    // A placed object wins a tie with a train, a lower train number a tie with a higher one;
    // when everything missed the picked item stays as it was.
    static int ChoosePicked(float objectDistance, const std::array<float, 6>& trainDistances, int picked);
    // After a click: the drag that the checked tool-bar mode starts.
    void StartDragForMode();

    // --- tool bar
    // Any of "マップの作成", "電車１両の移動", "電車１編成の移動" checked.
    bool EditingMode() const;
    // After a click on one of those three buttons (its check already toggled).
    EditModeEffects ApplyEditMode(int commandId);
    // Turnout menu and point buttons for the selected object's route count and route.
    void RefreshTurnoutControls(int routeCount, int route);

    // Start-up: the bars' initial states and the status texts.
    void InitialiseBars();
    void ShowStartButton(bool shown);
    bool StartButtonShown() const;

  private:
    void PlaceView();
    void SetDetection(bool on);

    ui::DialogModel window_;
    ui::MenuModel menu_;
    ui::ToolBarModel toolBar_;
    ui::StatusBarModel status_;

    bool runAllowed_ = false;
    bool stopRequested_ = false;
    bool objectDrag_ = false;
    bool trainDrag_ = false;
    int picked_ = kPickedNothing;

    bool firstSize_ = true;
    int toolBarHeight_ = 0;
    int statusBarHeight_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    ViewRect view_;
};

} // namespace app
