// The two rich-text viewers and the update check behind the shell's viewer commands.
#pragma once

#include "app/dialogs/CMessage.h"
#include "app/dialogs/OnlineServices.h"
#include "app/dialogs/ViewerPort.h"

namespace app {

class MessageViewers final : public ViewerPort {
  public:
    // services must outlive the viewers.
    explicit MessageViewers(const OnlineServices& services);

    void ToggleHelp() override { help_.Toggle(); }
    void OpenMessages() override { messages_.Open(); }
    bool MessagesVisible() const override { return messages_.IsVisible(); }
    void HideMessages() override { messages_.Hide(); }
    void CheckForUpdate() override;

    CMessage& Help() { return help_; }
    CMessage& Messages() { return messages_; }

  private:
    const OnlineServices& services_;
    CMessage help_;
    CMessage messages_;
};

} // namespace app
