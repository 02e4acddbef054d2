// The command line of a run without a window:
//   korvela --headless [--frames N] [--keys SPEC] [--set ID=VALUE]... [--tool SLOT]...
//                      [--size WxH] [--settings FILE] [--screenshot FILE] [--report FILE]
//                      [--save-map FILE] [--actions FILE] [--check-layout FILE]
//                      [--autosave-dir DIR] [--parts-list FILE]
//                      [--export-plan FILE [--plan-scale N]] [--pack OUT.zip]
//                      [--unpack PKG DIR] [MAPFILE]
#pragma once

#include "math/NumberText.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace app {

// A key held down from frame `from` to frame `to`, both included; frames count from 0.
struct KeyHold {
    int vk = 0;
    int from = 0;
    int to = 0;
    bool operator==(const KeyHold&) const = default;
};

// --set and --tool, kept in the order given.
struct StartAction {
    enum class Kind { Set, Tool } kind = Kind::Set;
    int id = 0;    // control id (Set) or tool-bar slot (Tool)
    int value = 0; // Set only
    bool operator==(const StartAction&) const = default;
};

// Largest frame number accepted: beyond it a typing error is likelier than a wish.
inline constexpr int kMaxFrames = 100000000;

struct HeadlessOptions {
    std::optional<std::string> mapFile;
    int frames = 0;
    std::vector<KeyHold> keys;
    std::vector<StartAction> actions;
    int width = 1024;
    int height = 768;
    std::optional<std::string> settingsFile;
    std::optional<std::string> screenshotFile;
    std::optional<std::string> reportFile;
    // Saved after the last pass as the save command saves, the file chooser answered with it.
    std::optional<std::string> saveMapFile;
    // A script of user actions (ActionScript.h), run after --set and --tool and before the
    // passes of --frames.
    std::optional<std::string> actionsFile;
    // The layout check's findings, written as JSON after the last pass.
    std::optional<std::string> checkLayoutFile;
    // The parts list (CSV) and the plan (PDF or SVG, at 1:planScale or fitted to a page when 0),
    // written after the last pass.
    std::optional<std::string> partsListFile;
    std::optional<std::string> exportPlanFile;
    int planScale = 0;
    // The layout written as a package after the last pass.
    std::optional<std::string> packFile;
    // A package and the folder to unpack it into, before the map is opened.
    std::optional<std::pair<std::string, std::string>> unpack;
    // Autosave and recovery in this folder (off without it).
    std::optional<std::string> autosaveDir;
};

// args: the arguments after the program name; "--headless" itself is accepted and skipped.
// Options take their value as the next argument or after '='.
platform::Result<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args);

using math::ParseWholeNumber;
// "FROM-TO" or "FRAME": frames from 0 to kMaxFrames, FROM not after TO.
std::optional<std::pair<int, int>> ParseFrameRange(std::string_view text);

// "KEY@FROM-TO" and "KEY@FRAME", comma-separated.
platform::Result<std::vector<KeyHold>> ParseKeySpec(std::string_view spec);

// Virtual-key code of a key name of --keys (ignoring case): a letter or digit, F1 to F12,
// NUMPAD0 to NUMPAD9, ADD, SUBTRACT, UP, DOWN, LEFT, RIGHT, HOME, END, SHIFT, CTRL, ALT,
// MINUS, CARET, SEMICOLON, COMMA, PERIOD, SLASH. 0 for any other name.
int KeyCodeFromName(std::string_view name);

std::string HeadlessUsage();

} // namespace app
