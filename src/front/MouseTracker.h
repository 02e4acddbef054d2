// Relative mouse movement per window, read the way the navigation reads a raw mouse device: the
// main view and the object preview each collect the movement made over them while their window
// is the active one, starting from the first read after all buttons were up, and hand it over
// (and forget it) on every read.
#pragma once

#include "app/MousePort.h"

#include <array>

namespace front {

enum class MouseView { Main, Preview };

class MouseTracker final : public app::MousePort {
  public:
    // The pointer moved to (x, y) in the view's own coordinates. active: the view's window is the
    // active window, so its movement counts.
    void Moved(MouseView view, int x, int y, bool active);
    void Wheel(MouseView view, int delta, bool active);
    // The pointer left the view or its window stopped being active: the next position starts
    // a new track instead of counting the jump.
    void LostTrack(MouseView view);

    app::MouseMotion ReadMain() override { return Read(MouseView::Main); }
    app::MouseMotion ReadPreview() override { return Read(MouseView::Preview); }
    void Unacquire() override;

  private:
    struct Reader {
        bool acquired = false;
        bool tracking = false;
        int lastX = 0;
        int lastY = 0;
        app::MouseMotion pending{};
    };

    app::MouseMotion Read(MouseView view);
    Reader& Of(MouseView view) { return readers_[view == MouseView::Main ? 0 : 1]; }

    std::array<Reader, 2> readers_{};
};

} // namespace front
