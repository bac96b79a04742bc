#include <windows.h>

#include "render/os_version.h"

int OsVersionNumber() { return DecodeOsVersionNumber(static_cast<uint32_t>(GetVersion())); }
