#pragma once

// The platform-neutral body of the program: parses the command line, applies
// the single-instance guard, runs the About window or the renderer. Returns
// the process's exit status, which is always 0.
int RunScreensaver(const char* commandLine);

struct DaemonRun;
// The same renderer started by XScreenSaver: drawn into the window it names,
// unguarded, with failures reported on standard error (the daemon logs it;
// a dialog behind its grab would wait forever). Returns 0.
int RunForDaemon(const DaemonRun& run);
