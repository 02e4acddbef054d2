// The update check (menu "最新版のチェック"): compares the running executable with the newest
// one at the configured address and, when they differ, hands the download to the desktop's
// default handler. Only a complete, successful download is compared; anything else is
// reported as a failed check and nothing is opened.
#pragma once

#include "app/dialogs/OnlineServices.h"

#include <cstddef>
#include <string_view>

namespace app {

enum class UpdateCheckOutcome {
    NotConfigured,   // no base address: nothing downloaded
    CheckFailed,     // the download failed, was refused, empty or cut short
    LocalUnreadable, // the running executable could not be read
    UpToDate,        // same length and bytes
    NewerFound,      // different: the download was handed to the desktop
    OpenFailed,      // different, but the download could not be handed to the desktop
};

// Runs the check and shows its messages through services.dialogs.
UpdateCheckOutcome RunUpdateCheck(const OnlineServices& services);

inline constexpr std::string_view kUpdateNotConfigured =
    "最新版を確認するアドレスが設定されていません。\n"
    "環境変数 KORVELA_WEB_BASE に配布元のアドレスを設定して下さい。";
inline constexpr std::string_view kUpdateCheckFailed = "最新版の確認ができませんでした。";
inline constexpr std::string_view kLocalExecutableError = "ローカル実行ファイルが開けませんでした。";
inline constexpr std::string_view kUpToDate = "この実行ファイルは最新版です。";
inline constexpr std::string_view kNewerFound =
    "最新版の実行ファイルが見つかりました。\nダウンロードを開始します。";
inline constexpr std::string_view kReplaceAfterExit =
    "このソフトを終了させた後、\nダウンロードしたファイルで実行ファイルを置き換えて下さい。";
inline constexpr std::string_view kDownloadStartError = "ダウンロードを開始できませんでした。";

// Largest executable accepted from the server.
inline constexpr std::size_t kMaxExecutableBytes = std::size_t{1} << 30;

} // namespace app
