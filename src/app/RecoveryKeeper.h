// Autosave of unsaved layouts and their recovery at the next start. Each running program keeps
// its own recovery file in the folder and holds a lock on it while it runs. While the layout
// has unsaved changes it is written there now and then (after a number of edits, and after a
// while: wall time in the window, passes in a headless run); a save or a close with nothing
// left unsaved deletes it. At start-up the files of programs that are gone (their lock is free)
// are offered back, newest first; a running program's file is never touched. One that cannot
// be read is moved aside, never deleted.
#pragma once

#include "app/LayoutPort.h"
#include "layout/RecoveryFile.h"
#include "platform/DialogService.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

struct RecoveryOptions {
    // Where the recovery file goes (ends in '/'); empty: no autosave and no recovery.
    std::string folder{};
    // This program's file in it; empty: "recovery-PID-START.txt".
    std::string fileName{};
    // Written after this many edits (undo and redo included) since the last write...
    int commands = 20;
    // ...and after this long with changes not yet written, or, when passes is above 0, after
    // that many passes of the main loop instead.
    std::chrono::milliseconds interval{std::chrono::seconds(60)};
    int passes = 0;
};

class RecoveryKeeper {
  public:
    static constexpr std::string_view kQuestion = "前回、保存されていない変更がありました。復元しますか？";
    static constexpr std::string_view kMapLine = "マップ: ";
    static constexpr std::string_view kTimeLine = "時刻: ";
    static constexpr std::string_view kNewerNote = "マップファイルはこの変更の後に更新されています。";
    static constexpr std::string_view kRestore = "復元";
    static constexpr std::string_view kDiscard = "破棄";
    static constexpr std::string_view kSetAside = "復元ファイルを読み込めませんでした。次の名前で残しました: ";

    // dialogs must outlive the keeper.
    RecoveryKeeper(RecoveryOptions options, platform::DialogService& dialogs);

    bool Enabled() const { return !path_.empty(); }
    // This program's recovery file (empty when disabled).
    const std::string& Path() const { return path_; }

    // Start-up: each recovery file left behind is offered back, newest first, one question
    // each ("復元" restores it as an unsaved layout, "破棄" deletes it). When the map file
    // changed since, the question says so and "破棄" is the default. Once one is restored, the
    // others wait for the next start. A restore that fails leaves the layout as it was and the
    // file set aside, and says where.
    void Offer(LayoutPort& layout);
    // One pass of the main loop went by.
    void CountPass() { ++passes_; }
    // Writes the layout when it is due; deletes the file once nothing is left unsaved.
    void Keep(LayoutPort& layout);
    // Writes the layout now when it has unsaved changes (a close that cannot ask).
    void WriteNow(LayoutPort& layout);
    // The program closes with nothing to keep: the file this session wrote goes.
    void Discard();
    // How often the file was written this session.
    int Writes() const { return writes_; }

  private:
    void Write(LayoutPort& layout, const HistoryState& history);
    void SetAside(const std::string& path);

    RecoveryOptions options_;
    platform::DialogService& dialogs_;
    std::string path_;
    platform::LockedFile own_; // this program's file, locked while it exists
    bool owned_ = false;       // the file on disk is this session's
    bool changed_ = false; // the layout had unsaved changes when last looked at
    layout::MapFileStamp stamp_;
    std::uint64_t commandsWritten_ = 0;
    std::chrono::steady_clock::time_point since_{};
    int passes_ = 0;
    int writes_ = 0;
};

} // namespace app
