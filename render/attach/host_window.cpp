#include "render/attach/host_window.h"

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

}  // namespace

std::unique_ptr<RenderWindow> AttachToHostWindow(NativeWindowHandle host, int samples) {
  if (!WindowingLibraryInitialized()) return nullptr;
  AttachedContextHints hints;
  hints.samples = samples;
  hints.stereo = false;
  hints.robustLoseContextOnReset = true;
  return AttachNativeWindow(host, hints);
}
