#include "platform/stop_signal.h"

// Windows asks a screensaver to stop through its window (input, a close
// message), never with a signal; there is nothing to install.
void InstallStopSignalHandlers() {}

bool StopSignalReceived() { return false; }
