#include <signal.h>

#include "platform/stop_signal.h"

namespace {

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

}  // namespace

void InstallStopSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // Restarting keeps Xlib's and the pacer's waits undisturbed; the flag is
  // read once per frame anyway.
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool StopSignalReceived() { return stopRequested != 0; }
