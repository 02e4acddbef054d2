#include "app/RecoveryKeeper.h"

#include "platform/Paths.h"
#include "ui/WindowTemplates.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>
#include <vector>

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
        path_ += options_.fileName.empty() ? layout::RecoveryFileName(static_cast<long>(::getpid()), SecondsNow())
                                           : options_.fileName;
    }
}

void RecoveryKeeper::SetAside(const std::string& path)
{
    const platform::Result<std::string> aside = layout::SetAsideRecoveryFile(path);
    if (!aside) {
        std::cerr << "korvela: " << aside.error() << "\n";
        return;
    }
    dialogs_.ShowMessage({.text = std::string(kSetAside) + *aside,
                          .icon = platform::MessageIcon::Warning,
                          .owner = ui::mainwin::kDialogId});
}

void RecoveryKeeper::Offer(LayoutPort& layout)
{
    if (!Enabled()) return;
    struct LeftBehind {
        std::string path;
        platform::LockedFile lock; // held while it is asked about: no other start takes it
        layout::RecoveryFile file;
    };
    std::vector<LeftBehind> found;
    std::error_code error;
    const std::string folder = platform::SplitPath(path_).folder;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::string path = folder + name;
        if (path == path_ || !layout::IsRecoveryFileName(name)) continue;
        platform::LockedFile::Opened opened = platform::LockedFile::Open(path);
        using Outcome = platform::LockedFile::Outcome;
        if (opened.outcome == Outcome::Missing || opened.outcome == Outcome::Busy) continue;
        if (opened.outcome != Outcome::Locked) {
            std::cerr << "korvela: " << opened.reason << "\n";
            SetAside(path);
            continue;
        }
        platform::Result<layout::RecoveryFile> read = layout::ReadRecoveryFile(opened.file, path);
        if (!read) {
            std::cerr << "korvela: " << read.error() << "\n";
            SetAside(path);
            continue;
        }
        read->mapPath = layout::ResolveRecoveredMapPath(read->mapPath, path);
        found.push_back({path, std::move(opened.file), *std::move(read)});
    }
    std::sort(found.begin(), found.end(), [](const LeftBehind& a, const LeftBehind& b) {
        return a.file.writtenAt != b.file.writtenAt ? a.file.writtenAt > b.file.writtenAt : a.path < b.path;
    });

    for (LeftBehind& left : found) {
        const layout::RecoveryFile& file = left.file;
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
            left.lock.RemoveIfSame(left.path);
            continue;
        }
        if (!layout.RestoreMap(file.mapPath, file.mapText)) {
            // The layout said why and stays as it was; what could not be brought back is kept
            // for another try.
            SetAside(left.path);
            continue;
        }
        // This session's from here: written to its own file at once, kept up to date, gone
        // after a save. The file left behind goes only once its edits are safe in the new one.
        changed_ = true;
        stamp_ = file.mapStamp;
        const HistoryState history = layout.History();
        Write(layout, history);
        if (owned_) left.lock.RemoveIfSame(left.path);
        return;
    }
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
    own_.RemoveIfSame(path_);
    own_.Close();
}

void RecoveryKeeper::Write(LayoutPort& layout, const HistoryState& history)
{
    // Absolute, so that a start from another working folder finds the map.
    const std::string& mapPath = layout.MapFilePath();
    layout::RecoveryFile file{.mapPath = mapPath.empty() ? mapPath : platform::FromWorkingFolder(mapPath),
                              .mapStamp = stamp_,
                              .writtenAt = SecondsNow(),
                              .mapText = layout.MapText()};
    commandsWritten_ = history.commands;
    since_ = std::chrono::steady_clock::now();
    passes_ = 0;
    platform::Result<platform::LockedFile> written = layout::WriteRecoveryFile(path_, file);
    if (!written) {
        // Said once per failure; the edits go on and the next write tries again.
        std::cerr << "korvela: the recovery file could not be written: " << written.error() << "\n";
        return;
    }
    // The new file was locked before it took the name; the old one's lock goes with it.
    own_ = std::move(*written);
    owned_ = true;
    ++writes_;
}

} // namespace app
