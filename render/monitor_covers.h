#pragma once

#include <memory>
#include <vector>

#include "render/glfw_window.h"

// Black full-screen windows over every monitor but the primary one, so that a
// full-screen run leaves no desktop readable beside the scene. They take the
// same input as the scene's window and cost nothing per frame: each is painted
// once when it opens and again only when the system asks (an expose).
class MonitorCovers {
 public:
  // Covers each monitor other than `primary`'s. Only the key, button, cursor
  // and scroll callbacks are taken from `input`; a cover's size is no
  // viewport's business. The context current before the call is current after
  // it. GL entry points must already be loaded.
  void Open(GLFWwindow* primary, const WindowCallbacks& input);
  void Close() { windows_.clear(); }
  size_t Count() const { return windows_.size(); }

 private:
  std::vector<std::unique_ptr<GlfwWindow>> windows_;
};

// The monitors a full-screen run covers besides the primary one.
std::vector<GLFWmonitor*> SecondaryMonitors();
