// The wx application: builds the program's services and the application object, opens the main
// window and runs start-up in it, and feeds every key and mouse button of every window into the
// key state the program's key tests read.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <wx/app.h>

class wxLog;

namespace app {
class CSimulatorApp;
}
namespace platform {
class CurlHttpClient;
class KeyState;
} // namespace platform
namespace front {

class MainFrame;
class MouseTracker;
class SignalWatch;
class WxDialogService;

class FrontApp final : public wxApp {
  public:
    FrontApp();
    ~FrontApp() override;

    bool OnInit() override;
    int OnExit() override;
    int FilterEvent(wxEvent& event) override;

  private:
    void OnKey(wxKeyEvent& event, bool down);

    std::unique_ptr<platform::KeyState> keys_;
    std::unique_ptr<WxDialogService> dialogs_;
    std::unique_ptr<MouseTracker> mouse_;
    std::unique_ptr<SignalWatch> signals_;
    std::unique_ptr<platform::CurlHttpClient> http_;
    std::unique_ptr<app::CSimulatorApp> app_;
    std::unique_ptr<wxLog> log_;
    MainFrame* frame_ = nullptr; // owned by wx
};

// What the command line asks of the window program.
struct WindowOptions {
    std::optional<std::string> mapFile;    // loaded at the end of start-up
    std::optional<std::string> reportFile; // the run report, written when the window closes
};

// Runs the window program; argv holds what the toolkit may read. Returns the exit code.
int RunWindowProgram(int argc, char** argv, const WindowOptions& options);

} // namespace front
