#pragma once

#include <memory>

// GLFW learns of monitors that come and go from the system's own news: RandR
// events on X11, WM_DISPLAYCHANGE on Windows. Wine keeps the monitor list a
// running program reads in step with the X server's, but sends that program
// no WM_DISPLAYCHANGE, so GLFW there would keep the monitors the run began
// with. Where that can happen, the watch looks at the system's list itself
// and passes a change on to GLFW as Windows does.
class MonitorWatch {
 public:
  virtual ~MonitorWatch() = default;
  // Cheap enough to call every frame: the list is read at most once a
  // second. A change reaches GLFW's monitor list before this returns.
  virtual void Look() = 0;
};

// Null where GLFW hears of every change itself.
std::unique_ptr<MonitorWatch> WatchMonitors();
