// SIGTERM, SIGINT and SIGHUP (the terminal closed, a logout) as close requests. The handler only sets a flag; the event loop polls it
// and closes the main window the way its close box does.
#pragma once

#include <signal.h>

namespace front {

class SignalWatch {
  public:
    // Installs the handlers; the destructor puts the previous ones back.
    SignalWatch();
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // True once for each time a close signal arrived since the last call.
    bool TakeRequest();

  private:
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
    struct sigaction previousHup_ {};
};

} // namespace front
