// The help and messages viewers and the update check as the shell uses them: the menu
// commands, the F2 key and the last step of start-up go through here.
#pragma once

namespace app {

class ViewerPort {
  public:
    virtual ~ViewerPort() = default;

    // Help command and help key: hides the help viewer when it is shown, otherwise opens it.
    virtual void ToggleHelp() = 0;
    // Messages command: loads the messages text and shows the viewer.
    virtual void OpenMessages() = 0;
    virtual bool MessagesVisible() const = 0;
    virtual void HideMessages() = 0;
    virtual void CheckForUpdate() = 0;
};

} // namespace app
