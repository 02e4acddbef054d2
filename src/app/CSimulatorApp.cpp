// The application object: what it owns and hands out, start-up and the close path. Its other
// jobs live beside it: the pass, the mouse, the commands, recovery and the folder choosers.
#include "app/CSimulatorApp.h"

#include "app/CSimulatorAppBridges.h"
#include "layout/MapFile.h"
#include "app/dialogs/MessageViewers.h"
#include "ui/SetUpTemplate.h"
#include "ui/WindowTemplates.h"

#include <iostream>

namespace app {

namespace {

namespace su = ui::setup;

// Folders end in '/' everywhere in the program.
AppEnvironment Normalised(AppEnvironment environment)
{
    if (environment.executableFolder.empty() || environment.executableFolder.back() != '/')
        environment.executableFolder += '/';
    return environment;
}

template <class T> T* OrDefault(T* given, T& fallback)
{
    return given ? given : &fallback;
}

} // namespace

CSimulatorApp::CSimulatorApp(AppEnvironment environment, platform::DialogService& dialogs,
                             platform::KeyState& keys)
    : environment_(Normalised(std::move(environment))), dialogs_(dialogs), keys_(keys),
      input_(keys_, environment_.executableFolder), graphics_(environment_.clock),
      layout_(OrDefault(environment_.ports.layout, static_cast<LayoutPort&>(appLayout_))),
      vehicles_(OrDefault(environment_.ports.vehicles, static_cast<VehiclesPort&>(appVehicles_))),
      mouse_(OrDefault(environment_.ports.mouse, nullMouse_)),
      online_{.executableFolder = environment_.executableFolder,
              .executablePath = environment_.executablePath.empty()
                                    ? environment_.executableFolder + environment_.executableName
                                    : environment_.executablePath,
              .dialogs = dialogs,
              .http = environment_.http,
              .web = environment_.web},
      ownViewers_(environment_.ports.viewers ? nullptr : std::make_unique<MessageViewers>(online_)),
      viewers_(environment_.ports.viewers ? environment_.ports.viewers : ownViewers_.get()),
      bridge_(std::make_unique<SetUpBridge>(*this)),
      setUp_(input_, mainDlg_.StatusBar(), dialogs_, *viewers_, *bridge_),
      settings_(environment_.settingsFile.empty()
                    ? SettingsFile::DefaultPath(environment_.executableFolder, environment_.executableName)
                    : environment_.settingsFile,
                environment_.executableName, input_),
      appLayout_(*this, dialogs_, environment_.executableName),
      objectBridge_(std::make_unique<ObjectSelectBridge>(*this)), surface_(appLayout_.Core()),
      appVehicles_(*this, surface_, environment_.executableName),
      mapStarts_(appVehicles_.MapStartPositions(appLayout_.OwnMapVehicles())),
      mapTrains_(appVehicles_.Slots(), mapStarts_), mapOperation_(operation_, appLayout_.Core().Placed(), mapTrains_),
      appScene_(*this, appLayout_.Core(), appVehicles_),
      recovery_(environment_.recovery, dialogs_)
{
    appLayout_.UseMapVehicles(&mapOperation_);
    // Undo and redo of an operation edit hand back the settings as the map would keep them.
    appLayout_.Core().SetDataHandler([this](const std::vector<std::string>& lines) {
        operation_.Change(operation::ReadOperationLines(lines, appLayout_.Core().Placed()));
    });
    objectSelect_.Bind(&appLayout_.Core(), objectBridge_.get());
    graphics_.AddResetHook([this](gfx::Device& device) { LoadKeyLabels(device); });
    // The title names the map the start will open from the first moment.
    const std::string start = environment_.startMap.empty() ? StartMap() : environment_.startMap;
    mainDlg_.Window().SetTitle(
        layout::MapWindowTitle(environment_.executableName, start.empty() ? settings_.MapFile() : start));
}

CSimulatorApp::~CSimulatorApp() = default;

void CSimulatorApp::LoadKeyLabels(gfx::Device& device)
{
    appScene_.LoadKeyLabels(device, setUp_.Model().Selection(su::kSpriteStyle));
}

void CSimulatorApp::Startup()
{
    // Tool bar, the turnout controls for the (empty) selection, the default check buttons and
    // the status bar; the render view lies where the metrics put it.
    mainDlg_.InitialiseBars();
    RefreshTurnoutControls();

    // The modeless dialogs; the viewers carry their titles from their creation.
    setUp_.Initialise();
    objectSelect_.Initialise();

    // The settings go straight into the dialog's controls, before the device reads "同期".
    settings_.Read(setUp_, *layout_, *vehicles_, layoutCheck_, recent_);
    RefreshRecentMenu();

    const platform::Status created = environment_.deviceFactory
                                         ? graphics_.Create(environment_.deviceFactory, setUp_.Model())
                                         : platform::Status(platform::Fail("no device factory"));
    if (!created) {
        std::cerr << "korvela: " << created.error() << "\n";
        dialogs_.ShowMessage({.text = std::string(kDeviceError),
                              .icon = platform::MessageIcon::Error,
                              .owner = ui::mainwin::kDialogId});
    }

    for (int slot = 1; slot <= 6; ++slot)
        vehicles_->SetHome(slot, static_cast<float>(4 * (slot - 1) - 10), 0.0f, 0.0f, 0.0f);

    gfx::Device* device = graphics_.Device();
    renderStates_.ApplyFixedStates(device, setUp_.Model());
    lighting_.ApplyLights(device, setUp_.Model());

    layout_->ScanObjectFolder();
    vehicles_->ScanFolder(Vehicle::Plane);
    vehicles_->ScanFolder(Vehicle::Helicopter);
    vehicles_->ScanFolder(Vehicle::Car);
    for (int slot = 1; slot <= 6; ++slot)
        vehicles_->ScanTrainFolder(slot);

    renderStates_.ApplyTextureFiltering(device);
    if (device) LoadKeyLabels(*device);

    mainDlg_.AllowRun();
    mainDlg_.ShowStartButton(true);
    viewers_->OpenMessages();
}

bool CSimulatorApp::PressStart()
{
    started_ = true;
    clock_.Start();
    mainDlg_.ShowStartButton(false);
    return mainDlg_.MayRun();
}

void CSimulatorApp::OnClose()
{
    if (closed_) return;
    closed_ = true;
    mainDlg_.RequestStop();
    // Nothing left unsaved, or the user chose not to keep it: no recovery next time.
    const HistoryState history = layout_->History();
    if (!history.changed || discardedAt_ == history.commands) recovery_.Discard();
    if (!environment_.saveSettingsOnClose) return;
    ++settingsWrites_;
    if (const platform::Status written = settings_.Write(setUp_, *layout_, *vehicles_, layoutCheck_, recent_);
        !written)
        std::cerr << "korvela: the settings could not be saved to " << settings_.Path() << ": "
                  << written.error() << "\n";
}

} // namespace app
