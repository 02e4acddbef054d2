// Key names shown right-aligned in menu items ("F3", "Ctrl+Z") that are labels only: the function
// keys are read by the program's own key polling, and an accelerator would act on the same press
// a second time; the Ctrl keys have their accelerators in the main window's table.
#pragma once

#include <string_view>

class wxMenuItem;

namespace front {

// Shows keyLabel ("F1" to "F12", or "Ctrl+" and a capital letter) beside the item's text without
// binding the key. Does nothing for other labels or where the toolkit offers no such display.
void ShowKeyLabel(wxMenuItem& item, std::string_view keyLabel);

} // namespace front
