#include "app/dialogs/CMessage.h"

#include "app/dialogs/HelpTexts.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"
#include "platform/Translation.h"
#include "ui/RichTextReader.h"

#include <vector>

namespace app {
namespace {

void ShowError(platform::DialogService& dialogs, std::string_view text, const std::string& reason)
{
    platform::MessageRequest request;
    request.text = std::string(text);
    if (!reason.empty()) request.text += "\n" + reason;
    request.icon = platform::MessageIcon::Error;
    dialogs.ShowMessage(request);
}

} // namespace

CMessage::CMessage(ViewerKind kind, const OnlineServices& services)
    : kind_(kind), services_(services), title_(kind == ViewerKind::Help ? "使い方" : "メッセージ")
{
}

std::string CMessage::FilePath() const
{
    return services_.executableFolder +
           std::string(kind_ == ViewerKind::Help ? kHelpFileName : kMessagesFileName);
}

void CMessage::Show()
{
    if (visible_) return;
    visible_ = true;
    Notify();
}

void CMessage::Hide()
{
    if (!visible_) return;
    visible_ = false;
    Notify();
}

void CMessage::Toggle()
{
    if (visible_) {
        Hide();
    } else {
        Open();
    }
}

bool CMessage::Open()
{
    // Without a configured address nothing is downloaded: the shipped text is shown.
    const bool online = services_.web.has_value() && services_.http != nullptr;
    if (!(online ? LoadFromDownload() : LoadBundled())) return false;
    Show();
    return true;
}

bool CMessage::LoadFromDownload()
{
    const bool help = kind_ == ViewerKind::Help;
    const std::string_view downloadError = help ? kHelpDownloadError : kMessageDownloadError;
    const std::string_view fileError = help ? kHelpFileError : kMessageFileError;

    const platform::ScrambledAddress& address = help ? services_.web->help : services_.web->messages;
    auto body = services_.http->Get(address.Unscramble(), kMaxTextBytes);
    if (!body) {
        ShowError(services_.dialogs, downloadError, body.error());
        return false;
    }
    // An error page or a cut-off answer must not replace the last good copy.
    if (!ui::LooksLikeRtf(*body)) {
        ShowError(services_.dialogs, downloadError, "");
        return false;
    }
    const std::string path = FilePath();
    if (auto written = platform::ReplaceFile(path, *body); !written) {
        ShowError(services_.dialogs, fileError, written.error());
        return false;
    }
    auto bytes = platform::ReadFileBytes(path, platform::kMaxRtfBytes);
    if (!bytes) {
        ShowError(services_.dialogs, fileError, bytes.error());
        return false;
    }
    auto document = ui::ReadRtf(*bytes);
    if (!document) {
        ShowError(services_.dialogs, fileError, "");
        return false;
    }
    SetDocument(std::move(*document));
    return true;
}

bool CMessage::LoadBundled()
{
    // In another language than the source, its own copy from the folder named after it; then
    // the copy beside the executable (it may have been edited or updated), then the one built
    // into the program.
    std::vector<std::string> paths;
    if (const std::string language = platform::CurrentLanguage(); language != platform::kSourceLanguage) {
        paths.push_back(services_.executableFolder + language + "/" +
                        std::string(kind_ == ViewerKind::Help ? kHelpFileName : kMessagesFileName));
    }
    paths.push_back(FilePath());
    for (const std::string& path : paths) {
        auto bytes = platform::ReadFileBytes(path, platform::kMaxRtfBytes);
        if (!bytes) continue;
        if (auto document = ui::ReadRtf(*bytes)) {
            SetDocument(std::move(*document));
            return true;
        }
    }
    const std::string_view builtIn = kind_ == ViewerKind::Help ? BundledHelpRtf() : BundledMessagesRtf();
    SetDocument(ui::ReadRtf(builtIn).value_or(ui::RichTextDocument{}));
    return true;
}

void CMessage::SetDocument(ui::RichTextDocument document)
{
    document_ = std::move(document);
    ++revision_;
    Notify();
}

void CMessage::Notify()
{
    if (observer_) observer_(*this);
}

} // namespace app
