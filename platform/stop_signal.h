#pragma once

// SIGTERM and SIGINT ask a rendering run to stop: XScreenSaver ends its hacks
// with SIGTERM and never with anything harder, so the loop must notice it,
// tear down and leave with status 0 instead of dying with the signal.
void InstallStopSignalHandlers();

// True once one of those signals has arrived.
bool StopSignalReceived();
