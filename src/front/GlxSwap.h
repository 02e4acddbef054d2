// The few GLX calls the window surfaces need, kept apart so that the X11 headers (with their
// macros) stay out of every other file.
#pragma once

namespace front::glx {

// Sets the swap interval of the current drawable through whichever swap-control extension the
// display offers. False when none does or nothing is current.
bool SetSwapInterval(int interval);

// The drawable the calling thread's context is current on; 0 for none.
unsigned long CurrentDrawable();

} // namespace front::glx
