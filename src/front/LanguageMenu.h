// The "言語 / Language" submenu of the Help menu: the user's choice of language, kept in the
// settings file for the next start (the windows are built in one language for a whole run).
#pragma once

class wxFrame;
class wxMenuBar;

namespace platform {
class DialogService;
}

namespace front {

// Adds the submenu at the end of the menu holding helpItemId. frame receives its commands;
// dialogs shows the note that the choice takes effect at the next start.
void AddLanguageMenu(wxFrame& frame, wxMenuBar& bar, int helpItemId, platform::DialogService& dialogs);

} // namespace front
