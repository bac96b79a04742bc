#include <windows.h>

#include "launch/entry_point.h"

// The system's screensaver host passes one command-line string without the
// program's name; the scan is the same one Linux runs over its joined argv.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  return RunScreensaver(commandLine != nullptr ? commandLine : "");
}
