#pragma once

#include "launch/launch_options.h"

// What XScreenSaver asked for when it started us as one of its hacks. Its
// arguments are looked for only in argv; a start with none of them goes
// through the Windows-style scan as always.
struct DaemonRun {
  enum class Target {
    NamedWindow,  // `window` below: from --window-id or XSCREENSAVER_WINDOW
    RootWindow,   // --root with no XSCREENSAVER_WINDOW: the default screen's root
  };
  Target target = Target::NamedWindow;
  // 0 when the id given was no number at all; attaching to it then fails
  // like attaching to any other window that does not exist.
  NativeWindowHandle window = 0;
};

// Reads --root / -root and --window-id ID / -window-id ID (also
// --window-id=ID) from the arguments after the program's name. Returns false
// when none of them is there. A window id wins over --root wherever it
// stands; of several ids the last one counts. `windowVariable` is the value
// of XSCREENSAVER_WINDOW, or null when it is not set.
bool ParseDaemonArguments(int count, const char* const* arguments, const char* windowVariable, DaemonRun* run);

// A window id as XScreenSaver writes it: "0x" or "0X" and hex digits, or
// decimal digits, nothing else, at most 32 bits. False for anything else.
bool ParseWindowId(const char* text, NativeWindowHandle* window);
