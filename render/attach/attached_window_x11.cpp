#include "render/attach/attached_window.h"

// Drawing into a host's window is not available yet: every attach fails, and
// the caller reports that no window could be opened.
AttachedWindow* AttachNativeWindow(NativeWindowHandle, const AttachedContextHints&) { return nullptr; }
void DetachNativeWindow(AttachedWindow*) {}
bool QueryNativeWindowSize(NativeWindowHandle, int*, int*) { return false; }
void SetAttachedWindowCallbacks(AttachedWindow*, const AttachedWindowCallbacks&) {}
void MakeAttachedContextCurrent(AttachedWindow*) {}
void SwapAttachedBuffers(AttachedWindow*) {}
void PollAttachedEvents(AttachedWindow*) {}
bool AttachedWindowShouldClose(AttachedWindow*) { return true; }
bool IsHostWindowEnabled(AttachedWindow*) { return false; }
void* AttachedProcAddress(const char*) { return nullptr; }
void SetAttachedSwapInterval(AttachedWindow*, int) {}
