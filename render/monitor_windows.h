#pragma once

#include <memory>
#include <vector>

#include "render/glfw_window.h"
#include "render/monitor_watch.h"
#include "render/window_frame.h"

// The scene's windows on every monitor but the primary one, which has the
// scene's own window: each full-screen at its monitor's size, its context
// sharing the scene's program, buffers and textures. They follow the
// monitors as they come and go, and stay ours to end the run from (any key
// or button). Where the renderer cannot afford the scene on every monitor
// they go black instead, which costs nothing per frame: each is painted once
// and again only when the system asks (an expose).
// The scene's context is current before and after every call.
class MonitorWindows {
 public:
  // `scene` is the scene's own window; only the key, button, cursor and
  // scroll callbacks are taken from `input`, since no other window's size is
  // the viewport's business. `samples` are the scene window's.
  MonitorWindows(GLFWwindow* scene, const WindowCallbacks& input, int samples);
  ~MonitorWindows();
  MonitorWindows(const MonitorWindows&) = delete;
  MonitorWindows& operator=(const MonitorWindows&) = delete;

  // Opens a window on each monitor that has none, closes those whose
  // monitor is gone or has become the primary one, and puts a window whose
  // monitor has moved or changed its mode over it again. Returns the primary
  // monitor where the scene's window is no longer over it (the caller moves
  // the window there), else null.
  GLFWmonitor* Follow();

  // The windows that draw the scene this frame; none once black.
  std::vector<FramePart> Parts();
  // From now on, for the rest of the run, every other monitor is black.
  void GoBlack();
  bool IsBlack() const { return black_; }
  size_t Count() const { return windows_.size(); }

 private:
  // Where a monitor is on the desktop, and how large its mode.
  struct Area {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Area& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
    bool operator!=(const Area& o) const { return !(*this == o); }
  };
  static Area AreaOf(GLFWmonitor* monitor);

  struct Monitor {
    GLFWmonitor* monitor = nullptr;
    // Where the window was put.
    Area area;
    std::unique_ptr<GlfwWindow> window;
    // Null while black.
    std::unique_ptr<WindowFrame> frame;
  };

  bool IsKnown(GLFWmonitor* monitor) const;
  bool AreasAreDue();
  void Open(GLFWmonitor* monitor);
  void Close(Monitor& monitor);
  void DropFrame(Monitor& monitor);

  GLFWwindow* scene_;
  WindowCallbacks input_;
  int samples_;
  GLFWmonitor* sceneMonitor_;
  Area sceneArea_;
  // Asking a monitor's mode is a round trip to the display server on X11,
  // and nothing announces a mode change: asked once a second.
  double areasCheckedAt_ = 0;
  bool black_ = false;
  std::vector<Monitor> windows_;
  std::unique_ptr<MonitorWatch> watch_ = WatchMonitors();
};
