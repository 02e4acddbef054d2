// The application without a window: start-up, the map named on the command line, the
// settings-dialog and tool-bar actions, the action script (clicks, drags, keys, commands, dialog
// controls, map files, with passes in between), the passes of --frames with scripted keys, then
// an optional screenshot, map save and run report, and the close path. Message boxes are
// answered at once and kept for the report; nothing is ever downloaded.
#pragma once

#include "app/CSimulatorApp.h"
#include "app/script/HeadlessOptions.h"
#include "gfx/Device.h"
#include "gfx/Image.h"
#include "platform/Result.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace app {

// A device of the given size for the main target, for --screenshot (off-screen OpenGL).
using SizedDeviceFactory =
    std::function<gfx::Created<gfx::Device>(const gfx::DeviceOptions& options, int width, int height)>;
// Writes a picture as a PNG file.
using ScreenshotWriter = std::function<platform::Status(const gfx::Image& image, const std::string& path)>;

struct HeadlessServices {
    std::string executableFolder; // ends in '/'
    std::string executableName;
    std::string settingsFile{}; // empty: executableFolder + executableName + ".ini"
    SizedDeviceFactory screenshotFactory{}; // empty: --screenshot is refused
    ScreenshotWriter writeScreenshot{};
    AppPorts ports{};
    std::ostream* errors = nullptr; // null: standard error
    // Runs after the last pass, before the close path; tests look at the application here.
    std::function<void(CSimulatorApp&)> inspect{};
};

// Exit code: 0 done; 1 the map could not be loaded (the run goes on as the program would after
// its message, the reason on the error stream) or a file could not be written (a screenshot, a
// saved map, a report, a check); 2 bad options (usage on the error stream) or a script line the
// parser or the program refuses (its line number and reason on the error stream).
int RunHeadless(const HeadlessOptions& options, const HeadlessServices& services);

// The command line after the program name ("--headless" may stay in it). offscreenFactory and
// writeScreenshot serve --screenshot; without it the recording device draws, which needs no
// GPU and no display. SIGINT and SIGTERM end the run through the close path.
int RunHeadless(int argc, char** argv, SizedDeviceFactory offscreenFactory, ScreenshotWriter writeScreenshot);

} // namespace app
