// The tool bar's 16 × 16 pictures, drawn here rather than loaded, one simple glyph per button.
#pragma once

#include <wx/bitmap.h>

namespace front {

inline constexpr int kToolIconSize = 16;

// The picture of a tool-bar command (its original id); a plain square for an id without one.
wxBitmap ToolIcon(int commandId);

} // namespace front
