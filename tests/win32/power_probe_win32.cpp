// Asks the screensaver's full-screen window, from another process as the
// system's power management would, to power the display off, and reports the
// priority class of the process that owns it:
//
//   power_probe.exe CAPTION TIMEOUT_MS
//
// Waits (up to TIMEOUT_MS) for a visible top-level window of that caption,
// sends it WM_SYSCOMMAND SC_SCREENSAVE, then SC_MONITORPOWER (2: off), and
// prints one JSON object: {"answered": 0|1, "priority_class": N}, where
// answered says that the window's thread answered both. Exit status 0 when
// found, 1 when the time ran out, 2 on bad arguments.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr LPARAM kDisplayOff = 2;

HWND WaitForWindow(const char* caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(nullptr, caption);
    if (window != nullptr && IsWindowVisible(window)) return window;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

DWORD PriorityClassOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return 0;
  const DWORD priority = GetPriorityClass(process);
  CloseHandle(process);
  return priority;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: power_probe.exe CAPTION TIMEOUT_MS\n");
    return 2;
  }
  HWND window = WaitForWindow(argv[1], static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
  if (window == nullptr) return 1;
  DWORD_PTR result = 0;
  const bool answered =
      SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0 &&
      SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_MONITORPOWER, kDisplayOff, SMTO_ABORTIFHUNG, 5000, &result) != 0;
  std::printf("{\"answered\": %d, \"priority_class\": %lu}\n", answered ? 1 : 0, PriorityClassOf(window));
  std::fflush(stdout);
  return 0;
}
