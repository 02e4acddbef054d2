// A top-level window's place as the display server has it. A window manager places and moves
// windows on its own; the toolkit's idea of where a window stands lags behind it and may still
// hold the place the program asked for.
#pragma once

#include <wx/gdicmn.h>

class wxTopLevelWindow;

namespace front {

// Where the window's frame stands on the screen now.
wxPoint FramePosition(const wxTopLevelWindow& window);

// The rectangle of the window with the window manager's frame around it, as it stands now.
wxRect FrameRect(const wxTopLevelWindow& window);

// Whether the display server shows the window now (mapped, by its window manager where one runs).
bool FrameMapped(const wxTopLevelWindow& window);

// Asks for the window's frame at that place, even where the toolkit believes it stands there.
void MoveFrame(wxTopLevelWindow& window, wxPoint at);

} // namespace front
