// What the help and messages viewers and the update check need from outside: the folder the
// text files live in, the running executable, the dialog service for messages and for handing
// an address to the desktop, and the HTTP client with the configured addresses. Without
// addresses (no base configured) nothing is ever downloaded.
#pragma once

#include "platform/DialogService.h"
#include "platform/Http.h"
#include "platform/WebAddress.h"

#include <optional>
#include <string>

namespace app {

struct OnlineServices {
    std::string executableFolder; // ends with '/'; "使い方.rtf" and "メッセージ.rtf" live here
    std::string executablePath;   // the running executable, compared by the update check
    platform::DialogService& dialogs;
    platform::HttpClient* http = nullptr;        // nullptr: never download
    std::optional<platform::WebAddresses> web{}; // nothing: no base address configured
};

} // namespace app
