#pragma once

namespace front {

// Narrows the tool bar's buttons to their icons plus a small border, so that every tool and the
// Start button fit a window of the default width whatever padding the desktop's theme gives
// tool buttons. Call once, after the toolkit is initialised and before the first window.
void NarrowToolButtons();

} // namespace front
