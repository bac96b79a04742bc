// GLFW's native handles; glfw3native.h needs glfw3.h before it.
#define GLFW_EXPOSE_NATIVE_X11
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>

#include "render/glfw_window_platform.h"

namespace {

// GLFW selects its own events on its connection, and a client's selection is
// its own: a second connection selects VisibilityChange on the same window
// without disturbing GLFW's. A compositing window manager never sends it, and
// then the window simply counts as seen.
class VisibilityWatch final : public GlfwWindowPlatform {
 public:
  VisibilityWatch(Display* display, WindowEvents& events) : display_(display), events_(events) {}
  ~VisibilityWatch() override { XCloseDisplay(display_); }

  void Poll() override {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type != VisibilityNotify) continue;
      events_.InputConcealment(Concealment::Obscured, event.xvisibility.state == VisibilityFullyObscured);
    }
  }

 private:
  Display* display_;
  WindowEvents& events_;
};

}  // namespace

std::unique_ptr<GlfwWindowPlatform> AttachGlfwWindowPlatform(GLFWwindow* window, WindowEvents& events) {
  const Window native = glfwGetX11Window(window);
  if (native == 0) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  XSelectInput(display, native, VisibilityChangeMask);
  XFlush(display);
  return std::make_unique<VisibilityWatch>(display, events);
}
