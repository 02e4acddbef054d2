#include "app/script/HeadlessSession.h"

#include "app/script/LayoutCheckReport.h"
#include "gfx/RecordingDevice.h"
#include "platform/SafeFile.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/ObjectSelectTemplate.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ostream>

namespace app::headless {

volatile std::sig_atomic_t gCloseRequested = 0;

namespace {

namespace vk = platform::vk;

// The wheel delta of one notch, and how far the mouse moves between two passes of a drag.
constexpr int kWheelNotch = 120;
constexpr double kDragStep = 10.0;

} // namespace

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
    case Kind::ObjectFolder:
        dialogs_.QueueFolder(action.text);
        app_.OnCommand(ui::cmd::kObjectFolder);
        dialogs_.DropPendingAnswers();
        break;
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
    case Kind::PartsList:
        WritePartsList(action.text);
        break;
    case Kind::Measure:
        done = Measure(action);
        break;
    case Kind::ExportPlan:
        WritePlan(action.text, action.numbers.empty() ? 0 : action.numbers[0]);
        break;
    case Kind::Pause:
        app_.SetPaused(action.numbers[0] != 0);
        break;
    case Kind::Speed:
        app_.SetPassRate(action.numbers[0]);
        break;
    case Kind::Attach:
    case Kind::End:
        done = LayTrack(action);
        break;
    case Kind::Protect:
    case Kind::Auto:
    case Kind::Cruise:
    case Kind::Shuttle:
    case Kind::StopMark:
    case Kind::StopTerminus:
    case Kind::Itinerary:
        done = Operate(action);
        break;
    }
    // What the user did between passes is no event of the run: placing, deleting or loading
    // renumbers objects and moves trains without counting as route changes or distance.
    observer_.Resync();
    // The edit menu follows at once, as the window's menu would when it is next opened.
    app_.RefreshEditState();
    return done;
}

platform::Status Session::LayTrack(const Action& action)
{
    if (!app_.MainDlg().ToolBar().IsChecked(ui::cmd::kToolCreateMap))
        return platform::Fail("laying track needs map creation (menu 32780)");
    if (action.kind == Kind::Attach) {
        app_.AttachTrack(action.numbers[0] != 0);
        return platform::Ok{};
    }
    if (!app_.ChooseTrackEnd(action.numbers[0]))
        return platform::Fail("the selected piece has no open end " + std::to_string(action.numbers[0]));
    return platform::Ok{};
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

} // namespace app::headless
