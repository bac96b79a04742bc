#include "render/render_window.h"

RenderWindow* RenderWindow::current_ = nullptr;

RenderWindow::~RenderWindow() {
  if (current_ == this) current_ = nullptr;
}

void RenderWindow::MakeContextCurrent() {
  current_ = this;
  MakeCurrent();
}

namespace {

// A window of our own, made and run by GLFW on every platform.
class GlfwRenderWindow : public RenderWindow {
 public:
  explicit GlfwRenderWindow(GLFWwindow* window) : window_(window) {}
  ~GlfwRenderWindow() override { glfwDestroyWindow(window_); }

  void SetCallbacks(const WindowCallbacks& callbacks) override {
    glfwSetWindowSizeCallback(window_, callbacks.size);
    SetGlfwInputCallbacks(window_, callbacks);
  }
  void SetIcon(const GLFWimage& image) override { glfwSetWindowIcon(window_, 1, &image); }
  GLADloadfunc ProcAddressLoader() const override { return glfwGetProcAddress; }
  void SetSwapInterval(int interval) override { glfwSwapInterval(interval); }
  void HideCursor() override { glfwSetInputMode(window_, GLFW_CURSOR, GLFW_CURSOR_HIDDEN); }
  void SwapBuffers() override { glfwSwapBuffers(window_); }
  void PollEvents() override { glfwPollEvents(); }
  bool ShouldClose() const override { return glfwWindowShouldClose(window_) != 0; }
  bool IsHostEnabled() const override { return true; }

 protected:
  void MakeCurrent() override { glfwMakeContextCurrent(window_); }

 private:
  GLFWwindow* window_;
};

}  // namespace

RenderWindow* CreateFullScreenWindow(int width, int height, const char* title) {
  GLFWwindow* window = glfwCreateWindow(width, height, title, glfwGetPrimaryMonitor(), nullptr);
  return window ? new GlfwRenderWindow(window) : nullptr;
}
