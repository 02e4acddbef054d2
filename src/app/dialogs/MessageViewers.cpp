#include "app/dialogs/MessageViewers.h"

#include "app/dialogs/UpdateCheck.h"

namespace app {

MessageViewers::MessageViewers(const OnlineServices& services)
    : services_(services), help_(ViewerKind::Help, services), messages_(ViewerKind::Messages, services)
{
}

void MessageViewers::CheckForUpdate()
{
    RunUpdateCheck(services_);
}

} // namespace app
