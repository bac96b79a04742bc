#include <windows.h>

#include "platform/os_version.h"

int OsVersionNumber() { return DecodeOsVersionNumber(static_cast<uint32_t>(GetVersion())); }

bool SystemPredatesMonitorModes() { return OsVersionNumber() < kFirstVersionWithMonitorMode; }
