#pragma once

#include "launch/launch_options.h"
#include "render/gl.h"
#include "render/window_callbacks.h"

// The window the scene is drawn into: our own full-screen window, or the
// host's preview window that we attach to. Deleting it destroys our own
// window, or detaches from the host's and leaves it as it was found.
class RenderWindow {
 public:
  virtual ~RenderWindow();

  // A null callback asks for nothing: where the key and button callbacks are
  // null, a host keeps its input to itself.
  virtual void SetCallbacks(const WindowCallbacks& callbacks) = 0;
  void MakeContextCurrent();
  // Ignored where the window is not ours to decorate.
  virtual void SetIcon(const GLFWimage& image) = 0;
  virtual GLADloadfunc ProcAddressLoader() const = 0;
  virtual void SetSwapInterval(int interval) = 0;
  // Over the drawing area only, and only while the window is ours to draw in.
  virtual void HideCursor() = 0;
  virtual void SwapBuffers() = 0;
  virtual void PollEvents() = 0;
  virtual bool ShouldClose() const = 0;
  // False once a host has disabled or destroyed its window; always true for
  // a window of our own.
  virtual bool IsHostEnabled() const = 0;

  // The window whose context was made current last, as GLFW's swap interval
  // applies to the current context.
  static RenderWindow* Current() { return current_; }

 protected:
  virtual void MakeCurrent() = 0;

 private:
  static RenderWindow* current_;
};

// Both return null when no window results; the caller tells the user.
RenderWindow* CreateFullScreenWindow(int width, int height, const char* title);
// Fails, as window creation would, while the windowing library is not
// initialised. `samples` is the multisampling hint's value.
RenderWindow* AttachToHostWindow(NativeWindowHandle host, int samples);
