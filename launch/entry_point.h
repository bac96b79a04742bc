#pragma once

// The platform-neutral body of the program: parses the command line, applies
// the single-instance guard, runs the About window or the renderer. Returns
// the process's exit status, which is always 0.
int RunScreensaver(const char* commandLine);
