// Relative mouse movement per window, as the navigation of the main loop reads it while the
// right or middle button is held: the main view and the object preview each report only the
// movement made while their own window was active. The window front end supplies it; without a
// window nothing moves.
#pragma once

namespace app {

struct MouseMotion {
    int dx = 0;
    int dy = 0;
    int wheel = 0;
};

class MousePort {
  public:
    virtual ~MousePort() = default;

    // Movement since the last read (reading starts the device, as acquiring did).
    virtual MouseMotion ReadMain() { return {}; }
    virtual MouseMotion ReadPreview() { return {}; }
    // All buttons are up: both readers stop until the next read.
    virtual void Unacquire() {}
};

} // namespace app
