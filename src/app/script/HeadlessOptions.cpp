#include "app/script/HeadlessOptions.h"

#include "plan/PlanExport.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace app {

namespace {

namespace vk = platform::vk;

// Largest picture side accepted.
constexpr int kMaxSide = 16384;

} // namespace

std::optional<std::pair<int, int>> ParseFrameRange(std::string_view text)
{
    const std::size_t dash = text.find('-');
    const auto from = ParseWholeNumber(text.substr(0, dash));
    const auto to = dash == std::string_view::npos ? from : ParseWholeNumber(text.substr(dash + 1));
    if (!from || !to || *from < 0 || *to < *from || *to > kMaxFrames) return std::nullopt;
    return std::pair{*from, *to};
}

namespace {

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

platform::Error Bad(std::string message)
{
    return platform::Fail(std::move(message));
}

} // namespace

int KeyCodeFromName(std::string_view name)
{
    const std::string key = Upper(name);
    if (key.size() == 1) {
        const char c = key[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F' &&
        std::all_of(key.begin() + 1, key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int n = std::stoi(key.substr(1));
        return n >= 1 && n <= 12 ? vk::kF1 + n - 1 : 0;
    }
    if (key.size() == 7 && key.starts_with("NUMPAD") && key[6] >= '0' && key[6] <= '9')
        return vk::kNumpad0 + (key[6] - '0');
    static constexpr std::array<std::pair<std::string_view, int>, 17> kNamed = {{
        {"ADD", vk::kAdd},
        {"SUBTRACT", vk::kSubtract},
        {"UP", vk::kUp},
        {"DOWN", vk::kDown},
        {"LEFT", vk::kLeft},
        {"RIGHT", vk::kRight},
        {"HOME", vk::kHome},
        {"END", vk::kEnd},
        {"SHIFT", vk::kShift},
        {"CTRL", vk::kControl},
        {"ALT", vk::kMenu},
        {"MINUS", vk::kOemMinus},
        {"CARET", vk::kOem7},
        {"SEMICOLON", vk::kOemPlus},
        {"COMMA", vk::kOemComma},
        {"PERIOD", vk::kOemPeriod},
        {"SLASH", vk::kOem2},
    }};
    for (const auto& [text, code] : kNamed) {
        if (key == text) return code;
    }
    return 0;
}

platform::Result<std::vector<KeyHold>> ParseKeySpec(std::string_view spec)
{
    std::vector<KeyHold> holds;
    while (true) {
        const std::size_t comma = spec.find(',');
        const std::string_view item = spec.substr(0, comma);
        const std::size_t at = item.find('@');
        if (at == std::string_view::npos) return Bad("--keys: \"" + std::string(item) + "\" needs KEY@FRAME");
        const std::string_view name = item.substr(0, at);
        const std::string_view frames = item.substr(at + 1);
        const int code = KeyCodeFromName(name);
        if (code == 0) return Bad("--keys: unknown key \"" + std::string(name) + "\"");
        const auto range = ParseFrameRange(frames);
        if (!range) return Bad("--keys: bad frames \"" + std::string(frames) + "\" for " + std::string(name));
        holds.push_back({code, range->first, range->second});
        if (comma == std::string_view::npos) break;
        spec.remove_prefix(comma + 1);
    }
    return holds;
}

platform::Result<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args)
{
    HeadlessOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--headless") continue;
        if (!arg.starts_with("--")) {
            if (options.mapFile) return Bad("only one map file may be given");
            options.mapFile = arg;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        static constexpr std::array<std::string_view, 17> kTakesValue = {
            "--frames",   "--keys",    "--set",          "--tool",        "--size",
            "--settings", "--screenshot", "--report",    "--save-map",    "--actions",
            "--check-layout", "--autosave-dir", "--parts-list", "--export-plan", "--plan-scale",
            "--pack", "--unpack"};
        if (std::find(kTakesValue.begin(), kTakesValue.end(), name) == kTakesValue.end())
            return Bad("unknown option " + name);
        if (!value) {
            if (i + 1 >= args.size()) return Bad(name + " needs a value");
            value = args[++i];
        }
        const std::string& text = *value;

        if (name == "--frames") {
            const auto frames = ParseWholeNumber(text);
            if (!frames || *frames < 0 || *frames > kMaxFrames)
                return Bad("--frames: bad count \"" + text + "\"");
            options.frames = *frames;
        } else if (name == "--keys") {
            auto holds = ParseKeySpec(text);
            if (!holds) return Bad(holds.error());
            options.keys.insert(options.keys.end(), holds->begin(), holds->end());
        } else if (name == "--set") {
            const std::size_t equals = text.find('=');
            const auto id = ParseWholeNumber(std::string_view(text).substr(0, equals));
            const auto setting = equals == std::string::npos
                                     ? std::nullopt
                                     : ParseWholeNumber(std::string_view(text).substr(equals + 1));
            if (!id || !setting) return Bad("--set: expected ID=VALUE, got \"" + text + "\"");
            options.actions.push_back({StartAction::Kind::Set, *id, *setting});
        } else if (name == "--tool") {
            const auto slot = ParseWholeNumber(text);
            if (!slot) return Bad("--tool: bad slot \"" + text + "\"");
            options.actions.push_back({StartAction::Kind::Tool, *slot, 0});
        } else if (name == "--size") {
            const std::size_t x = text.find_first_of("xX");
            const auto width = ParseWholeNumber(std::string_view(text).substr(0, x));
            const auto height = x == std::string::npos
                                    ? std::nullopt
                                    : ParseWholeNumber(std::string_view(text).substr(x + 1));
            if (!width || !height || *width < 1 || *height < 1 || *width > kMaxSide || *height > kMaxSide)
                return Bad("--size: expected WxH, got \"" + text + "\"");
            options.width = *width;
            options.height = *height;
        } else if (name == "--plan-scale") {
            const auto scale = plan::ParsePlanScale(text);
            if (!scale) return Bad("--plan-scale: " + scale.error());
            options.planScale = *scale;
        } else if (text.empty()) {
            return Bad(name + " needs a file name");
        } else if (name == "--pack") {
            options.packFile = text;
        } else if (name == "--unpack") {
            // The package, then the folder to unpack into.
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].starts_with("--"))
                return Bad("--unpack needs a package and a folder");
            options.unpack = {text, args[++i]};
        } else if (name == "--parts-list") {
            options.partsListFile = text;
        } else if (name == "--export-plan") {
            options.exportPlanFile = text;
        } else if (name == "--settings") {
            options.settingsFile = text;
        } else if (name == "--screenshot") {
            options.screenshotFile = text;
        } else if (name == "--save-map") {
            options.saveMapFile = text;
        } else if (name == "--actions") {
            options.actionsFile = text;
        } else if (name == "--check-layout") {
            options.checkLayoutFile = text;
        } else if (name == "--autosave-dir") {
            options.autosaveDir = text;
        } else {
            options.reportFile = text;
        }
    }
    if (options.planScale != 0 && !options.exportPlanFile) return Bad("--plan-scale needs --export-plan");
    return options;
}

std::string HeadlessUsage()
{
    return "usage: korvela --headless [options] [MAPFILE]\n"
           "  --frames N         passes of the main loop to run after Start (default 0)\n"
           "  --keys SPEC        keys held on given frames: KEY@FROM-TO or KEY@FRAME, comma-separated;\n"
           "                     KEY is a letter or digit, F1-F12, NUMPAD0-NUMPAD9, ADD, SUBTRACT, UP, "
           "DOWN,\n"
           "                     LEFT, RIGHT, HOME, END, SHIFT, CTRL, ALT, MINUS, CARET, SEMICOLON, COMMA,\n"
           "                     PERIOD or SLASH; frames count from 0\n"
           "  --set ID=VALUE     set a settings-dialog control as a user would (check state, slider\n"
           "                     position, list or combo selection, 1 for a radio or a button),\n"
           "                     before MAPFILE is opened\n"
           "  --tool SLOT        press a tool-bar slot (0-31)\n"
           "  --size WxH         render view size (default 1024x768)\n"
           "  --settings FILE    settings file to read instead of the one beside the program\n"
           "  --screenshot FILE  write the last frame as PNG (off-screen OpenGL)\n"
           "  --report FILE      write the state at the end as one JSON object\n"
           "  --save-map FILE    after the last pass, save the layout to FILE as the save command\n"
           "                     does (its file chooser answered with FILE)\n"
           "  --actions FILE     run a script of user actions (below) after --set and --tool, before\n"
           "                     the passes of --frames\n"
           "  --check-layout FILE  after the last pass, check the layout (open ends, near-miss joints,\n"
           "                     overlaps, grades, clearance, turnouts without key) and write the\n"
           "                     findings to FILE as JSON; exit 1 when the map cannot be read. The\n"
           "                     thresholds are the settings file's CheckGrade and CheckClearance\n"
           "  --autosave-dir DIR keep unsaved changes in DIR/recovery-PID-START.txt (every 3600 passes\n"
           "                     and every 20 edits) and offer the files there of runs that have\n"
           "                     ended after MAPFILE is opened; without it a headless run neither\n"
           "                     autosaves nor recovers\n"
           "  --parts-list FILE  after the last pass, write the parts list (one row per used type:\n"
           "                     count and track length) to FILE as UTF-8 CSV\n"
           "  --export-plan FILE after the last pass, write the plan seen from above to FILE (.pdf or\n"
           "                     .svg), fitted to an A4 page\n"
           "  --plan-scale N     with --export-plan: at 1:N, one unit a metre, tiled over A4 pages\n"
           "  --pack OUT.zip     after the last pass, write the layout as one package: the map and\n"
           "                     every object, background, train and vehicle file it uses, with a\n"
           "                     manifest (package.txt)\n"
           "  --unpack PKG DIR   check the package PKG and unpack it into the new folder DIR (into a\n"
           "                     new folder named after its map when DIR exists); without MAPFILE the\n"
           "                     run goes on with that map, its\n"
           "                     train and vehicle folders pointed at the package's. Exit 1 when the\n"
           "                     package is refused (the reason on standard error, nothing written)\n";
}

} // namespace app
