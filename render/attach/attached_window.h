#pragma once

#include "launch/launch_options.h"
#include "render/window_callbacks.h"

// A window of another client (the screensaver host's preview window) that we
// draw into. It offers what the main loop needs of a GLFW window: a current
// context, swaps, event polling with the program's callbacks, a close flag,
// and a detach that leaves the host's window as it was found.
struct AttachedWindow;

// The context hints of a created window, as far as the platform offers them.
struct AttachedContextHints {
  int samples = 0;
  bool stereo = false;
  bool robustLoseContextOnReset = false;
};

// Returns null when the handle names no usable window or no context can be
// made on it; nothing is left behind in that case.
AttachedWindow* AttachNativeWindow(NativeWindowHandle host, const AttachedContextHints& hints);
void DetachNativeWindow(AttachedWindow* window);

// The host's window size as the platform reports it, or false when the handle
// names no window.
bool QueryNativeWindowSize(NativeWindowHandle host, int* width, int* height);

// The root window of the default screen, or 0 without a display: where
// XScreenSaver is asked to draw when it names no window.
NativeWindowHandle DefaultRootWindowHandle();

// The key and button callbacks are optional: where they are null, input is
// not even asked for, and the host keeps it to itself. The callbacks get a
// null window; keys come as GLFW_KEY_UNKNOWN with the platform's scan code.
void SetAttachedWindowCallbacks(AttachedWindow* window, const WindowCallbacks& callbacks);
void MakeAttachedContextCurrent(AttachedWindow* window);
void SwapAttachedBuffers(AttachedWindow* window);
void PollAttachedEvents(AttachedWindow* window);
bool AttachedWindowShouldClose(AttachedWindow* window);
// False once the host's window is gone (X11 has no disabled state).
bool IsHostWindowEnabled(AttachedWindow* window);
// For the GL loader.
void* AttachedProcAddress(const char* name);
void SetAttachedSwapInterval(AttachedWindow* window, int interval);
// Hides the pointer over the drawing area; whatever this changes is undone
// on detach.
void HideAttachedCursor(AttachedWindow* window);
