#pragma once

#include "render/window_callbacks.h"

// The ways a window can be out of sight, as its platform reports them. Each
// is tracked on its own: a window restored from an icon may still be covered.
enum class Concealment : unsigned {
  Unmapped = 1,   // hidden, or inside a hidden or iconified window
  Iconified = 2,  // minimised
  Obscured = 4,   // mapped, but covered entirely by other windows
};

// The event side of a window, in the shape GLFW keeps inside itself: the
// platform code (GLFW's own windows, the X11 and Win32 host windows) reports
// what happened here, and only this calls the program's callbacks. So every
// window follows one set of input rules, and the null checks live once.
class WindowEvents {
 public:
  // `source` is what the callbacks receive as their window: ours, or null
  // for a host's window, which is no GLFW window.
  explicit WindowEvents(GLFWwindow* source = nullptr) : source_(source) {}

  void SetCallbacks(const WindowCallbacks& callbacks) { callbacks_ = callbacks; }
  // Whether key or button events are wanted at all: a host window's input is
  // asked for only then, and otherwise stays the host's.
  bool WantsInput() const { return callbacks_.key != nullptr || callbacks_.button != nullptr; }

  void InputKey(int key, int scancode, int action, int mods);
  void InputMouseButton(int button, int action, int mods);
  void InputCursorPos(double x, double y);
  void InputScroll(double x, double y);
  void InputWindowSize(int width, int height);
  void InputConcealment(Concealment how, bool concealed);

  // False while the platform reports the window out of sight in any way.
  bool IsSeen() const { return concealment_ == 0; }
  // The size last reported, or the one it was made at; for windows whose
  // size callback, if any, writes somewhere else.
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  GLFWwindow* source_;
  WindowCallbacks callbacks_;
  unsigned concealment_ = 0;
  int width_ = 0;
  int height_ = 0;
};
