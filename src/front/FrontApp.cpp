#include "front/FrontApp.h"

#include "app/CSimulatorApp.h"
#include "app/script/HeadlessOptions.h"
#include "front/MainFrame.h"
#include "front/MouseTracker.h"
#include "front/SignalWatch.h"
#include "front/ToolkitStyle.h"
#include "front/WxDialogService.h"
#include "front/WxText.h"
#include "platform/Http.h"
#include "platform/KeyMap.h"
#include "platform/KeyState.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Translation.h"
#include "platform/VirtualKeys.h"
#include "platform/WebAddress.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/textentry.h>
#include <wx/translation.h>

wxIMPLEMENT_APP_NO_MAIN(front::FrontApp);

namespace front {

namespace {

namespace vk = platform::vk;

// The command line's requests, kept for the end of start-up and the close.
WindowOptions gOptions;

void PrintAssertion(const wxString& file, int line, const wxString& function, const wxString& condition,
                    const wxString& message)
{
    std::cerr << "korvela: toolkit check failed at " << file << ":" << line << " in " << function << ": "
              << condition << " " << message << "\n";
}

// The toolkit's own texts (stock buttons, file choosers) and our catalogue, in the language
// main chose.
void UseLanguage(const platform::ProgramFolders& folders)
{
    const bool english = platform::CurrentLanguage() == "en";
    auto translations = std::make_unique<wxTranslations>();
    translations->SetLanguage(english ? wxLANGUAGE_ENGLISH : wxLANGUAGE_JAPANESE);
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(Wx(folders.localeFolder));
    translations->AddStdCatalog();
    // Our msgids are Japanese: told so, the toolkit loads the catalogue for English.
    if (english) translations->AddCatalog("korvela", wxLANGUAGE_JAPANESE);
    wxTranslations::Set(translations.release());
}

// Pause and fast-forward by key, from wherever the focus is, but "[" and "]" go to a box that
// takes typed text.
std::optional<MainFrame::ClockKey> ClockKeyOf(const wxKeyEvent& event, int code)
{
    if (code == vk::kPause) return MainFrame::ClockKey::Pause;
    const wxChar typed = event.GetUnicodeKey();
    if (typed != ']' && typed != '[') return std::nullopt;
    if (dynamic_cast<wxTextEntry*>(wxWindow::FindFocus())) return std::nullopt;
    return typed == ']' ? MainFrame::ClockKey::Faster : MainFrame::ClockKey::Slower;
}

} // namespace

FrontApp::FrontApp() = default;

FrontApp::~FrontApp() = default;

bool FrontApp::OnInit()
{
    // The toolkit's own complaints go to standard error, never into a box that stops the program.
    wxSetAssertHandler(PrintAssertion);
    log_ = std::make_unique<wxLogStderr>();
    wxLog::SetActiveTarget(log_.get());
    wxLog::SetLogLevel(wxLOG_Warning);
    NarrowToolButtons();

    keys_ = std::make_unique<platform::KeyState>();
    dialogs_ = std::make_unique<WxDialogService>();
    mouse_ = std::make_unique<MouseTracker>();
    signals_ = std::make_unique<SignalWatch>();

    app::AppEnvironment environment;
    try {
        const platform::ProgramFolders& folders = platform::ThisProgramFolders();
        // Default folders and relative settings paths count from the content folder.
        environment.executableFolder = folders.contentFolder;
        environment.executableName = folders.executableName;
        environment.executablePath = platform::ExecutablePath();
        environment.settingsFile = folders.settingsFile;
        environment.recovery.folder = folders.recoveryFolder;
        UseLanguage(folders);
    } catch (const std::exception& error) {
        std::cerr << "korvela: " << error.what() << "\n";
        return false;
    }
    // Downloads go only to an address the user configured.
    environment.web = platform::WebAddresses::FromEnvironment();
    if (environment.web) {
        http_ = std::make_unique<platform::CurlHttpClient>();
        environment.http = http_.get();
    }
    environment.deviceFactory = [this](const gfx::DeviceOptions& options) -> gfx::Created<gfx::Device> {
        if (!frame_) return {nullptr, "no window"};
        return frame_->CreateDevice(options);
    };
    // Tests shorten the minute between two autosaves.
    if (const char* seconds = std::getenv("KORVELA_AUTOSAVE_SECONDS")) {
        if (const auto value = app::ParseWholeNumber(seconds); value && *value > 0)
            environment.recovery.interval = std::chrono::seconds(*value);
    }
    environment.ports.mouse = mouse_.get();
    environment.startMap = gOptions.mapFile.value_or("");
    environment.requestClose = [this] {
        if (frame_) frame_->Close();
    };
    app_ = std::make_unique<app::CSimulatorApp>(std::move(environment), *dialogs_, *keys_);

    frame_ = new MainFrame({.app = *app_,
                            .dialogs = *dialogs_,
                            .mouse = *mouse_,
                            .keys = *keys_,
                            .signals = *signals_,
                            .reportFile = gOptions.reportFile});
    SetTopWindow(frame_);
    frame_->Show();
    // Start-up needs the window on screen: the device draws into it.
    frame_->StartWhenViewReady();
    return true;
}

int FrontApp::OnExit()
{
    frame_ = nullptr;
    app_.reset();
    wxLog::SetActiveTarget(nullptr);
    return wxApp::OnExit();
}

void FrontApp::OnKey(wxKeyEvent& event, bool down)
{
    // Keys count by their position on the keyboard, whichever window has the focus.
    const int code = platform::KeyMap::FromX11Keycode(static_cast<int>(event.GetRawKeyFlags()));
    if (code == 0) return;
    if (!down) {
        keys_->Release(code);
        return;
    }
    const bool fresh = keys_->Press(code);
    if (code == vk::kF1 && fresh && frame_) {
        MainFrame* frame = frame_;
        CallAfter([frame] { frame->HelpKey(); });
    }
    if (!fresh || !frame_) return;
    if (const std::optional<MainFrame::ClockKey> clockKey = ClockKeyOf(event, code)) {
        MainFrame* frame = frame_;
        CallAfter([frame, key = *clockKey] { frame->OnClockKey(key); });
    }
}

int FrontApp::FilterEvent(wxEvent& event)
{
    if (!keys_) return Event_Skip;
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_KEY_DOWN || type == wxEVT_KEY_UP) {
        auto& key = static_cast<wxKeyEvent&>(event);
        OnKey(key, type == wxEVT_KEY_DOWN);
        // The main window's shortcuts act from every window of the program.
        if (type == wxEVT_KEY_DOWN && frame_ && frame_->ForwardShortcut(key)) return Event_Processed;
    } else if (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK) {
        keys_->Press(vk::kLButton);
    } else if (type == wxEVT_LEFT_UP) {
        keys_->Release(vk::kLButton);
    } else if (type == wxEVT_RIGHT_DOWN || type == wxEVT_RIGHT_DCLICK) {
        keys_->Press(vk::kRButton);
    } else if (type == wxEVT_RIGHT_UP) {
        keys_->Release(vk::kRButton);
    } else if (type == wxEVT_MIDDLE_DOWN || type == wxEVT_MIDDLE_DCLICK) {
        keys_->Press(vk::kMButton);
    } else if (type == wxEVT_MIDDLE_UP) {
        keys_->Release(vk::kMButton);
    } else if (type == wxEVT_MENU_CLOSE) {
        // An open menu takes the keyboard: the release of the Alt that opened it, and of the
        // keys that chose the item, never reach us. Left down, Alt would turn the next drag.
        keys_->ReleaseAll();
    } else if (type == wxEVT_ACTIVATE_APP && !static_cast<wxActivateEvent&>(event).GetActive()) {
        // The releases will go to some other program: count every key up now.
        keys_->ReleaseAll();
    }
    return Event_Skip;
}

int RunWindowProgram(int argc, char** argv, const WindowOptions& options)
{
    gOptions = options;
    return wxEntry(argc, argv);
}

} // namespace front
