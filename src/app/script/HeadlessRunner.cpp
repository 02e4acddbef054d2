#include "app/script/HeadlessRunner.h"

#include "app/script/ActionScript.h"
#include "app/script/HeadlessSession.h"
#include "app/LayoutPackage.h"
#include "gfx/RecordingDevice.h"
#include "package/Package.h"
#include "platform/ProgramFolders.h"
#include "platform/RecordingDialogService.h"
#include "ui/CommandIds.h"

#include <algorithm>
#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <utility>

namespace app {

namespace {

using headless::gCloseRequested;
using headless::SaveMapAsCommanded;
using headless::ScriptedMouse;
using headless::Session;

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

extern "C" void OnCloseSignal(int)
{
    gCloseRequested = 1;
}

// The gap between the tool bar and the render view, so that the view is exactly width × height.
constexpr int kHeadlessGap = CMainDlg::kViewGap;
// Passes between two autosaves (a minute at 60 passes a second).
constexpr int kAutosavePasses = 3600;

int BadOption(std::ostream& errors, const std::string& message)
{
    errors << "korvela: " << message << "\n" << HeadlessUsage();
    return 2;
}

} // namespace

int RunHeadless(const HeadlessOptions& options, const HeadlessServices& services)
{
    std::ostream& errors = services.errors ? *services.errors : std::cerr;

    // The whole script is read before anything runs: a bad line changes nothing.
    std::vector<Action> script;
    if (options.actionsFile) {
        auto read = ReadActionScript(*options.actionsFile);
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
    if (options.unpack) {
        // A refused package ends the run at once: nothing is unpacked, nothing else is done.
        // DIR becomes the layout's folder; one that exists already gets it as a new folder inside.
        const auto& [packagePath, folder] = *options.unpack;
        std::filesystem::path target(folder);
        while (target.has_relative_path() && !target.has_filename())
            target = target.parent_path();
        std::string parent = folder;
        std::string name;
        if (!std::filesystem::exists(target) && target.has_filename()) {
            parent = target.has_parent_path() ? target.parent_path().string() : ".";
            name = target.filename().string();
        }
        platform::Result<package::Unpacked> unpacked =
            options.mapFile ? package::UnpackPackage(packagePath, parent, PackedMapProblem, {}, name)
                            : OpenPackage(app, packagePath, parent, name);
        if (!unpacked) {
            errors << "korvela: " << packagePath << ": " << unpacked.error() << "\n";
            app.OnClose();
            return 1;
        }
        std::cout << "korvela: " << packagePath << " unpacked into " << unpacked->folder << " (map "
                  << unpacked->mapPath << ")\n";
    }
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

    if (options.partsListFile) session.WritePartsList(*options.partsListFile);
    if (options.exportPlanFile) session.WritePlan(*options.exportPlanFile, options.planScale);
    if ((options.partsListFile || options.exportPlanFile) && session.WriteFailed()) result = 1;
    if (options.packFile) {
        if (const platform::Result<std::size_t> packed = PackLayout(app, *options.packFile); !packed) {
            errors << "korvela: --pack " << *options.packFile << ": " << packed.error() << "\n";
            result = 1;
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
