#pragma once

#include <wx/gdicmn.h>

class wxTopLevelWindow;

namespace front {

// Narrows the tool bar's buttons to their icons plus a small border, so that every tool and the
// Start button fit a window of the default width whatever padding the desktop's theme gives
// tool buttons. Call once, after the toolkit is initialised and before the first window.
void NarrowToolButtons();

// Where the window's frame stands on the screen now, asked of the display server: the toolkit's
// own idea lags behind a window manager's placing and may still hold the place it asked for.
wxPoint FramePosition(const wxTopLevelWindow& window);

// Asks for the window's frame at that place, even where the toolkit believes it stands there.
void MoveFrame(wxTopLevelWindow& window, wxPoint at);

} // namespace front
