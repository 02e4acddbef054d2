// The help or messages viewer as a window: a resizable dialog with one read-only rich text
// box filling it with 8-pixel margins. It follows its CMessage: the document when it is
// replaced, the visibility when it is shown or hidden; the close box hides it.
#pragma once

#include "app/dialogs/CMessage.h"

#include <cstdint>
#include <wx/dialog.h>

class wxTextCtrl;

namespace front {

class ViewerWindow final : public wxDialog {
  public:
    ViewerWindow(wxWindow* parent, app::CMessage& viewer);
    ~ViewerWindow() override;

  private:
    void Follow();
    void ShowDocument(const ui::RichTextDocument& document);

    app::CMessage& viewer_;
    wxTextCtrl* text_ = nullptr;
    std::uint64_t shownRevision_ = 0;
};

} // namespace front
