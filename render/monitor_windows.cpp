#include "render/monitor_windows.h"

#include <algorithm>

#include "platform/gl.h"

namespace {

constexpr char kMonitorTitle[] = "Gloamery 3D Screensaver monitor";
constexpr double kAreaCheckPeriodSeconds = 1.0;

// Paints into whatever buffer the window shows, then puts back the context
// the caller had, so that the scene's window stays current for its frames.
void PaintBlack(GLFWwindow* window) {
  GLFWwindow* previous = glfwGetCurrentContext();
  glfwMakeContextCurrent(window);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glfwSwapBuffers(window);
  glfwMakeContextCurrent(previous);
}

// Made like the scene's own window, so that the contexts can share, and
// hidden until it is over its monitor.
GLFWwindow* CreateHiddenWindow(int width, int height, int samples, GLFWwindow* share) {
  ApplySceneWindowHints(samples);
  // Focus moves between our own windows as the pointer does; none of them
  // may vanish when it leaves, and none may take the focus or pull the
  // pointer to itself as it opens.
  glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
  glfwWindowHint(GLFW_CENTER_CURSOR, GLFW_FALSE);
  glfwWindowHint(GLFW_FOCUSED, GLFW_FALSE);
  glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
  GLFWwindow* window = glfwCreateWindow(width, height, kMonitorTitle, nullptr, share);
  glfwDefaultWindowHints();
  return window;
}

GLFWwindow* CreateMonitorWindow(GLFWmonitor* monitor, int samples, GLFWwindow* share) {
  const GLFWvidmode* mode = glfwGetVideoMode(monitor);
  if (mode == nullptr) return nullptr;
  GLFWwindow* window = CreateHiddenWindow(mode->width, mode->height, samples, share);
  if (window == nullptr) return nullptr;
  // A window manager learns that a window is full-screen only once it is
  // mapped; before that, GLFW's request goes nowhere.
  int x = 0, y = 0;
  glfwGetMonitorPos(monitor, &x, &y);
  glfwSetWindowPos(window, x, y);
  glfwShowWindow(window);
  MoveFullScreen(window, monitor);
  return window;
}

}  // namespace

MonitorWindows::MonitorWindows(GLFWwindow* scene, const WindowCallbacks& input, int samples)
    : scene_(scene), input_(input), samples_(samples), sceneMonitor_(glfwGetPrimaryMonitor()) {
  input_.size = nullptr;
  if (sceneMonitor_ != nullptr) {
    glfwSetMonitorUserPointer(sceneMonitor_, this);
    sceneArea_ = AreaOf(sceneMonitor_);
  }
  areasCheckedAt_ = glfwGetTime();
  Follow();
}

MonitorWindows::Area MonitorWindows::AreaOf(GLFWmonitor* monitor) {
  Area area;
  glfwGetMonitorPos(monitor, &area.x, &area.y);
  if (const GLFWvidmode* mode = glfwGetVideoMode(monitor)) {
    area.width = mode->width;
    area.height = mode->height;
  }
  return area;
}

bool MonitorWindows::AreasAreDue() {
  const double now = glfwGetTime();
  if (now - areasCheckedAt_ < kAreaCheckPeriodSeconds) return false;
  areasCheckedAt_ = now;
  return true;
}

MonitorWindows::~MonitorWindows() {
  for (Monitor& monitor : windows_) Close(monitor);
}

// A monitor is one we have seen while GLFW still lists it and it carries our
// mark: a monitor connected later may be given the address of one that went,
// but never its mark.
bool MonitorWindows::IsKnown(GLFWmonitor* monitor) const {
  int count = 0;
  GLFWmonitor** monitors = glfwGetMonitors(&count);
  return std::find(monitors, monitors + count, monitor) != monitors + count &&
         glfwGetMonitorUserPointer(monitor) == this;
}

GLFWmonitor* MonitorWindows::Follow() {
  if (watch_) watch_->Look();
  GLFWmonitor* primary = glfwGetPrimaryMonitor();
  for (Monitor& monitor : windows_)
    if (monitor.monitor == primary || !IsKnown(monitor.monitor)) Close(monitor);
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](const Monitor& m) { return !m.window; }),
                 windows_.end());

  // A monitor may keep its place in the list while it changes its mode or
  // its place on the desktop.
  if (AreasAreDue()) {
    for (Monitor& monitor : windows_) {
      const Area area = AreaOf(monitor.monitor);
      if (area == monitor.area) continue;
      monitor.area = area;
      monitor.window->MoveToMonitor(monitor.monitor);
      glfwMakeContextCurrent(scene_);
    }
    if (primary != nullptr && primary == sceneMonitor_ && AreaOf(primary) != sceneArea_) sceneMonitor_ = nullptr;
  }

  GLFWmonitor* moved = nullptr;
  if (primary != nullptr && (primary != sceneMonitor_ || !IsKnown(primary))) {
    glfwSetMonitorUserPointer(primary, this);
    sceneMonitor_ = primary;
    sceneArea_ = AreaOf(primary);
    moved = primary;
  }

  int count = 0;
  GLFWmonitor** monitors = glfwGetMonitors(&count);
  for (int i = 0; i < count; ++i) {
    GLFWmonitor* monitor = monitors[i];
    const bool open =
        std::any_of(windows_.begin(), windows_.end(), [monitor](const Monitor& m) { return m.monitor == monitor; });
    if (monitor != primary && !open) Open(monitor);
  }
  return moved;
}

// A monitor left without a window is no reason to end the run on the others.
void MonitorWindows::Open(GLFWmonitor* monitor) {
  glfwSetMonitorUserPointer(monitor, this);
  GLFWwindow* created = CreateMonitorWindow(monitor, samples_, scene_);
  if (created == nullptr) {
    glfwMakeContextCurrent(scene_);
    return;
  }
  // A full-screen window minimises itself when it loses the focus, and a
  // window manager may hand the focus to another of ours as it opens or as
  // the pointer crosses to it: the scene would vanish from its monitor.
  glfwSetWindowAttrib(scene_, GLFW_AUTO_ICONIFY, GLFW_FALSE);
  Monitor opened;
  opened.monitor = monitor;
  opened.area = AreaOf(monitor);
  opened.window = std::make_unique<GlfwWindow>(created);
  opened.window->SetCallbacks(input_);
  opened.window->HideCursor();
  if (black_) {
    glfwSetWindowRefreshCallback(created, PaintBlack);
    PaintBlack(created);
  } else {
    opened.window->MakeContextCurrent();
    ApplyFrameGlState();
    // Only the scene's own window waits for the display: one wait a frame.
    opened.window->SetSwapInterval(0);
    opened.frame = std::make_unique<WindowFrame>(*opened.window);
  }
  windows_.push_back(std::move(opened));
  glfwMakeContextCurrent(scene_);
  glfwFocusWindow(scene_);
}

// What the window's context made goes with the context current.
void MonitorWindows::DropFrame(Monitor& monitor) {
  if (!monitor.frame) return;
  monitor.window->MakeContextCurrent();
  monitor.frame.reset();
  glfwMakeContextCurrent(scene_);
}

// DropFrame leaves the scene's context current; destroying another window
// does not change it.
void MonitorWindows::Close(Monitor& monitor) {
  DropFrame(monitor);
  monitor.window.reset();
}

std::vector<FramePart> MonitorWindows::Parts() {
  std::vector<FramePart> parts;
  for (Monitor& monitor : windows_)
    if (monitor.frame)
      parts.push_back(FramePart{monitor.frame.get(),
                                FrameSize{monitor.window->events().width(), monitor.window->events().height()}});
  return parts;
}

void MonitorWindows::GoBlack() {
  black_ = true;
  for (Monitor& monitor : windows_) {
    DropFrame(monitor);
    GLFWwindow* window = monitor.window->handle();
    glfwSetWindowRefreshCallback(window, PaintBlack);
    PaintBlack(window);
  }
}
