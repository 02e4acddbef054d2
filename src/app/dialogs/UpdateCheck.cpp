#include "app/dialogs/UpdateCheck.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace app {
namespace {

void Say(platform::DialogService& dialogs, std::string_view text, platform::MessageIcon icon,
         const std::string& reason = {})
{
    platform::MessageRequest request;
    request.text = std::string(text);
    if (!reason.empty()) request.text += "\n" + reason;
    request.icon = icon;
    dialogs.ShowMessage(request);
}

enum class Comparison { Same, Different, Unreadable };

// Compares the whole file at path with bytes: the lengths first, then every byte.
Comparison CompareFile(const std::string& path, std::string_view bytes)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file) return Comparison::Unreadable;
    std::error_code error;
    const auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    if (error) return Comparison::Unreadable;
    if (size != bytes.size()) return Comparison::Different;

    std::array<char, 65536> buffer{};
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        const std::size_t want = std::min(buffer.size(), bytes.size() - offset);
        file.read(buffer.data(), static_cast<std::streamsize>(want));
        if (static_cast<std::size_t>(file.gcount()) != want) return Comparison::Unreadable;
        if (bytes.compare(offset, want, std::string_view(buffer.data(), want)) != 0) {
            return Comparison::Different;
        }
        offset += want;
    }
    return Comparison::Same;
}

} // namespace

UpdateCheckOutcome RunUpdateCheck(const OnlineServices& services)
{
    using platform::MessageIcon;
    platform::DialogService& dialogs = services.dialogs;
    if (!services.web || services.http == nullptr) {
        Say(dialogs, kUpdateNotConfigured, MessageIcon::Information);
        return UpdateCheckOutcome::NotConfigured;
    }

    const std::string address = services.web->newest.Unscramble();
    auto newest = services.http->Get(address, kMaxExecutableBytes);
    // A failed or empty download says nothing about the newest version.
    if (!newest || newest->empty()) {
        Say(dialogs, kUpdateCheckFailed, MessageIcon::Error, newest ? std::string() : newest.error());
        return UpdateCheckOutcome::CheckFailed;
    }

    switch (CompareFile(services.executablePath, *newest)) {
    case Comparison::Unreadable:
        Say(dialogs, kLocalExecutableError, MessageIcon::Error);
        return UpdateCheckOutcome::LocalUnreadable;
    case Comparison::Same:
        Say(dialogs, kUpToDate, MessageIcon::None);
        return UpdateCheckOutcome::UpToDate;
    case Comparison::Different:
        break;
    }

    Say(dialogs, kNewerFound, MessageIcon::None);
    // The desktop's handler for web addresses fetches the file. When there is none, the user
    // is given the address to fetch it by hand.
    if (!dialogs.OpenAddress(address)) {
        Say(dialogs, kDownloadStartError, MessageIcon::Error, address);
        return UpdateCheckOutcome::OpenFailed;
    }
    Say(dialogs, kReplaceAfterExit, MessageIcon::None);
    return UpdateCheckOutcome::NewerFound;
}

} // namespace app
