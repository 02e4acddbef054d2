#include "app/HeadlessRunner.h"

#include "app/KeyScript.h"
#include "app/RunReport.h"
#include "gfx/RecordingDevice.h"
#include "platform/Paths.h"
#include "platform/RecordingDialogService.h"
#include "platform/SafeFile.h"
#include "ui/CommandIds.h"

#include <atomic>
#include <cmath>
#include <csignal>
#include <exception>
#include <iostream>
#include <map>
#include <optional>

namespace app {

namespace {

volatile std::sig_atomic_t gCloseRequested = 0;

extern "C" void OnCloseSignal(int)
{
    gCloseRequested = 1;
}

// The gap between the tool bar and the render view, so that the view is exactly width × height.
constexpr int kHeadlessGap = CMainDlg::kViewGap;

// What the report follows during the passes: how far each lead car has moved and every
// route change of a placed object.
class RunObserver {
  public:
    explicit RunObserver(CSimulatorApp& app) : app_(app)
    {
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

RunReport CollectReport(CSimulatorApp& app, const RunObserver& observer,
                        const platform::RecordingDialogService& dialogs)
{
    RunReport report;
    const PassTimes& times = app.Times();
    report.frames = times.passes;
    if (times.passes > 0) {
        report.simulationMs = times.simulationMs / times.passes;
        report.drawingMs = times.drawingMs / times.passes;
    }
    report.eye = app.Camera().Eye();
    report.target = app.Camera().Target();
    report.types = app.Layout().TypeNames();
    for (int slot = 1; slot <= kTrainSlotCount; ++slot)
        report.trains.push_back({app.Vehicles().Train(slot), observer.Distance(slot)});
    report.objects = app.Layout().PlacedObjects();
    report.routeChanges = observer.Changes();
    report.car = app.Vehicles().RoadCar();
    report.plane = app.Vehicles().Plane();
    report.helicopter = app.Vehicles().Helicopter();
    report.messages = dialogs.MessageTexts();
    return report;
}

// Runs the save command with its file chooser answered by path. The command reports its own
// failures in message boxes; an error box, or a chooser that was never asked (no layout to
// save), counts as not saved.
bool SaveMapAsCommanded(CSimulatorApp& app, platform::RecordingDialogService& dialogs,
                        const std::string& path, std::ostream& errors)
{
    const std::size_t before = dialogs.Calls().size();
    dialogs.QueueSaveFile(path);
    app.OnCommand(ui::cmd::kSaveMap);
    bool asked = false;
    std::string failure;
    for (std::size_t i = before; i < dialogs.Calls().size(); ++i) {
        const platform::DialogCall& call = dialogs.Calls()[i];
        if (call.kind == platform::DialogCallKind::SaveFile) asked = true;
        if (call.kind != platform::DialogCallKind::Message) continue;
        const auto& message = std::get<platform::MessageRequest>(call.request);
        if (message.icon == platform::MessageIcon::Error && failure.empty()) failure = message.text;
    }
    if (!asked) {
        errors << "korvela: --save-map: this layout cannot be saved; " << path << " was not written\n";
        return false;
    }
    if (!failure.empty()) {
        errors << "korvela: the map could not be saved to " << path << ": " << failure << "\n";
        return false;
    }
    return true;
}

int BadOption(std::ostream& errors, const std::string& message)
{
    errors << "korvela: " << message << "\n" << HeadlessUsage();
    return 2;
}

} // namespace

int RunHeadless(const HeadlessOptions& options, const HeadlessServices& services)
{
    std::ostream& errors = services.errors ? *services.errors : std::cerr;
    if (options.screenshotFile && (!services.screenshotFactory || !services.writeScreenshot))
        return BadOption(errors, "--screenshot needs the off-screen OpenGL device, which this build lacks");

    const int width = options.width;
    const int height = options.height;
    render::DeviceFactory factory;
    if (options.screenshotFile) {
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
    AppEnvironment environment{.executableFolder = services.executableFolder,
                               .executableName = services.executableName,
                               .settingsFile = options.settingsFile.value_or(""),
                               .deviceFactory = std::move(factory),
                               .ports = services.ports,
                               .saveSettingsOnClose = false};
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
        const ui::ToolBarModel& toolBar = app.MainDlg().ToolBar();
        if (action.id < 0 || action.id >= toolBar.SlotCount() || toolBar.IdAt(action.id) == 0) {
            return BadOption(errors, "--tool " + std::to_string(action.id) + ": no button in that slot");
        }
        if (!app.ClickTool(toolBar.IdAt(action.id)))
            errors << "korvela: --tool " << action.id << ": the button is greyed; the press does nothing\n";
    }

    if (options.mapFile) app.LoadMapFile(*options.mapFile);

    app.PressStart();
    KeyScript script(options.keys);
    RunObserver observer(app);
    for (int frame = 0; frame < options.frames; ++frame) {
        if (gCloseRequested) break;
        script.Apply(keys, frame);
        const bool more = app.RunPass(true);
        observer.AfterPass(frame);
        if (!more) break;
    }
    if (services.inspect) services.inspect(app);

    int result = 0;
    if (options.screenshotFile) {
        // A run without passes still has a picture: the one a paint draws.
        if (app.Times().passes == 0) app.Paint();
        gfx::Device* device = app.Graphics().Device();
        std::optional<gfx::Image> image = device ? device->ReadPixels() : std::nullopt;
        if (!image || image->empty()) {
            errors << "korvela: no picture to write to " << *options.screenshotFile << "\n";
            result = 1;
        } else if (const platform::Status written = services.writeScreenshot(*image, *options.screenshotFile);
                   !written) {
            errors << "korvela: " << written.error() << "\n";
            result = 1;
        }
    }

    if (options.saveMapFile && !SaveMapAsCommanded(app, dialogs, *options.saveMapFile, errors)) result = 1;

    app.OnClose();

    if (options.reportFile) {
        const std::string json = ReportJson(CollectReport(app, observer, dialogs));
        if (const platform::Status written = platform::ReplaceFile(*options.reportFile, json); !written) {
            errors << "korvela: the report could not be written: " << written.error() << "\n";
            result = 1;
        }
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
        services.executableFolder = platform::ExecutableFolder();
        services.executableName = platform::ExecutableBaseName();
    } catch (const std::exception& error) {
        std::cerr << "korvela: " << error.what() << "\n";
        return 1;
    }
    services.screenshotFactory = std::move(offscreenFactory);
    services.writeScreenshot = std::move(writeScreenshot);

    gCloseRequested = 0;
    const auto previousTerm = std::signal(SIGTERM, OnCloseSignal);
    const auto previousInt = std::signal(SIGINT, OnCloseSignal);
    const int result = RunHeadless(*options, services);
    std::signal(SIGTERM, previousTerm);
    std::signal(SIGINT, previousInt);
    return result;
}

} // namespace app
