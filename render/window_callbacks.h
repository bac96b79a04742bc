#pragma once

// GLFW's types only: platform code that includes its own GL headers can use
// them without the loader's.
#ifndef GLFW_INCLUDE_NONE
#define GLFW_INCLUDE_NONE
#endif
#include <GLFW/glfw3.h>

// Where events go, with GLFW's signatures, so that one set serves our own
// window and a host's. The window argument is null for a host's window.
struct WindowCallbacks {
  GLFWwindowsizefun size = nullptr;
  GLFWkeyfun key = nullptr;
  GLFWmousebuttonfun button = nullptr;
  GLFWcursorposfun cursorPos = nullptr;
  GLFWscrollfun scroll = nullptr;
};

// The input callbacks (key, button, cursor, scroll) on a window of GLFW's own.
inline void SetGlfwInputCallbacks(GLFWwindow* window, const WindowCallbacks& callbacks) {
  glfwSetKeyCallback(window, callbacks.key);
  glfwSetMouseButtonCallback(window, callbacks.button);
  glfwSetCursorPosCallback(window, callbacks.cursorPos);
  glfwSetScrollCallback(window, callbacks.scroll);
}
