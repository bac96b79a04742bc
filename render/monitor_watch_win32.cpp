#include <windows.h>

#include <vector>

#include "render/monitor_watch.h"

namespace {

constexpr ULONGLONG kLookPeriodMs = 1000;
constexpr WPARAM kBitsPerPixel = 32;

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
  return TRUE;
}

std::vector<RECT> CurrentMonitors() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

bool SameMonitors(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!EqualRect(&a[i], &b[i])) return false;
  return true;
}

// GLFW's hidden helper window reads the monitors again on WM_DISPLAYCHANGE;
// our own windows ignore it. All of them belong to this thread.
BOOL CALLBACK TellOfDisplayChange(HWND window, LPARAM size) {
  SendMessageW(window, WM_DISPLAYCHANGE, kBitsPerPixel, size);
  return TRUE;
}

class DisplayChangeWatch final : public MonitorWatch {
 public:
  DisplayChangeWatch() : seen_(CurrentMonitors()), lookedAt_(GetTickCount64()) {}

  void Look() override {
    const ULONGLONG now = GetTickCount64();
    if (now - lookedAt_ < kLookPeriodMs) return;
    lookedAt_ = now;
    std::vector<RECT> monitors = CurrentMonitors();
    if (SameMonitors(monitors, seen_)) return;
    seen_ = std::move(monitors);
    const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EnumThreadWindows(GetCurrentThreadId(), TellOfDisplayChange, size);
  }

 private:
  std::vector<RECT> seen_;
  ULONGLONG lookedAt_;
};

}  // namespace

std::unique_ptr<MonitorWatch> WatchMonitors() { return std::make_unique<DisplayChangeWatch>(); }
