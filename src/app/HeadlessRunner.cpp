#include "app/HeadlessRunner.h"

#include "app/ActionScript.h"
#include "app/KeyScript.h"
#include "app/LayoutCheckReport.h"
#include "app/RunReport.h"
#include "gfx/RecordingDevice.h"
#include "platform/Memory.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/RecordingDialogService.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/ObjectSelectTemplate.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <utility>

namespace app {

namespace {

// The button of `--tool SLOT`. Slots count the tool bar without the undo and redo buttons (the
// `undo` and `redo` actions press those), so a slot names the same button in every script,
// whether written before they were added or after. 0 for a separator or no slot.
int ScriptToolId(const ui::ToolBarModel& toolBar, int slot)
{
    for (int at = 0; at < toolBar.SlotCount(); ++at) {
        const int id = toolBar.IdAt(at);
        if (id == ui::cmd::kToolUndo || id == ui::cmd::kToolRedo) continue;
        if (slot-- == 0) return id;
    }
    return 0;
}

volatile std::sig_atomic_t gCloseRequested = 0;

extern "C" void OnCloseSignal(int)
{
    gCloseRequested = 1;
}

namespace vk = platform::vk;

// The gap between the tool bar and the render view, so that the view is exactly width × height.
constexpr int kHeadlessGap = CMainDlg::kViewGap;
// The wheel delta of one notch, and how far the mouse moves between two passes of a drag.
constexpr int kWheelNotch = 120;
constexpr double kDragStep = 10.0;
// Passes between two autosaves (a minute at 60 passes a second).
constexpr int kAutosavePasses = 3600;

// What the report follows during the passes: how far each lead car has moved and every
// route change of a placed object.
class RunObserver {
  public:
    explicit RunObserver(CSimulatorApp& app) : app_(app) { Resync(); }

    // Takes the state as it is now as the starting point of what follows.
    void Resync()
    {
        routes_.clear();
        for (const auto& object : app_.Layout().PlacedObjects())
            routes_[object.index] = object.route;
        for (int slot = 1; slot <= kTrainSlotCount; ++slot)
            lead_[slot - 1] = LeadPosition(slot);
    }

    void AfterPass(int frame)
    {
        for (const auto& object : app_.Layout().PlacedObjects()) {
            const auto known = routes_.find(object.index);
            if (known != routes_.end() && known->second != object.route)
                changes_.push_back({frame, object.index, known->second, object.route});
            routes_[object.index] = object.route;
        }
        for (int slot = 1; slot <= kTrainSlotCount; ++slot) {
            const auto now = LeadPosition(slot);
            auto& before = lead_[slot - 1];
            if (now && before) distance_[slot - 1] += std::hypot(now->x - before->x, now->z - before->z);
            before = now;
        }
    }

    double Distance(int slot) const { return distance_[slot - 1]; }
    const std::vector<RouteChange>& Changes() const { return changes_; }

  private:
    std::optional<math::Vec3> LeadPosition(int slot) const
    {
        const TrainState train = app_.Vehicles().Train(slot);
        if (train.cars.empty()) return std::nullopt;
        return math::Vec3{train.cars.front().x, train.cars.front().y, train.cars.front().z};
    }

    CSimulatorApp& app_;
    std::map<int, int> routes_;
    std::array<std::optional<math::Vec3>, kTrainSlotCount> lead_{};
    std::array<double, kTrainSlotCount> distance_{};
    std::vector<RouteChange> changes_;
};

// The drawing of the passes on a device that can say when it has finished a frame, with the
// wait for it: what a frame costs when the rasteriser's time is counted too.
struct FinishedFrames {
    int frames = 0;
    double totalMs = 0;
};

RunReport CollectReport(CSimulatorApp& app, const RunObserver& observer,
                        const platform::RecordingDialogService& dialogs, const FinishedFrames& finished)
{
    RunReport report;
    const PassTimes& times = app.Times();
    report.frames = times.passes;
    if (times.passes > 0) {
        report.simulationMs = times.simulationMs / times.passes;
        report.drawingMs = times.drawingMs / times.passes;
    }
    if (finished.frames > 0) report.frameGlMs = finished.totalMs / finished.frames;
    report.eye = app.Camera().Eye();
    report.target = app.Camera().Target();
    report.types = app.Layout().TypeNames();
    for (int slot = 1; slot <= kTrainSlotCount; ++slot)
        report.trains.push_back({app.Vehicles().Train(slot), observer.Distance(slot)});
    report.objects = app.Layout().PlacedObjects();
    report.history = app.Layout().History();
    report.routeChanges = observer.Changes();
    report.car = app.Vehicles().RoadCar();
    report.plane = app.Vehicles().Plane();
    report.helicopter = app.Vehicles().Helicopter();
    report.messages = dialogs.MessageTexts();
    report.peakRssMb = platform::PeakResidentMb();
    return report;
}

// A map command with its file chooser answered by path. The command reports its own failures
// in message boxes, which the run keeps; the text of the first error box is returned. A command
// that never asked for a file (no layout to save) leaves its answer to nobody.
struct MapCommandResult {
    bool asked = false;
    std::string failure;
};

MapCommandResult RunMapCommand(CSimulatorApp& app, platform::RecordingDialogService& dialogs, int commandId,
                               const std::string& path)
{
    const std::size_t before = dialogs.Calls().size();
    if (commandId == ui::cmd::kSaveMap)
        dialogs.QueueSaveFile(path);
    else
        dialogs.QueueOpenFile(path);
    app.OnCommand(commandId);
    dialogs.DropPendingAnswers();
    MapCommandResult result;
    for (std::size_t i = before; i < dialogs.Calls().size(); ++i) {
        const platform::DialogCall& call = dialogs.Calls()[i];
        if (call.kind == platform::DialogCallKind::SaveFile ||
            call.kind == platform::DialogCallKind::OpenFile)
            result.asked = true;
        if (call.kind != platform::DialogCallKind::Message) continue;
        const auto& message = std::get<platform::MessageRequest>(call.request);
        if (message.icon == platform::MessageIcon::Error && result.failure.empty())
            result.failure = message.text;
    }
    return result;
}

// The save command with its chooser answered by path; an error box, or a chooser never asked,
// counts as not saved.
bool SaveMapAsCommanded(CSimulatorApp& app, platform::RecordingDialogService& dialogs,
                        const std::string& path, std::ostream& errors, std::string_view asker)
{
    const MapCommandResult saved = RunMapCommand(app, dialogs, ui::cmd::kSaveMap, path);
    if (!saved.asked) {
        errors << "korvela: " << asker << ": this layout cannot be saved; " << path << " was not written\n";
        return false;
    }
    if (!saved.failure.empty()) {
        errors << "korvela: the map could not be saved to " << path << ": " << saved.failure << "\n";
        return false;
    }
    return true;
}

int BadOption(std::ostream& errors, const std::string& message)
{
    errors << "korvela: " << message << "\n" << HeadlessUsage();
    return 2;
}

// The relative movement the right and middle drags of a script make.
class ScriptedMouse final : public MousePort {
  public:
    void Move(int dx, int dy)
    {
        motion_.dx += dx;
        motion_.dy += dy;
    }
    MouseMotion ReadMain() override { return std::exchange(motion_, MouseMotion{}); }
    void Unacquire() override { motion_ = {}; }

  private:
    MouseMotion motion_;
};

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

  private:
    using Kind = Action::Kind;

    bool Pass();
    platform::Status Press(const Action& action);
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

bool Session::Pass()
{
    Finish();
    if (!Running()) return false;
    holds_.Apply(keys_, frame_);
    const double drawingBefore = app_.Times().drawingMs;
    running_ = app_.RunPass(true);
    gfx::Device* device = app_.Graphics().Device();
    const auto waitFrom = std::chrono::steady_clock::now();
    if (device && device->Finish()) {
        const std::chrono::duration<double, std::milli> waited = std::chrono::steady_clock::now() - waitFrom;
        finished_.totalMs += app_.Times().drawingMs - drawingBefore + waited.count();
        ++finished_.frames;
    }
    // Nobody reads what the recording device kept of the frame; a long run must not pile it up.
    if (auto* recording = dynamic_cast<gfx::RecordingDevice*>(device)) recording->ClearCalls();
    observer_.AfterPass(frame_);
    ++frame_;
    return running_;
}

platform::Status Session::Run(const Action& action)
{
    platform::Status done = platform::Ok{};
    switch (action.kind) {
    case Kind::Frames:
        for (int pass = 0; pass < action.numbers[0] && Pass(); ++pass) {
        }
        return done;
    case Kind::Key:
        return Press(action);
    case Kind::Hold:
        holds_.Add({action.numbers[0], action.numbers[1], action.numbers[2]});
        return done;
    case Kind::Click:
    case Kind::Drag:
    case Kind::RightDrag:
    case Kind::MiddleDrag:
        done = Drag(action);
        break;
    case Kind::Wheel:
        for (int notch = 0; notch < std::abs(action.numbers[0]); ++notch)
            app_.OnMouseWheel(action.numbers[0] > 0 ? kWheelNotch : -kWheelNotch);
        break;
    case Kind::Menu:
        done = Menu(action.numbers[0]);
        break;
    case Kind::Undo:
    case Kind::Redo: {
        // As a user would see it: an entry that does nothing is no step done.
        const HistoryState before = app_.Layout().History();
        done = Menu(action.kind == Kind::Undo ? ui::cmd::kUndo : ui::cmd::kRedo);
        if (!done || app_.Layout().History().commands == before.commands)
            done = platform::Fail(action.kind == Kind::Undo ? "nothing to undo" : "nothing to redo");
        break;
    }
    case Kind::Set:
        done = Set(action);
        break;
    case Kind::Button:
        done = Button(action);
        break;
    case Kind::Type:
        done = Type(action);
        break;
    case Kind::Row:
        done = Row(action);
        break;
    case Kind::Select:
        done = Select(action);
        break;
    case Kind::LoadMap:
    case Kind::ImportMap: {
        // A file that does not load is said in a message box, which the report keeps; a map that
        // cannot be loaded also makes the run end with exit code 1.
        const MapCommandResult loaded = RunMapCommand(
            app_, dialogs_, action.kind == Kind::LoadMap ? ui::cmd::kLoadMap : ui::cmd::kImportMap, action.text);
        if (action.kind == Kind::LoadMap && !loaded.failure.empty()) {
            errors_ << "korvela: the map " << action.text << " could not be loaded: " << loaded.failure << "\n";
            mapFailed_ = true;
        }
        break;
    }
    case Kind::SaveMap:
        if (!SaveMapAsCommanded(app_, dialogs_, action.text, errors_, "save-map")) writeFailed_ = true;
        break;
    case Kind::Report:
        WriteReport(action.text);
        break;
    case Kind::Screenshot:
        WriteScreenshot(action.text);
        break;
    case Kind::CheckLayout:
        WriteCheck(action.text);
        break;
    case Kind::MendJoints:
        app_.MendJoints();
        break;
    }
    // What the user did between passes is no event of the run: placing, deleting or loading
    // renumbers objects and moves trains without counting as route changes or distance.
    observer_.Resync();
    // The edit menu follows at once, as the window's menu would when it is next opened.
    app_.RefreshEditState();
    return done;
}

platform::Status Session::Press(const Action& action)
{
    std::vector<int> pressed;
    for (const int vk : action.numbers) {
        if (!keys_.IsDown(vk)) pressed.push_back(vk);
        keys_.Press(vk);
    }
    Pass();
    for (const int vk : pressed) {
        if (!holds_.Holds(vk)) keys_.Release(vk);
    }
    return platform::Ok{};
}

platform::Result<std::pair<int, int>> Session::InView(int x, int y) const
{
    const ViewRect view = app_.MainDlg().View();
    if (x >= view.Width() || y >= view.Height()) {
        return platform::Fail("point " + std::to_string(x) + " " + std::to_string(y) + " outside the " +
                              std::to_string(view.Width()) + "x" + std::to_string(view.Height()) + " view");
    }
    return std::pair{view.left + x, view.top + y};
}

void Session::Modifiers(const app::Modifiers& modifiers, bool down)
{
    for (const auto& [on, vk] :
         {std::pair{modifiers.shift, vk::kShift}, std::pair{modifiers.ctrl, vk::kControl},
          std::pair{modifiers.alt, vk::kMenu}}) {
        if (!on) continue;
        if (down)
            keys_.Press(vk);
        else
            keys_.Release(vk);
    }
}

platform::Status Session::Drag(const Action& action)
{
    const auto from = InView(action.numbers[0], action.numbers[1]);
    if (!from) return platform::Fail(from.error());
    const bool click = action.kind == Kind::Click;
    const auto to = click ? from : InView(action.numbers[2], action.numbers[3]);
    if (!to) return platform::Fail(to.error());
    const int button = action.kind == Kind::RightDrag    ? vk::kRButton
                       : action.kind == Kind::MiddleDrag ? vk::kMButton
                                                         : vk::kLButton;

    Modifiers(action.modifiers, true);
    app_.OnMouseMove(from->first, from->second);
    keys_.Press(button);
    if (button == vk::kLButton) app_.OnLeftButtonDown(from->first, from->second);
    if (!click) {
        // One pass for every kDragStep pixels of the way, and one more at the end point, as a
        // hand stops before it lets go (the magnet pulls on the pass after the move).
        const int dx = to->first - from->first;
        const int dy = to->second - from->second;
        const int steps = std::max(1, static_cast<int>(std::ceil(std::hypot(dx, dy) / kDragStep)));
        int x = from->first;
        int y = from->second;
        for (int step = 1; step <= steps + 1; ++step) {
            const int along = std::min(step, steps);
            const int nextX =
                from->first + static_cast<int>(std::lround(static_cast<double>(dx) * along / steps));
            const int nextY =
                from->second + static_cast<int>(std::lround(static_cast<double>(dy) * along / steps));
            mouse_.Move(nextX - x, nextY - y);
            x = nextX;
            y = nextY;
            app_.OnMouseMove(x, y);
            if (!Pass()) break;
        }
    }
    keys_.Release(button);
    Modifiers(action.modifiers, false);
    return platform::Ok{};
}

platform::Status Session::Menu(int id)
{
    const std::string named = std::to_string(id);
    if (app_.MainDlg().ToolBar().SlotOf(id) >= 0) {
        if (!app_.ClickTool(id)) return platform::Fail("tool-bar button " + named + " is greyed");
        return platform::Ok{};
    }
    const ui::MenuModel& menu = app_.MainDlg().Menu();
    if (menu.Has(id) && !menu.IsEnabled(id)) return platform::Fail("menu item " + named + " is greyed");
    if (!app_.OnCommand(id)) return platform::Fail("no menu or tool-bar command " + named);
    return platform::Ok{};
}

platform::Status Session::Set(const Action& action)
{
    const int id = action.numbers[0];
    const int value = action.numbers[1];
    if (action.dialog == ScriptDialog::Settings) {
        std::string why;
        if (!app_.SetUp().SetByUser(id, value, &why)) return platform::Fail(why);
        return platform::Ok{};
    }
    CObjectSelect& objects = app_.ObjectSelect();
    const ui::DialogModel& model = objects.Model();
    const std::string named = std::to_string(id);
    if (!model.Has(id)) return platform::Fail("no control " + named + " in the object dialog");
    if (!model.IsEnabled(id)) return platform::Fail("control " + named + " is disabled");
    if (id == ui::objsel::kCatalogue) {
        if (!objects.SelectCatalogue(value))
            return platform::Fail("no catalogue entry " + std::to_string(value));
        return platform::Ok{};
    }
    if (model.Kind(id) == ui::ControlKind::CheckBox) {
        if (value != 0 && value != 1)
            return platform::Fail("check state " + std::to_string(value) + " out of range");
        if (model.Check(id) != value) objects.Click(id);
        return platform::Ok{};
    }
    return platform::Fail("control " + named + " takes no value (type into edit boxes, press buttons)");
}

platform::Status Session::Button(const Action& action)
{
    const int id = action.numbers[0];
    const bool settings = action.dialog == ScriptDialog::Settings;
    const ui::DialogModel& model = settings ? app_.SetUp().Model() : app_.ObjectSelect().Model();
    const std::string named = std::to_string(id);
    if (!model.Has(id) || model.Kind(id) != ui::ControlKind::Button)
        return platform::Fail("no button " + named + " in the " + (settings ? "settings" : "object") +
                              " dialog");
    if (!model.IsEnabled(id)) return platform::Fail("button " + named + " is disabled");
    if (settings)
        app_.SetUp().Click(id);
    else
        app_.ObjectSelect().Click(id);
    return platform::Ok{};
}

platform::Status Session::Type(const Action& action)
{
    const int id = action.numbers[0];
    const ui::DialogModel& model = app_.ObjectSelect().Model();
    if (action.dialog != ScriptDialog::Objects || !model.Has(id) ||
        model.Kind(id) != ui::ControlKind::EditBox)
        return platform::Fail("no edit box " + std::to_string(id) + " to type into");
    if (!model.IsEnabled(id)) return platform::Fail("edit box " + std::to_string(id) + " is disabled");
    app_.ObjectSelect().OnEditText(id, action.text);
    return platform::Ok{};
}

platform::Status Session::SelectRows(std::vector<int> rows, int clicked)
{
    CObjectSelect& objects = app_.ObjectSelect();
    objects.OnListSelection(rows);
    objects.OnRowClick(clicked);
    return platform::Ok{};
}

platform::Status Session::Row(const Action& action)
{
    const int row = action.numbers[0];
    const ui::ListView& list = app_.ObjectSelect().Model().List(ui::objsel::kPlacedList);
    if (row >= list.RowCount())
        return platform::Fail("no row " + std::to_string(row) + " (the list has " +
                              std::to_string(list.RowCount()) + ")");
    std::vector<int> rows = {row};
    if (action.modifiers.ctrl) {
        // Ctrl adds an unselected row and takes a selected one out.
        rows = list.SelectedRows();
        const auto found = std::find(rows.begin(), rows.end(), row);
        if (found == rows.end())
            rows.push_back(row);
        else
            rows.erase(found);
    }
    return SelectRows(std::move(rows), row);
}

platform::Status Session::Select(const Action& action)
{
    const ui::ListView& list = app_.ObjectSelect().Model().List(ui::objsel::kPlacedList);
    std::vector<int> rows;
    for (const int index : action.numbers) {
        // Column 0 holds the record index, whatever order the rows are sorted in.
        int found = -1;
        for (int row = 0; row < list.RowCount() && found < 0; ++row) {
            if (list.Cell(row, 0) == std::to_string(index)) found = row;
        }
        if (found < 0) return platform::Fail("no placed object " + std::to_string(index));
        rows.push_back(found);
    }
    const int clicked = rows.back();
    return SelectRows(std::move(rows), clicked);
}

void Session::WriteScreenshot(const std::string& path)
{
    // A run without passes still has a picture: the one a paint draws.
    if (app_.Times().passes == 0) app_.Paint();
    gfx::Device* device = app_.Graphics().Device();
    std::optional<gfx::Image> image = device ? device->ReadPixels() : std::nullopt;
    if (!image || image->empty()) {
        errors_ << "korvela: no picture to write to " << path << "\n";
        writeFailed_ = true;
    } else if (const platform::Status written = services_.writeScreenshot(*image, path); !written) {
        errors_ << "korvela: " << written.error() << "\n";
        writeFailed_ = true;
    }
}

void Session::WriteReport(const std::string& path)
{
    RunReport report = CollectReport(app_, observer_, dialogs_, finished_);
    report.interrupted = gCloseRequested != 0;
    const std::string json = ReportJson(report);
    if (const platform::Status written = platform::ReplaceFile(path, json); !written) {
        errors_ << "korvela: the report could not be written: " << written.error() << "\n";
        writeFailed_ = true;
    }
}

void Session::WriteCheck(const std::string& path)
{
    // With the thresholds of the check window, as the settings file gave them.
    const layout::LayoutCheckSettings thresholds = app_.LayoutCheck().BoxSettings();
    if (const platform::Status written = WriteLayoutCheck(app_.OwnLayout().Core(), thresholds, path);
        !written) {
        errors_ << "korvela: the layout check could not be written: " << written.error() << "\n";
        writeFailed_ = true;
    }
}

platform::Result<std::vector<Action>> ReadScript(const std::string& path)
{
    // Far more than any session needs; a larger file is no script.
    constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;
    const platform::Result<std::string> text = platform::ReadFileBytes(path, kMaxScriptBytes);
    if (!text) return platform::Fail("cannot read the action script: " + text.error());
    return ParseActions(*text);
}

} // namespace

int RunHeadless(const HeadlessOptions& options, const HeadlessServices& services)
{
    std::ostream& errors = services.errors ? *services.errors : std::cerr;

    // The whole script is read before anything runs: a bad line changes nothing.
    std::vector<Action> script;
    if (options.actionsFile) {
        auto read = ReadScript(*options.actionsFile);
        if (!read) {
            errors << "korvela: " << *options.actionsFile << ": " << read.error() << "\n";
            return 2;
        }
        script = std::move(*read);
    }
    const bool screenshots = options.screenshotFile ||
                             std::any_of(script.begin(), script.end(),
                                         [](const Action& a) { return a.kind == Action::Kind::Screenshot; });
    if (screenshots && (!services.screenshotFactory || !services.writeScreenshot))
        return BadOption(errors, "screenshots need the off-screen OpenGL device, which this build lacks");

    const int width = options.width;
    const int height = options.height;
    render::DeviceFactory factory;
    if (screenshots) {
        factory = [&services, width, height](const gfx::DeviceOptions& device) {
            return services.screenshotFactory(device, width, height);
        };
    } else {
        factory = [width, height](const gfx::DeviceOptions& device) {
            gfx::RecordingDevice::Options recording;
            recording.device = device;
            recording.main = {width, height};
            auto created = gfx::RecordingDevice::Create(recording);
            return gfx::Created<gfx::Device>{std::move(created.device), std::move(created.error)};
        };
    }

    platform::RecordingDialogService dialogs;
    platform::KeyState keys;
    ScriptedMouse mouse;
    AppPorts ports = services.ports;
    if (!ports.mouse) ports.mouse = &mouse;
    AppEnvironment environment{.executableFolder = services.executableFolder,
                               .executableName = services.executableName,
                               .settingsFile = options.settingsFile.value_or(services.settingsFile),
                               .deviceFactory = std::move(factory),
                               .ports = ports,
                               .saveSettingsOnClose = false};
    if (options.autosaveDir)
        environment.recovery = {.folder = *options.autosaveDir, .passes = kAutosavePasses};
    CSimulatorApp app(std::move(environment), dialogs, keys);

    // No real bars: the render view is the whole picture below the gap.
    app.SetWindowMetrics(width, height + kHeadlessGap, 0, 0);
    app.Startup();

    // A request the program cannot carry out ends the run before Start, writing nothing. The
    // settings are made before the map is opened, as a user sets up the program and then opens
    // a map: a box read while loading ("頂点カラーの削除") applies to the map's trains.
    for (const StartAction& action : options.actions) {
        if (action.kind == StartAction::Kind::Set) {
            std::string why;
            if (!app.SetUp().SetByUser(action.id, action.value, &why)) {
                return BadOption(errors, "--set " + std::to_string(action.id) + "=" +
                                             std::to_string(action.value) + ": " + why);
            }
            continue;
        }
        const int id = ScriptToolId(app.MainDlg().ToolBar(), action.id);
        if (id == 0) return BadOption(errors, "--tool " + std::to_string(action.id) + ": no button in that slot");
        if (!app.ClickTool(id))
            errors << "korvela: --tool " << action.id << ": the button is greyed; the press does nothing\n";
    }

    // A map that cannot be loaded is shown as the program shows it and the run goes on, but
    // the run ends with exit status 1 and the message on standard error.
    bool mapRead = true;
    if (options.mapFile) {
        const std::size_t before = dialogs.Calls().size();
        if (!app.LoadMapFile(*options.mapFile)) {
            mapRead = false;
            errors << "korvela: the map " << *options.mapFile << " could not be loaded";
            for (std::size_t i = before; i < dialogs.Calls().size(); ++i) {
                if (dialogs.Calls()[i].kind != platform::DialogCallKind::Message) continue;
                errors << ": " << std::get<platform::MessageRequest>(dialogs.Calls()[i].request).text;
            }
            errors << "\n";
        }
    }

    if (options.autosaveDir) app.OfferRecovery();

    // --keys and --frames are the plainest script: holds, then passes after whatever the
    // action script did.
    for (const KeyHold& hold : options.keys)
        script.insert(script.begin(),
                      Action{.kind = Action::Kind::Hold, .numbers = {hold.vk, hold.from, hold.to}});
    if (options.frames > 0)
        script.push_back(Action{.kind = Action::Kind::Frames, .numbers = {options.frames}});

    Session session(app, keys, dialogs, mouse, services, errors);
    for (const Action& action : script) {
        if (!session.Running()) break;
        if (const platform::Status done = session.Run(action); !done) {
            errors << "korvela: " << options.actionsFile.value_or("--actions") << ": line " << action.line
                   << ": " << done.error() << "\n";
            app.OnClose();
            return 2;
        }
    }
    // A signal that cut the script short: the run did not do what it was asked.
    const bool interrupted = gCloseRequested != 0;
    session.Finish();
    if (services.inspect) services.inspect(app);

    if (options.screenshotFile) session.WriteScreenshot(*options.screenshotFile);
    int result = session.WriteFailed() || session.MapFailed() || !mapRead || interrupted ? 1 : 0;
    if (options.saveMapFile && !SaveMapAsCommanded(app, dialogs, *options.saveMapFile, errors, "--save-map"))
        result = 1;

    if (options.checkLayoutFile) {
        if (!mapRead) {
            errors << "korvela: " << *options.mapFile << " could not be read; the layout was not checked\n";
            result = 1;
        } else {
            session.WriteCheck(*options.checkLayoutFile);
            if (session.WriteFailed()) result = 1;
        }
    }

    // A run stopped by a signal cannot finish its script: what it changed is kept for recovery.
    if (gCloseRequested) app.KeepUnsavedForRecovery();
    app.OnClose();

    if (options.reportFile) {
        session.WriteReport(*options.reportFile);
        if (session.WriteFailed()) result = 1;
    }
    return result;
}

int RunHeadless(int argc, char** argv, SizedDeviceFactory offscreenFactory, ScreenshotWriter writeScreenshot)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    auto options = ParseHeadlessOptions(args);
    if (!options) return BadOption(std::cerr, options.error());

    HeadlessServices services;
    try {
        const platform::ProgramFolders& folders = platform::ThisProgramFolders();
        // Default folders and relative settings paths count from the content folder.
        services.executableFolder = folders.contentFolder;
        services.executableName = folders.executableName;
        services.settingsFile = folders.settingsFile;
    } catch (const std::exception& error) {
        std::cerr << "korvela: " << error.what() << "\n";
        return 1;
    }
    services.screenshotFactory = std::move(offscreenFactory);
    services.writeScreenshot = std::move(writeScreenshot);

    gCloseRequested = 0;
    // A closed terminal (SIGHUP) ends the run as SIGTERM does.
    const auto previousTerm = std::signal(SIGTERM, OnCloseSignal);
    const auto previousInt = std::signal(SIGINT, OnCloseSignal);
    const auto previousHup = std::signal(SIGHUP, OnCloseSignal);
    const int result = RunHeadless(*options, services);
    std::signal(SIGTERM, previousTerm);
    std::signal(SIGINT, previousInt);
    std::signal(SIGHUP, previousHup);
    return result;
}

} // namespace app
