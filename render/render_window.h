#pragma once

#include <memory>

#include "platform/native_window.h"
#include "render/window_events.h"

// Resolves a GL entry point by name, as GLFW's and the loader's own do (the
// same signature), without the loader's header: platform files include
// their system's GL headers, which must not meet it.
using GlProcLoader = GLFWglproc (*)(const char* name);

// The one contract of a window the scene is drawn into: our own (made by
// GLFW) or a host's that we attach to (the X11 and Win32 files). Each
// platform implements the calls below and reports what happens to the window
// through events(), never to the program's callbacks directly. Destroying it
// destroys our own window, or detaches from the host's and leaves it as it
// was found.
class RenderWindow {
 public:
  virtual ~RenderWindow();
  RenderWindow(const RenderWindow&) = delete;
  RenderWindow& operator=(const RenderWindow&) = delete;

  // Where the key and button callbacks are null, a host keeps its input to
  // itself.
  void SetCallbacks(const WindowCallbacks& callbacks);
  void MakeContextCurrent();
  // Ignored where the window is not ours to decorate.
  virtual void SetIcon(const GLFWimage& image) = 0;
  virtual GlProcLoader ProcAddressLoader() const = 0;
  virtual void SetSwapInterval(int interval) = 0;
  // Over the drawing area only, and only while the window is ours to draw in.
  virtual void HideCursor() = 0;
  virtual void SwapBuffers() = 0;
  virtual void PollEvents() = 0;
  // Waits until an event arrives or `seconds` have passed, then handles what
  // came, as PollEvents does. The bound is what lets a paused run notice a
  // stop signal or a host that went away without telling us.
  virtual void WaitEvents(double seconds) = 0;
  virtual bool ShouldClose() const = 0;
  // False once a host has disabled or destroyed its window; always true for
  // a window of our own.
  virtual bool IsHostEnabled() const = 0;
  // Puts a full-screen window of our own over `monitor`, at its size; a
  // host's window stays where its host keeps it.
  virtual void MoveToMonitor(GLFWmonitor* /*monitor*/) {}

  // The event API, for the platform code of this window.
  WindowEvents& events() { return events_; }

  // The window whose context was made current last, as GLFW's swap interval
  // applies to the current context.
  static RenderWindow* Current() { return current_; }

 protected:
  explicit RenderWindow(GLFWwindow* eventSource = nullptr) : events_(eventSource) {}
  virtual void MakeCurrent() = 0;
  // Asks the platform for key and button events; called when the program
  // sets callbacks that want them.
  virtual void ListenForInput() = 0;

 private:
  WindowEvents events_;
  static RenderWindow* current_;
};

// A full-screen window of our own on the primary monitor, or null when none
// results; the caller tells the user.
std::unique_ptr<RenderWindow> CreateFullScreenWindow(int width, int height, const char* title);
