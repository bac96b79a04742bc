#include <windows.h>

#include "launch/single_instance.h"

// A named event lives exactly as long as the processes holding a handle to
// it, so the handle of the first instance is left open until it exits and
// the system closes it.
bool ClaimSingleInstance(const char* name) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name);
  if (event != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(event);
    return false;
  }
  return true;
}
