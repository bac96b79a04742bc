// PLACEHOLDER until the Win32 preview attachment lands: every attach fails
// cleanly ("Failed to open window"), so the /p start ends with status 0.
// The functions below the attach are never reached with a null window.
#include "render/attach/attached_window.h"

struct AttachedWindow {};

AttachedWindow* AttachNativeWindow(NativeWindowHandle, const AttachedContextHints&) { return nullptr; }
void DetachNativeWindow(AttachedWindow*) {}
bool QueryNativeWindowSize(NativeWindowHandle, int*, int*) { return false; }
NativeWindowHandle DefaultRootWindowHandle() { return 0; }
void SetAttachedWindowCallbacks(AttachedWindow*, const WindowCallbacks&) {}
void MakeAttachedContextCurrent(AttachedWindow*) {}
void SwapAttachedBuffers(AttachedWindow*) {}
void PollAttachedEvents(AttachedWindow*) {}
bool AttachedWindowShouldClose(AttachedWindow*) { return true; }
bool IsHostWindowEnabled(AttachedWindow*) { return false; }
void* AttachedProcAddress(const char*) { return nullptr; }
void SetAttachedSwapInterval(AttachedWindow*, int) {}
void HideAttachedCursor(AttachedWindow*) {}
