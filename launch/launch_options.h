#pragma once

#include <cstdint>

#include "platform/native_window.h"

// How the screensaver host asked us to start.
enum class LaunchMode : int32_t {
  Preview = 0,     // draw inside the host's window named on the command line
  Fullscreen = 1,  // full-screen run on the primary monitor
  Config = 2,      // the About window; there are no settings
  Default = 3,     // no recognised switch: renders like Fullscreen, guarded like Preview
};

class LaunchOptions {
 public:
  // Scans the command-line text (without the program's name). Never fails:
  // any byte sequence up to its terminating zero gives some mode and handle.
  explicit LaunchOptions(const char* commandLine);

  // True unless another guarded instance (Preview or Default) is running. The
  // claim is held until this process ends, however it ends.
  bool IsFirstInstance();

  LaunchMode mode = LaunchMode::Default;
  NativeWindowHandle parentWindow = 0;
  // XScreenSaver's runs draw like Preview into the window it gives, but they
  // are never guarded (it starts one per monitor) and input is the daemon's.
  bool fromDaemon = false;
};

// The C library's atoi rules (leading white space, optional sign, digits up to
// the first non-digit, 0 without digits), except that a value beyond the range
// of int saturates at INT_MAX or INT_MIN instead of being undefined.
int ParseAtoi(const char* text);

// Set by the entry point for the life of the process; read by the main loop.
extern LaunchOptions* launchOptions;
