#pragma once

#include <memory>

#include "render/glfw_window_platform.h"
#include "render/render_window.h"

// A window of our own, made and run by GLFW on every platform. GLFW is its
// platform layer: GLFW's callbacks report into events(), as a host window's
// platform code does.
class GlfwWindow final : public RenderWindow {
 public:
  // Takes `window` over; it is destroyed with this.
  explicit GlfwWindow(GLFWwindow* window);
  ~GlfwWindow() override;

  void SetIcon(const GLFWimage& image) override { glfwSetWindowIcon(window_, 1, &image); }
  GlProcLoader ProcAddressLoader() const override { return glfwGetProcAddress; }
  void SetSwapInterval(int interval) override { glfwSwapInterval(interval); }
  void HideCursor() override { glfwSetInputMode(window_, GLFW_CURSOR, GLFW_CURSOR_HIDDEN); }
  void SwapBuffers() override { glfwSwapBuffers(window_); }
  void PollEvents() override;
  void WaitEvents(double seconds) override;
  bool ShouldClose() const override { return glfwWindowShouldClose(window_) != 0; }
  bool IsHostEnabled() const override { return true; }
  void MoveToMonitor(GLFWmonitor* monitor) override;

  GLFWwindow* handle() const { return window_; }

 protected:
  void MakeCurrent() override { glfwMakeContextCurrent(window_); }
  // GLFW reports input whether or not anyone listens.
  void ListenForInput() override {}

 private:
  GLFWwindow* window_;
  std::unique_ptr<GlfwWindowPlatform> platform_;
};

// The context and framebuffer the scene's windows are made with, so that the
// windows on other monitors can share the scene's objects with its own.
void ApplySceneWindowHints(int samples);

// Where no window manager can be told which monitor a full-screen window
// belongs on, it fills the monitor the window already is on: a window is
// made full-screen on `monitor` by being moved over it first.
void MoveFullScreen(GLFWwindow* window, GLFWmonitor* monitor);
