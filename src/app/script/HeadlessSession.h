// A headless run's script played against the application: the session that carries out the
// actions with passes in between, and the map commands with their file choosers answered.
#pragma once

#include "app/CSimulatorApp.h"
#include "app/script/ActionScript.h"
#include "app/script/HeadlessRunner.h"
#include "app/script/KeyScript.h"
#include "app/script/RunObserver.h"
#include "app/script/ScriptedMouse.h"
#include "platform/KeyState.h"
#include "platform/RecordingDialogService.h"
#include "platform/Result.h"

#include <csignal>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace app::headless {

// Set by SIGINT and SIGTERM: the run ends through the close path.
extern volatile std::sig_atomic_t gCloseRequested;

// A map command with its file chooser answered by path. The command reports its own failures
// in message boxes, which the run keeps; the text of the first error box is returned. A command
// that never asked for a file (no layout to save) leaves its answer to nobody.
struct MapCommandResult {
    bool asked = false;
    std::string failure;
};

MapCommandResult RunMapCommand(CSimulatorApp& app, platform::RecordingDialogService& dialogs, int commandId,
                               const std::string& path);

// The save command with its chooser answered by path; an error box, or a chooser never asked,
// counts as not saved.
bool SaveMapAsCommanded(CSimulatorApp& app, platform::RecordingDialogService& dialogs,
                        const std::string& path, std::ostream& errors, std::string_view asker);

// Plays a script against the application as a user at the window would, with the passes of
// the main loop in between.
class Session {
  public:
    Session(CSimulatorApp& app, platform::KeyState& keys, platform::RecordingDialogService& dialogs,
            ScriptedMouse& mouse, const HeadlessServices& services, std::ostream& errors)
        : app_(app), keys_(keys), dialogs_(dialogs), mouse_(mouse), services_(services), errors_(errors),
          observer_(app)
    {
    }

    // Carries out one action. A failure is an action the program cannot carry out (the run
    // stops with status 2); files that could not be written only count in WriteFailed().
    platform::Status Run(const Action& action);
    // False once the loop has ended (a close request or a signal): the rest of the script is
    // left out.
    bool Running() const { return running_ && !gCloseRequested; }
    bool WriteFailed() const { return writeFailed_; }
    // A load-map action found a map it could not load.
    bool MapFailed() const { return mapFailed_; }
    // The end of the script: Start is pressed if no action did.
    void Finish()
    {
        if (!started_) app_.PressStart();
        started_ = true;
    }

    void WriteScreenshot(const std::string& path);
    void WriteReport(const std::string& path);
    void WriteCheck(const std::string& path);
    // The parts list as CSV; the plan as PDF or SVG at 1:scale (0: fitted to a page).
    void WritePartsList(const std::string& path);
    void WritePlan(const std::string& path, int scale);
    // The ruler's two clicks at view points.
    platform::Status Measure(const Action& action);
    // protect, auto, cruise, shuttle, stop-mark, stop-terminus and itinerary.
    platform::Status Operate(const Action& action);

  private:
    using Kind = Action::Kind;

    bool Pass();
    platform::Status Press(const Action& action);
    // "attach" and "end": laying track from the selected piece's open ends.
    platform::Status LayTrack(const Action& action);
    platform::Status Drag(const Action& action);
    platform::Status Menu(int id);
    platform::Status Set(const Action& action);
    platform::Status Button(const Action& action);
    platform::Status Type(const Action& action);
    platform::Status SelectRows(std::vector<int> rows, int clicked);
    platform::Status Select(const Action& action);
    platform::Status Row(const Action& action);
    // Client coordinates of a point of the render view, or why it lies outside.
    platform::Result<std::pair<int, int>> InView(int x, int y) const;
    void Modifiers(const app::Modifiers& modifiers, bool down);

    CSimulatorApp& app_;
    platform::KeyState& keys_;
    platform::RecordingDialogService& dialogs_;
    ScriptedMouse& mouse_;
    const HeadlessServices& services_;
    std::ostream& errors_;
    RunObserver observer_;
    KeyScript holds_;
    int frame_ = 0;
    FinishedFrames finished_;
    bool started_ = false;
    bool running_ = true;
    bool writeFailed_ = false;
    bool mapFailed_ = false;
};

} // namespace app::headless
