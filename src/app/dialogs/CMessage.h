// One of the two rich-text viewers: the help viewer ("使い方") and the messages viewer
// ("メッセージ"). The viewer holds its text and whether it is shown; the window front end
// shows the document in a resizable window and follows the change notifications.
//
// Opening a viewer fetches its current text from the configured address, keeps it beside the
// executable ("使い方.rtf", "メッセージ.rtf") and shows that file. A failed, refused or
// non-RTF download changes nothing (neither the file nor the viewer) and is reported. With no
// address configured the text that ships with the program is shown.
#pragma once

#include "app/dialogs/OnlineServices.h"
#include "ui/RichText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace app {

enum class ViewerKind { Help, Messages };

class CMessage {
  public:
    // Called after the document or the visibility changed.
    using Observer = std::function<void(const CMessage&)>;

    // services must outlive the viewer.
    CMessage(ViewerKind kind, const OnlineServices& services);

    ViewerKind Kind() const { return kind_; }
    const std::string& Title() const { return title_; } // "使い方" or "メッセージ"
    std::string FilePath() const;                       // folder + "使い方.rtf" etc.

    bool IsVisible() const { return visible_; }
    void Show();
    void Hide();

    // The help command (menu "使い方", F1): hides the viewer when it is visible, otherwise opens
    // it. The F2 poll uses it for the messages viewer as well.
    void Toggle();

    // The messages command (menu "メッセージ", the end of start-up): fetches and shows the text;
    // a visible viewer is reloaded and stays visible. True when a new text was loaded.
    bool Open();

    const ui::RichTextDocument& Document() const { return document_; }
    // Grows by one each time the document is replaced, so a view can tell a reload.
    std::uint64_t DocumentRevision() const { return revision_; }

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // Message texts shown by the viewers.
    static constexpr std::string_view kHelpFileError = "ヘルプファイルが開けませんでした。";
    static constexpr std::string_view kMessageFileError = "メッセージファイルが開けませんでした。";
    static constexpr std::string_view kHelpDownloadError = "ヘルプファイルを取得できませんでした。";
    static constexpr std::string_view kMessageDownloadError = "メッセージファイルを取得できませんでした。";

    // The text control fills the client area less this margin on every side.
    static constexpr int kTextMargin = 8;

    // Largest text accepted from the server; a bigger one counts as a failed download.
    static constexpr std::size_t kMaxTextBytes = 8u << 20;

  private:
    bool LoadFromDownload();
    bool LoadBundled();
    void SetDocument(ui::RichTextDocument document);
    void Notify();

    ViewerKind kind_;
    const OnlineServices& services_;
    std::string title_;
    bool visible_ = false;
    ui::RichTextDocument document_;
    std::uint64_t revision_ = 0;
    Observer observer_;
};

} // namespace app
