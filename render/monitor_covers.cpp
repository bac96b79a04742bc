#include "render/monitor_covers.h"

#include "platform/gl.h"

namespace {

constexpr char kCoverTitle[] = "Gloamery 3D Screensaver cover";

// Paints into whatever buffer the cover shows, then puts back the context the
// caller had, so that the scene's window stays current for its frames.
void PaintBlack(GLFWwindow* cover) {
  GLFWwindow* previous = glfwGetCurrentContext();
  glfwMakeContextCurrent(cover);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  // The library keeps no record of it, so the context says which it got.
  GLboolean doubleBuffered = GL_FALSE;
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
  if (doubleBuffered)
    glfwSwapBuffers(cover);
  else
    glFinish();
  glfwMakeContextCurrent(previous);
}

// Single-buffered where the driver offers it: then painting needs no buffer
// swap, and nothing that counts presented frames mistakes a cover for one.
GLFWwindow* CreateHiddenWindow(int width, int height) {
  glfwDefaultWindowHints();
  // Focus moves between our own windows as the pointer does; none of them
  // may vanish when it leaves, and none may take the focus or pull the
  // pointer to itself as it opens.
  glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
  glfwWindowHint(GLFW_CENTER_CURSOR, GLFW_FALSE);
  glfwWindowHint(GLFW_FOCUSED, GLFW_FALSE);
  glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_FALSE);
  GLFWwindow* window = glfwCreateWindow(width, height, kCoverTitle, nullptr, nullptr);
  if (window == nullptr) {
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    window = glfwCreateWindow(width, height, kCoverTitle, nullptr, nullptr);
  }
  glfwDefaultWindowHints();
  return window;
}

// A window manager that cannot be told which monitor a full-screen window
// belongs on fills the monitor the window already is on; a window created
// full-screen at once would start on the primary one and stay there. So the
// cover opens as a plain window over its monitor and goes full-screen there.
GLFWwindow* CreateCover(GLFWmonitor* monitor) {
  const GLFWvidmode* mode = glfwGetVideoMode(monitor);
  if (mode == nullptr) return nullptr;
  GLFWwindow* cover = CreateHiddenWindow(mode->width, mode->height);
  if (cover == nullptr) return nullptr;
  int x = 0, y = 0;
  glfwGetMonitorPos(monitor, &x, &y);
  glfwSetWindowPos(cover, x, y);
  glfwShowWindow(cover);
  glfwSetWindowMonitor(cover, monitor, x, y, mode->width, mode->height, mode->refreshRate);
  return cover;
}

}  // namespace

std::vector<GLFWmonitor*> SecondaryMonitors() {
  std::vector<GLFWmonitor*> secondary;
  GLFWmonitor* primary = glfwGetPrimaryMonitor();
  int count = 0;
  GLFWmonitor** monitors = glfwGetMonitors(&count);
  for (int i = 0; i < count; ++i)
    if (monitors[i] != primary) secondary.push_back(monitors[i]);
  return secondary;
}

void MonitorCovers::Open(GLFWwindow* primary, const WindowCallbacks& input) {
  std::vector<GLFWmonitor*> monitors = SecondaryMonitors();
  if (monitors.empty()) return;
  // A full-screen window minimises itself when it loses the focus, and a
  // window manager may hand the focus to a cover as it opens or as the
  // pointer crosses to it: the scene would vanish from the primary monitor.
  glfwSetWindowAttrib(primary, GLFW_AUTO_ICONIFY, GLFW_FALSE);
  WindowCallbacks inputOnly = input;
  inputOnly.size = nullptr;
  for (GLFWmonitor* monitor : monitors) {
    GLFWwindow* created = CreateCover(monitor);
    // A monitor left uncovered is no reason to end the run on the others.
    if (created == nullptr) continue;
    auto cover = std::make_unique<GlfwWindow>(created);
    cover->SetCallbacks(inputOnly);
    cover->HideCursor();
    glfwSetWindowRefreshCallback(created, PaintBlack);
    PaintBlack(created);
    windows_.push_back(std::move(cover));
  }
  glfwFocusWindow(primary);
}
