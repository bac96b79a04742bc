#pragma once

#include <memory>

#include "platform/native_window.h"
#include "render/render_window.h"

// A window of another client (the screensaver host's preview window, or
// XScreenSaver's) that we draw into. Each platform file implements the
// RenderWindow contract for it and reports its events through events(); the
// callbacks get a null window, and keys come as GLFW_KEY_UNKNOWN with the
// platform's scan code.

// The context hints of a created window, as far as the platform offers them.
struct AttachedContextHints {
  int samples = 0;
  bool stereo = false;
  bool robustLoseContextOnReset = false;
};

// The platform's attach. Null when the handle names no usable window or no
// context can be made on it; nothing is left behind in that case.
std::unique_ptr<RenderWindow> AttachNativeWindow(NativeWindowHandle host, const AttachedContextHints& hints);

// The same with the context the program's window hints ask a created window
// for (`samples` is the multisampling hint's value). Fails, as window
// creation would, while the windowing library is not initialised.
std::unique_ptr<RenderWindow> AttachToHostWindow(NativeWindowHandle host, int samples);

// The host's window size as the platform reports it, or false when the handle
// names no window.
bool QueryNativeWindowSize(NativeWindowHandle host, int* width, int* height);

// The root window of the default screen, or 0 without a display: where
// XScreenSaver is asked to draw when it names no window.
NativeWindowHandle DefaultRootWindowHandle();
