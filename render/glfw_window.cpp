#include "render/glfw_window.h"

namespace {

WindowEvents& EventsOf(GLFWwindow* window) {
  return static_cast<GlfwWindow*>(glfwGetWindowUserPointer(window))->events();
}

void OnSize(GLFWwindow* window, int width, int height) { EventsOf(window).InputWindowSize(width, height); }
void OnKey(GLFWwindow* window, int key, int scancode, int action, int mods) {
  EventsOf(window).InputKey(key, scancode, action, mods);
}
void OnButton(GLFWwindow* window, int button, int action, int mods) {
  EventsOf(window).InputMouseButton(button, action, mods);
}
void OnCursorPos(GLFWwindow* window, double x, double y) { EventsOf(window).InputCursorPos(x, y); }
void OnScroll(GLFWwindow* window, double x, double y) { EventsOf(window).InputScroll(x, y); }
void OnIconify(GLFWwindow* window, int iconified) {
  EventsOf(window).InputConcealment(Concealment::Iconified, iconified != 0);
}

}  // namespace

GlfwWindow::GlfwWindow(GLFWwindow* window) : RenderWindow(window), window_(window) {
  glfwSetWindowUserPointer(window_, this);
  glfwSetWindowSizeCallback(window_, OnSize);
  glfwSetKeyCallback(window_, OnKey);
  glfwSetMouseButtonCallback(window_, OnButton);
  glfwSetCursorPosCallback(window_, OnCursorPos);
  glfwSetScrollCallback(window_, OnScroll);
  glfwSetWindowIconifyCallback(window_, OnIconify);
  platform_ = AttachGlfwWindowPlatform(window_, events());
  int width = 0, height = 0;
  glfwGetWindowSize(window_, &width, &height);
  events().InputWindowSize(width, height);
}

GlfwWindow::~GlfwWindow() {
  platform_.reset();
  glfwDestroyWindow(window_);
}

void GlfwWindow::PollEvents() {
  glfwPollEvents();
  if (platform_) platform_->Poll();
}

void GlfwWindow::WaitEvents(double seconds) {
  glfwWaitEventsTimeout(seconds);
  if (platform_) platform_->Poll();
}

void GlfwWindow::MoveToMonitor(GLFWmonitor* monitor) { MoveFullScreen(window_, monitor); }

void MoveFullScreen(GLFWwindow* window, GLFWmonitor* monitor) {
  const GLFWvidmode* mode = glfwGetVideoMode(monitor);
  if (mode == nullptr) return;
  int x = 0, y = 0;
  glfwGetMonitorPos(monitor, &x, &y);
  glfwSetWindowMonitor(window, nullptr, x, y, mode->width, mode->height, 0);
  glfwSetWindowMonitor(window, monitor, x, y, mode->width, mode->height, mode->refreshRate);
}

void ApplySceneWindowHints(int samples) {
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
  glfwWindowHint(GLFW_SAMPLES, samples);
  glfwWindowHint(GLFW_STEREO, GLFW_FALSE);
}

std::unique_ptr<RenderWindow> CreateFullScreenWindow(int width, int height, const char* title) {
  GLFWwindow* window = glfwCreateWindow(width, height, title, glfwGetPrimaryMonitor(), nullptr);
  if (window == nullptr) return nullptr;
  return std::make_unique<GlfwWindow>(window);
}
