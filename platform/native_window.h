#pragma once

#include <cstdint>

// A native window: an X11 window id here, an HWND's value on Windows.
using NativeWindowHandle = uintptr_t;
