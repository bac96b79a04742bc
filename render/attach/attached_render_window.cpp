#include "render/attach/attached_window.h"
#include "render/render_window.h"

namespace {

// GLFW 3.3 has no query for its own state. Its clock notes
// GLFW_NOT_INITIALIZED and answers 0 while the library is down: a window
// attached then would be drawn at time 0 for ever, and nothing else of the
// library would work for it either.
bool WindowingLibraryInitialized() {
  glfwGetError(nullptr);
  glfwGetTime();
  return glfwGetError(nullptr) != GLFW_NOT_INITIALIZED;
}

// The host's window, reached through the platform's attachment.
class AttachedRenderWindow : public RenderWindow {
 public:
  explicit AttachedRenderWindow(AttachedWindow* window) : window_(window) {}
  ~AttachedRenderWindow() override { DetachNativeWindow(window_); }

  void SetCallbacks(const WindowCallbacks& callbacks) override { SetAttachedWindowCallbacks(window_, callbacks); }
  // The host's window keeps its own icon.
  void SetIcon(const GLFWimage&) override {}
  GLADloadfunc ProcAddressLoader() const override { return reinterpret_cast<GLADloadfunc>(AttachedProcAddress); }
  void SetSwapInterval(int interval) override { SetAttachedSwapInterval(window_, interval); }
  void HideCursor() override { HideAttachedCursor(window_); }
  void SwapBuffers() override { SwapAttachedBuffers(window_); }
  void PollEvents() override { PollAttachedEvents(window_); }
  bool ShouldClose() const override { return AttachedWindowShouldClose(window_); }
  bool IsHostEnabled() const override { return IsHostWindowEnabled(window_); }

 protected:
  void MakeCurrent() override { MakeAttachedContextCurrent(window_); }

 private:
  AttachedWindow* window_;
};

}  // namespace

// The context RenderApp's window hints ask a created window for, as far as
// the platform offers it.
RenderWindow* AttachToHostWindow(NativeWindowHandle host, int samples) {
  if (!WindowingLibraryInitialized()) return nullptr;
  AttachedContextHints hints;
  hints.samples = samples;
  hints.stereo = false;
  hints.robustLoseContextOnReset = true;
  AttachedWindow* window = AttachNativeWindow(host, hints);
  return window ? new AttachedRenderWindow(window) : nullptr;
}
