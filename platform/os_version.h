#pragma once

#include <cstdint>

// Versions before 6.0 (Vista) get a fixed 800x600 full-screen window instead
// of the monitor's current mode.
constexpr int kFirstVersionWithMonitorMode = 60;

// The value of GetVersion as major * 10 + minor: the low byte of its low word
// is the major version, the high byte of the low word the minor one; the
// build number in the high word is not used. 5.1 gives 51, 6.2 gives 62.
int DecodeOsVersionNumber(uint32_t getVersionValue);

// The running system's version in that form (Windows only).
int OsVersionNumber();

// Whether the full-screen window takes the classic fixed size instead of the
// monitor's current mode: on Windows before 6.0 only. X11 always has a mode
// to ask.
bool SystemPredatesMonitorModes();
