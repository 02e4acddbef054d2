// Where the modeless windows first appear: the object dialog next to the settings dialog
// without covering it, the messages viewer and the check window at the side of the main window
// rather than over the layout in its middle. Everything stays on the screen.
#pragma once

#include <vector>
#include <wx/gdicmn.h>

namespace front {

// Gap between windows placed side by side.
inline constexpr int kWindowGap = 8;

// The object dialog's rectangle: to the right of the settings dialog, as wide as its content
// asks (best) but narrower down to minimum where the screen ends, and reaching down to the
// settings dialog's bottom edge; where even the minimum does not fit beside it, below it; on a
// screen too small for either, against the screen's right edge from the settings' top down.
wxRect PlaceObjectDialog(const wxRect& setUp, wxSize best, wxSize minimum, const wxRect& screen);

// The viewer's rectangle: beside the main window's right edge where the screen has room for
// it, otherwise against the screen's right edge, below the main window's tool bar (top).
wxRect PlaceAtSide(const wxRect& main, int top, wxSize size, const wxRect& screen);

// A second window at the side: below the one already there (above), cut to the room down to the
// screen's bottom where that leaves it minHeight, otherwise to the left of that one (at the main
// window's left edge where there is room for it), and where even that leaves the screen, at the
// same height as that one.
wxRect PlaceBelowOrAtSide(const wxRect& main, const wxRect& above, wxSize size, int minHeight,
                          const wxRect& screen);

// A window that must leave another in sight (keep: the object dialog; empty for none): where side
// puts it when that leaves keep clear; else below the main window from its left edge (moved left
// of keep if need be), cut to the room down to the screen's bottom where that leaves it
// minHeight; else to the left of keep at side's height; where nothing is clear, at side.
wxRect PlaceClearOf(const wxRect& side, const wxRect& main, const wxRect& keep, int minHeight, const wxRect& screen);

// A window that must not cover the others at the side either: where it stands when it covers
// none of them; else below the first one it covers, from that one's left edge, cut to the room
// down to the screen's bottom where that leaves it minHeight, as long as it lies clear of all of
// them and of keep there; else where it stands.
wxRect PlaceBelowOthers(const wxRect& side, const std::vector<wxRect>& others, const wxRect& keep, int minHeight,
                        const wxRect& screen);

// The last resort of a window that covers one of taken wherever the rules above put it (want):
// the place on the screen nearest to want that is clear of all of taken, want's size or cut in
// height down to minHeight; the places tried line up with the screen's and taken's edges. Where
// the screen has none, want.
wxRect PlaceInFreeRoom(const wxRect& want, int minHeight, const std::vector<wxRect>& taken, const wxRect& screen);

} // namespace front
