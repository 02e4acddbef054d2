// The program's questions to the user as wx dialogs: message boxes, file and folder choosers,
// and opening an address in the desktop's program for it. Owners are given as dialog ids and
// mapped to the windows registered for them. The open choosers can all be cancelled at once,
// so that a close request never waits behind a box nobody answers.
#pragma once

#include "platform/DialogService.h"

#include <map>
#include <vector>
#include <wx/msgdlg.h>
#include <wx/weakref.h>
#include <wx/window.h>

class wxDialog;

namespace front {

class WxDialogService final : public platform::DialogService {
  public:
    // The window that owns boxes and choosers asked for with this dialog id; kNoOwner and unknown
    // ids go to the main window (the one registered for kNoOwner).
    void SetOwnerWindow(int owner, wxWindow* window);

    // Shows dialog modally and keeps it in the open list meanwhile (CancelAll ends it).
    int RunModal(wxDialog& dialog);
    // Dialogs of this service currently shown modally.
    int OpenCount() const { return static_cast<int>(open_.size()); }
    // Ends every open dialog as if the user cancelled it.
    void CancelAll();
    // The texts of the message boxes shown so far, for the run report.
    const std::vector<std::string>& MessageTexts() const { return messages_; }

  private:
    platform::MessageAnswer DoShowMessage(const platform::MessageRequest& request) override;
    std::optional<std::string> DoChooseFileToOpen(const platform::FileRequest& request) override;
    std::optional<std::string> DoChooseFileToSave(const platform::FileRequest& request) override;
    std::optional<std::string> DoChooseFolder(const platform::FolderRequest& request) override;
    bool DoOpenAddress(const std::string& address) override;
    bool DoCopyText(const std::string& text) override;

    wxWindow* Owner(int owner) const;
    std::optional<std::string> ChooseFile(const platform::FileRequest& request, bool save);

    std::map<int, wxWeakRef<wxWindow>> owners_;
    std::vector<wxDialog*> open_;
    std::vector<std::string> messages_;
};

} // namespace front
