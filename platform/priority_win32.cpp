#include <windows.h>

#include "platform/priority.h"

void LowerRenderingPriority() { SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS); }
