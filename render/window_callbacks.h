#pragma once

// GLFW's types only: platform code that includes its own GL headers can use
// them without the loader's.
#ifndef GLFW_INCLUDE_NONE
#define GLFW_INCLUDE_NONE
#endif
#include <GLFW/glfw3.h>

// The program's callbacks, with GLFW's signatures, so that one set serves our
// own windows and a host's. A null callback asks for nothing.
struct WindowCallbacks {
  GLFWwindowsizefun size = nullptr;
  GLFWkeyfun key = nullptr;
  GLFWmousebuttonfun button = nullptr;
  GLFWcursorposfun cursorPos = nullptr;
  GLFWscrollfun scroll = nullptr;
};
