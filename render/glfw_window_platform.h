#pragma once

#include <memory>

#include "render/window_events.h"

// What a window of ours needs of the platform that GLFW 3.3 does not give
// it: on X11 the news of being covered entirely (VisibilityNotify, which
// GLFW does not select); on Windows the system's requests to power the
// display off passed on, where GLFW's full-screen window refuses them.
class GlfwWindowPlatform {
 public:
  virtual ~GlfwWindowPlatform() = default;
  // Reports what the platform told since the last call; after GLFW's polling.
  virtual void Poll() = 0;
};

// Null where the platform has nothing to add or cannot add it; the window
// works as GLFW made it then. Destroyed before the window.
std::unique_ptr<GlfwWindowPlatform> AttachGlfwWindowPlatform(GLFWwindow* window, WindowEvents& events);
