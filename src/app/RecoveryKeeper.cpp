#include "app/RecoveryKeeper.h"

#include "ui/WindowTemplates.h"

#include <ctime>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace app {

namespace {

std::int64_t SecondsNow()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

// "2026/12/07 16:44" in local time.
std::string LocalTime(std::int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&time, &local)) return std::to_string(seconds);
    char text[32];
    if (std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &local) == 0) return std::to_string(seconds);
    return text;
}

} // namespace

RecoveryKeeper::RecoveryKeeper(RecoveryOptions options, platform::DialogService& dialogs)
    : options_(std::move(options)), dialogs_(dialogs)
{
    if (!options_.folder.empty()) {
        path_ = options_.folder;
        if (!path_.ends_with('/')) path_ += '/';
        path_ += kFileName;
    }
}

void RecoveryKeeper::Offer(LayoutPort& layout)
{
    std::error_code error;
    if (!Enabled() || !std::filesystem::exists(path_, error)) return;
    const auto setAside = [this] {
        const platform::Result<std::string> aside = layout::SetAsideRecoveryFile(path_);
        if (!aside) {
            std::cerr << "korvela: " << aside.error() << "\n";
            return;
        }
        dialogs_.ShowMessage({.text = std::string(kSetAside) + *aside,
                              .icon = platform::MessageIcon::Warning,
                              .owner = ui::mainwin::kDialogId});
    };
    platform::Result<layout::RecoveryFile> read = layout::ReadRecoveryFile(path_);
    if (!read) {
        setAside();
        return;
    }
    const layout::RecoveryFile& file = *read;
    const bool newer = file.MapFileNewer();
    std::string text = std::string(kQuestion) + "\n\n";
    if (newer) text += std::string(kNewerNote) + "\n\n";
    text += std::string(kMapLine) + file.mapPath + "\n" + std::string(kTimeLine) + LocalTime(file.writtenAt);
    const platform::MessageAnswer answer =
        dialogs_.ShowMessage({.text = std::move(text),
                              .icon = platform::MessageIcon::Warning,
                              .buttons = platform::MessageButtons::YesNo,
                              .owner = ui::mainwin::kDialogId,
                              .labels = {std::string(kRestore), std::string(kDiscard)},
                              .secondIsDefault = newer});
    if (answer != platform::MessageAnswer::Yes) {
        std::filesystem::remove(path_, error);
        return;
    }
    if (!layout.RestoreMap(file.mapPath, file.mapText)) {
        // The layout said why; what could not be brought back stays for another try.
        setAside();
        return;
    }
    // The file is this session's now: kept up to date from here, gone after a save.
    owned_ = true;
    changed_ = true;
    stamp_ = file.mapStamp;
    commandsWritten_ = layout.History().commands;
    since_ = std::chrono::steady_clock::now();
    passes_ = 0;
}

void RecoveryKeeper::Keep(LayoutPort& layout)
{
    if (!Enabled()) return;
    const HistoryState history = layout.History();
    if (!history.changed) {
        changed_ = false;
        Discard();
        return;
    }
    if (!changed_) {
        // The first edit since a load or save: the map file as it stands is what it was then.
        changed_ = true;
        stamp_ = layout::StampOf(layout.MapFilePath());
        commandsWritten_ = history.commands - 1;
        since_ = std::chrono::steady_clock::now();
        passes_ = 0;
    }
    if (history.commands == commandsWritten_) return; // nothing new since the last write
    const bool manyEdits = history.commands - commandsWritten_ >= static_cast<std::uint64_t>(options_.commands);
    const bool late = options_.passes > 0 ? passes_ >= options_.passes
                                          : std::chrono::steady_clock::now() - since_ >= options_.interval;
    if (manyEdits || late) Write(layout, history);
}

void RecoveryKeeper::WriteNow(LayoutPort& layout)
{
    if (!Enabled()) return;
    const HistoryState history = layout.History();
    if (!history.changed) return;
    if (!changed_) stamp_ = layout::StampOf(layout.MapFilePath());
    changed_ = true;
    Write(layout, history);
}

void RecoveryKeeper::Discard()
{
    if (!owned_) return;
    owned_ = false;
    std::error_code error;
    std::filesystem::remove(path_, error);
}

void RecoveryKeeper::Write(LayoutPort& layout, const HistoryState& history)
{
    layout::RecoveryFile file{.mapPath = layout.MapFilePath(),
                              .mapStamp = stamp_,
                              .writtenAt = SecondsNow(),
                              .mapText = layout.MapText()};
    commandsWritten_ = history.commands;
    since_ = std::chrono::steady_clock::now();
    passes_ = 0;
    if (const platform::Status written = layout::WriteRecoveryFile(path_, file); !written) {
        // Said once per failure; the edits go on and the next write tries again.
        std::cerr << "korvela: the recovery file could not be written: " << written.error() << "\n";
        return;
    }
    owned_ = true;
    ++writes_;
}

} // namespace app
