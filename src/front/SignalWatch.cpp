#include "front/SignalWatch.h"

#include <csignal>

namespace front {

namespace {

volatile std::sig_atomic_t gCloseRequested = 0;

void OnCloseSignal(int)
{
    gCloseRequested = 1;
}

} // namespace

SignalWatch::SignalWatch()
{
    gCloseRequested = 0;
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &previousTerm_);
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGHUP, &action, &previousHup_);
}

SignalWatch::~SignalWatch()
{
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGHUP, &previousHup_, nullptr);
}

bool SignalWatch::TakeRequest()
{
    if (!gCloseRequested) return false;
    gCloseRequested = 0;
    return true;
}

} // namespace front
