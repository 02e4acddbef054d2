// The main window "KORVELA": menu, tool bar, status bar, the render view and the Start button,
// with the settings and object dialogs and the two viewers as its modeless windows. It shows
// the main window's models, hands menu and tool-bar commands, clicks, wheel and size to the
// application, drives the main loop once Start is pressed, and takes every close request
// through the application's one close path.
#pragma once

#include "gfx/Device.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <wx/frame.h>
#include <wx/timer.h>

class wxButton;
class wxEventLoopBase;

namespace app {
class CSimulatorApp;
namespace headless {
class RunObserver;
}
} // namespace app
namespace platform {
class KeyState;
}

namespace front {

class CanvasGlContext;
class ModelDialog;
class MouseTracker;
class RenderCanvas;
class SignalWatch;
class ViewerWindow;
class WxDialogService;

struct FrontServices {
    app::CSimulatorApp& app;
    WxDialogService& dialogs;
    MouseTracker& mouse;
    platform::KeyState& keys;
    SignalWatch& signals;
    // Where the run report goes when the window closes (--report); none without.
    std::optional<std::string> reportFile{};
};

class MainFrame final : public wxFrame {
  public:
    explicit MainFrame(const FrontServices& services);
    ~MainFrame() override;

    // The application's device factory: OpenGL in the render view, with the object preview as
    // its second target.
    gfx::Created<gfx::Device> CreateDevice(const gfx::DeviceOptions& options);

    // Runs the application's start-up once the render view is on screen and can take the
    // OpenGL context, then opens the start map (the command line's, else the last or the demo).
    // A window manager maps the window some time after it is shown: until then each
    // show, size, paint and timer tick tries again, and after kViewWaitSeconds start-up goes
    // on regardless (and reports the missing device).
    void StartWhenViewReady();

    // The help key (F1), from wherever the keyboard focus is.
    void HelpKey();
    // The keys of pause (the Pause key), fast-forward ("]") and back towards ×1 ("[").
    enum class ClockKey { Pause, Faster, Slower };
    void OnClockKey(ClockKey key);

    // A key pressed in another window of the program that is one of the main window's shortcuts
    // (its accelerator table or a menu item's key) runs that command, as pressed here. Undo and
    // redo stay with a text box that holds a selection; modal dialogs keep all their keys.
    // True when the key was taken.
    bool ForwardShortcut(const wxKeyEvent& event);

  private:
    void BuildMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildDialogs();
    // The "部品表" window and the "平面図の書き出し" dialog.
    void BuildPlanDialogs();
    void PlaceDialogs();

    int ViewTop() const;
    int SideTop() const;
    // Where a window at the side of the main window goes now.
    wxRect SideRect(wxWindow* side) const;
    // The windows placed at the side of the main window, in the order they stack there.
    std::vector<wxTopLevelWindow*> SideWindows() const;
    // Where a window stands: the place it is being held to while that lasts.
    wxRect HeldRect(const wxWindow* window) const;
    // Where the object dialog goes beside the settings dialog.
    wxRect ObjectDialogRect() const;
    void UpdateLayout();
    void OnSize(wxSizeEvent& event);
    void OnMenuOrTool(wxCommandEvent& event);
    void OnStart(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnTimer(wxTimerEvent& event);
    void KeepKeyboardFocus();
    // Puts a window at its place (and size) and holds it there while a window manager maps it.
    void PlaceSettled(wxTopLevelWindow* window, const wxRect& rect);
    void PlaceSettled(wxTopLevelWindow* window, wxPoint at);
    void Hold(wxTopLevelWindow* window, const wxRect& rect, bool keepSize);
    void PlaceHiddenDialogs();
    // The main window's rectangle where it stands on the screen now (at the size asked for while
    // it is collapsed).
    wxRect MainRect() const;
    void KeepSettling();
    void PlaceWhenLaidOut(wxTopLevelWindow* window);
    void PlacePending();
    // A window at the side placed at its first show, or at a later one where it would cover another.
    void PlaceSideWindow(wxTopLevelWindow* side);
    // Whether the main window is far smaller than its start-up size.
    bool Collapsed() const;
    // Asks the window manager for the main window at the screen's corner, at its full size
    // again where it has collapsed.
    void AskForCorner(wxPoint corner);
    void OnViewMouse(wxMouseEvent& event);
    void OnPreviewMouse(wxMouseEvent& event);
    void ObjectDialogWheel(wxMouseEvent& event);
    void ReleaseMouseButtons();

    void SyncMenuItem(int commandId);
    // The items of the named sub-menu that have a text, or a greyed "なし".
    void FillSubmenu(const std::string& name);
    void SyncTool(int commandId);
    void SyncStatusPane(int pane);
    void SyncStartButton();
    void RenderPreview();

    int ShortcutCommand(const wxKeyEvent& event);
    void StartUp();
    void TryStartUp();
    bool ViewReady();

    void RunLoop();
    // Runs the passes the clock has made due, with one frame after them, or sleeps until the
    // next is due or an event comes. False once the loop must end.
    bool RunDuePasses(wxEventLoopBase& loop);
    void CloseProgram();
    void WriteReport();
    void DestroyWhenSafe();

    FrontServices services_;
    app::CSimulatorApp& app_;
    RenderCanvas* canvas_ = nullptr;
    RenderCanvas* preview_ = nullptr;
    wxButton* start_ = nullptr;
    struct SubmenuEntry {
        wxMenu* menu = nullptr;
        int popup = 0; // the model's pop-up that holds its items
    };
    std::map<std::string, SubmenuEntry> submenus_;
    ModelDialog* setUpDialog_ = nullptr;
    ModelDialog* objectDialog_ = nullptr;
    ModelDialog* checkDialog_ = nullptr;
    ModelDialog* operationDialog_ = nullptr; // "運転管理"
    ModelDialog* partsDialog_ = nullptr;     // "部品表"
    ModelDialog* planDialog_ = nullptr;      // "平面図の書き出し"
    ViewerWindow* helpViewer_ = nullptr;
    ViewerWindow* messagesViewer_ = nullptr;
    wxTimer timer_;
    // Windows just shown and the place each was given.
    struct Settling {
        wxTopLevelWindow* window;
        wxRect rect;
        wxLongLong until;
        wxLongLong mapDeadline; // the latest the hold may wait for the window to be mapped
        bool keepSize = false;  // only its place is held
        bool acted = false;     // whether a tick has held the window to its place yet
    };
    std::vector<Settling> settling_;
    // Windows at the side shown for the first time, placed once the toolkit has laid them out.
    struct PendingPlace {
        wxTopLevelWindow* window;
        wxLongLong deadline; // placed then with the size it has, laid out or not
    };
    std::vector<PendingPlace> pendingPlaces_;
    // Until when the main window's move to the screen's corner is waited for (0: none is).
    wxLongLong cornerPendingUntil_ = 0;
    // Until when the main window keeps its least size from start-up (0: no longer).
    wxLongLong minSizeUntil_ = 0;
    // What the run report follows while the loop runs (only with --report).
    std::unique_ptr<app::headless::RunObserver> observer_;
    int observedPasses_ = 0;
    // The context that proved the view ready; the device takes it over.
    std::shared_ptr<CanvasGlContext> viewContext_;
    bool startPending_ = false;
    wxLongLong startWaitEnd_ = 0;

    int toolBarHeight_ = 0;
    int statusBarHeight_ = 0;
    bool started_ = false;
    bool closeAfterStartUp_ = false;
    bool loopRunning_ = false;
    bool realTime_ = false; // the last pass ran on the clock
    bool closing_ = false;
    bool destroying_ = false;
};

} // namespace front
