#include "platform/os_version.h"

bool SystemPredatesMonitorModes() { return false; }
