// The few GLX calls the window surfaces need, kept apart so that the X11 headers (with their
// macros) stay out of every other file.
#pragma once

namespace front::glx {

// Sets the swap interval of the current drawable through whichever swap-control extension the
// display offers. False when none does or nothing is current.
bool SetSwapInterval(int interval);

// The drawable the calling thread's context is current on; 0 for none.
unsigned long CurrentDrawable();

// True when the X window is mapped and all its ancestors are: a window manager maps a top
// window some time after the program asked for it.
bool WindowViewable(unsigned long window);

} // namespace front::glx
