// GLFW's native handles; glfw3native.h needs glfw3.h before it.
#define GLFW_EXPOSE_NATIVE_WIN32
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>

#include "render/glfw_window_platform.h"

namespace {

constexpr wchar_t kProperty[] = L"GloameryScreensaverProcedure";

// GLFW's procedure answers WM_SYSCOMMAND SC_MONITORPOWER with 0 while its
// window is full screen ("disallow screen saver and screen blanking"): right
// for a game, wrong for a screensaver, whose whole point is to let the
// display power off. This procedure sits in front of GLFW's and hands that
// request to the default procedure; the system's own screensaver request
// stays refused, since we are the screensaver. Windows has no event for a
// window covered by others, so there is nothing to poll.
class ScreensaverProcedure final : public GlfwWindowPlatform {
 public:
  explicit ScreensaverProcedure(HWND window) : window_(window) {
    SetPropW(window_, kProperty, this);
    library_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Handle)));
  }
  ~ScreensaverProcedure() override {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(library_));
    RemovePropW(window_, kProperty);
  }

  void Poll() override {}

 private:
  static LRESULT CALLBACK Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ScreensaverProcedure*>(GetPropW(window, kProperty));
    if (message == WM_SYSCOMMAND) {
      switch (wParam & 0xFFF0) {
        case SC_MONITORPOWER: return DefWindowProcW(window, message, wParam, lParam);
        case SC_SCREENSAVE: return 0;
        default: break;
      }
    }
    return CallWindowProcW(self->library_, window, message, wParam, lParam);
  }

  HWND window_;
  WNDPROC library_ = nullptr;
};

}  // namespace

std::unique_ptr<GlfwWindowPlatform> AttachGlfwWindowPlatform(GLFWwindow* window, WindowEvents&) {
  HWND native = glfwGetWin32Window(window);
  if (native == nullptr) return nullptr;
  return std::make_unique<ScreensaverProcedure>(native);
}
