#include <windows.h>
// shellapi.h needs the types windows.h declares.
#include <shellapi.h>

#include "about/open_address.h"

// The shell's "open" verb on the address: whatever the user chose for web
// addresses. The thread's active window (the one whose button was just
// pressed) owns any message the shell shows on the way.
bool OpenAddressInBrowser(const char* address) {
  HINSTANCE result = ShellExecuteA(GetActiveWindow(), "open", address, nullptr, nullptr, SW_SHOWNORMAL);
  // Values above 32 mean success; smaller ones are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
}
