#include <windows.h>
#include <windowsx.h>

#include "platform/extension_list.h"
#include "render/attach/host_window.h"
#include "render/attach/host_window_platform.h"
// The system's GL 1.1 header for the types of the WGL extensions; this file
// calls no GL function through the loader.
#include <GL/gl.h>
#include <GL/wglext.h>

// Windows refuses to let one process replace the window procedure of
// another's window (ERROR_ACCESS_DENIED), so we draw, as the system's own
// screensaver framework does, into a child window of ours that covers the
// host's client area. The host's window keeps its size, style and procedure;
// detaching destroys only our child.
struct HostWindowState : HostWindowStateBase {
  using HostWindowStateBase::HostWindowStateBase;
  ~HostWindowState();

  HWND host = nullptr;
  HWND child = nullptr;
  HDC dc = nullptr;
  HGLRC context = nullptr;
  int width = 0;
  int height = 0;
  bool cursorHidden = false;
  bool closeRequested = false;
};

namespace {

constexpr wchar_t kWindowClass[] = L"GloameryPreview";

HostWindowState* WindowOf(HWND hwnd) {
  return reinterpret_cast<HostWindowState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void ReportKey(HostWindowState* window, LPARAM lParam, int action) {
  const int scancode = static_cast<int>((HIWORD(lParam) & (KF_EXTENDED | 0xff)));
  window->events.InputKey(GLFW_KEY_UNKNOWN, scancode, action, 0);
}

void ReportButton(HostWindowState* window, int button, int action) {
  window->events.InputMouseButton(button, action, 0);
}

int ExtraButton(WPARAM wParam) {
  return GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? GLFW_MOUSE_BUTTON_4 : GLFW_MOUSE_BUTTON_5;
}

void ReportScroll(HostWindowState* window, double x, double y) { window->events.InputScroll(x, y); }

// Handles what the program's callbacks want; returns false for everything
// the default procedure should see.
bool HandleInput(HostWindowState* window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: ReportKey(window, lParam, GLFW_PRESS); return true;
    case WM_KEYUP:
    case WM_SYSKEYUP: ReportKey(window, lParam, GLFW_RELEASE); return true;
    case WM_LBUTTONDOWN: ReportButton(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS); return true;
    case WM_LBUTTONUP: ReportButton(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE); return true;
    case WM_RBUTTONDOWN: ReportButton(window, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS); return true;
    case WM_RBUTTONUP: ReportButton(window, GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE); return true;
    case WM_MBUTTONDOWN: ReportButton(window, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_PRESS); return true;
    case WM_MBUTTONUP: ReportButton(window, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_RELEASE); return true;
    case WM_XBUTTONDOWN: ReportButton(window, ExtraButton(wParam), GLFW_PRESS); return true;
    case WM_XBUTTONUP: ReportButton(window, ExtraButton(wParam), GLFW_RELEASE); return true;
    case WM_MOUSEWHEEL: ReportScroll(window, 0.0, GET_WHEEL_DELTA_WPARAM(wParam) / double{WHEEL_DELTA}); return true;
    case WM_MOUSEHWHEEL: ReportScroll(window, -GET_WHEEL_DELTA_WPARAM(wParam) / double{WHEEL_DELTA}, 0.0); return true;
    case WM_MOUSEMOVE: window->events.InputCursorPos(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return true;
    default: return false;
  }
}

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  HostWindowState* window = WindowOf(hwnd);
  if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (HandleInput(window, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      SetCursor(window->cursorHidden ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
      return TRUE;
    // GL covers every pixel each frame.
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE: window->closeRequested = true; return 0;
    // The host destroys its children with itself; the loop then sees the
    // host gone.
    case WM_DESTROY: window->child = nullptr; break;
    default: break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterPreviewClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // One DC for the life of the window, as WGL expects of a GL window.
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = PreviewProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassExW(&windowClass) != 0) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND AsWindow(NativeWindowHandle handle) { return reinterpret_cast<HWND>(handle); }

bool ClientSize(HWND hwnd, int* width, int* height) {
  RECT rect{};
  if (!GetClientRect(hwnd, &rect)) return false;
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
  return true;
}

bool CreateChild(HostWindowState* window) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterPreviewClass(instance)) return false;
  window->child = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                  window->width, window->height, window->host, nullptr, instance, window);
  return window->child != nullptr;
}

// What a created window's format has: double-buffered RGBA with 8 bits a
// channel, 24 of depth and 8 of stencil.
PIXELFORMATDESCRIPTOR PlainFormat(const AttachedContextHints& hints) {
  PIXELFORMATDESCRIPTOR format{};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | (hints.stereo ? PFD_STEREO : 0);
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 32;
  format.cAlphaBits = 8;
  format.cDepthBits = 24;
  format.cStencilBits = 8;
  format.iLayerType = PFD_MAIN_PLANE;
  return format;
}

// The WGL extensions that choose a multisampled format and make a robust
// context. They are found only through a current context, so a throwaway
// window and context look them up, as GLFW does for its own windows; the
// functions stay valid for every context of the same driver.
struct WglExtensions {
  PFNWGLCHOOSEPIXELFORMATARBPROC choosePixelFormat = nullptr;
  PFNWGLCREATECONTEXTATTRIBSARBPROC createContextAttribs = nullptr;
  bool multisample = false;
  bool robustness = false;
};

void ReadWglExtensions(HDC dc, WglExtensions* found) {
  auto extensionsOf = reinterpret_cast<PFNWGLGETEXTENSIONSSTRINGARBPROC>(
      reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")));
  const char* list = extensionsOf != nullptr ? extensionsOf(dc) : nullptr;
  if (list == nullptr) return;
  if (ListsExtension(list, "WGL_ARB_pixel_format")) {
    found->choosePixelFormat = reinterpret_cast<PFNWGLCHOOSEPIXELFORMATARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("wglChoosePixelFormatARB")));
    found->multisample = ListsExtension(list, "WGL_ARB_multisample");
  }
  if (ListsExtension(list, "WGL_ARB_create_context")) {
    found->createContextAttribs = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("wglCreateContextAttribsARB")));
    found->robustness = ListsExtension(list, "WGL_ARB_create_context_robustness");
  }
}

WglExtensions LoadWglExtensions(HINSTANCE instance) {
  WglExtensions found;
  HWND helper = CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  if (helper == nullptr) return found;
  HDC dc = GetDC(helper);
  PIXELFORMATDESCRIPTOR format = PlainFormat(AttachedContextHints{});
  const int chosen = dc != nullptr ? ChoosePixelFormat(dc, &format) : 0;
  HGLRC context = chosen != 0 && SetPixelFormat(dc, chosen, &format) ? wglCreateContext(dc) : nullptr;
  if (context != nullptr && wglMakeCurrent(dc, context)) {
    ReadWglExtensions(dc, &found);
    wglMakeCurrent(nullptr, nullptr);
  }
  if (context != nullptr) wglDeleteContext(context);
  if (dc != nullptr) ReleaseDC(helper, dc);
  DestroyWindow(helper);
  return found;
}

// The created window's format with the sample count asked for, where the
// driver offers one with at least that many; 0 otherwise.
int ChooseMultisampledFormat(HDC dc, const WglExtensions& wgl, const AttachedContextHints& hints) {
  if (wgl.choosePixelFormat == nullptr || !wgl.multisample || hints.samples <= 0) return 0;
  const int attributes[] = {WGL_DRAW_TO_WINDOW_ARB,
                            TRUE,
                            WGL_SUPPORT_OPENGL_ARB,
                            TRUE,
                            WGL_DOUBLE_BUFFER_ARB,
                            TRUE,
                            WGL_PIXEL_TYPE_ARB,
                            WGL_TYPE_RGBA_ARB,
                            WGL_STEREO_ARB,
                            hints.stereo ? TRUE : FALSE,
                            WGL_RED_BITS_ARB,
                            8,
                            WGL_GREEN_BITS_ARB,
                            8,
                            WGL_BLUE_BITS_ARB,
                            8,
                            WGL_ALPHA_BITS_ARB,
                            8,
                            WGL_DEPTH_BITS_ARB,
                            24,
                            WGL_STENCIL_BITS_ARB,
                            8,
                            WGL_SAMPLE_BUFFERS_ARB,
                            1,
                            WGL_SAMPLES_ARB,
                            hints.samples,
                            0};
  int format = 0;
  UINT count = 0;
  if (!wgl.choosePixelFormat(dc, attributes, nullptr, 1, &format, &count) || count == 0) return 0;
  return format;
}

bool SetChildPixelFormat(HDC dc, const WglExtensions& wgl, const AttachedContextHints& hints) {
  PIXELFORMATDESCRIPTOR format = PlainFormat(hints);
  int chosen = ChooseMultisampledFormat(dc, wgl, hints);
  if (chosen != 0) {
    DescribePixelFormat(dc, chosen, sizeof format, &format);
  } else {
    chosen = ChoosePixelFormat(dc, &format);
  }
  return chosen != 0 && SetPixelFormat(dc, chosen, &format);
}

// No version asked for: version 1.0 gives the driver's compatibility context,
// which the GLSL 1.10 shaders and the VAO-less drawing need. A robust context
// where the driver makes one, else a plain one, as on X11.
HGLRC CreateContextWithHints(HDC dc, const WglExtensions& wgl, const AttachedContextHints& hints) {
  if (wgl.createContextAttribs != nullptr) {
    if (hints.robustLoseContextOnReset && wgl.robustness) {
      const int robust[] = {WGL_CONTEXT_FLAGS_ARB, WGL_CONTEXT_ROBUST_ACCESS_BIT_ARB,
                            WGL_CONTEXT_RESET_NOTIFICATION_STRATEGY_ARB, WGL_LOSE_CONTEXT_ON_RESET_ARB, 0};
      if (HGLRC context = wgl.createContextAttribs(dc, nullptr, robust)) return context;
    }
    const int plain[] = {0};
    if (HGLRC context = wgl.createContextAttribs(dc, nullptr, plain)) return context;
  }
  return wglCreateContext(dc);
}

bool CreateContext(HostWindowState* window, const AttachedContextHints& hints) {
  const WglExtensions wgl = LoadWglExtensions(GetModuleHandleW(nullptr));
  window->dc = GetDC(window->child);
  if (window->dc == nullptr || !SetChildPixelFormat(window->dc, wgl, hints)) return false;
  window->context = CreateContextWithHints(window->dc, wgl, hints);
  return window->context != nullptr && wglMakeCurrent(window->dc, window->context);
}

// We cannot hear the host's size messages without its procedure, so its
// client size is read once a frame.
void FollowHostSize(HostWindowState* window) {
  int width = 0, height = 0;
  if (!ClientSize(window->host, &width, &height)) return;
  if (width == window->width && height == window->height) return;
  window->width = width;
  window->height = height;
  if (window->child != nullptr) {
    SetWindowPos(window->child, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
  window->events.InputWindowSize(width, height);
}

// Some drivers answer a missing name with a small number instead of null.
bool IsRealProc(PROC proc) {
  const auto value = reinterpret_cast<intptr_t>(proc);
  return value != 0 && value != 1 && value != 2 && value != 3 && value != -1;
}

// OpenGL 1.1's own functions are plain exports of opengl32.dll, which we
// link against, so it is loaded for as long as we run.
GLFWglproc HostProcAddress(const char* name) {
  PROC proc = wglGetProcAddress(name);
  if (!IsRealProc(proc)) {
    HMODULE library = GetModuleHandleW(L"opengl32.dll");
    proc = library != nullptr ? GetProcAddress(library, name) : nullptr;
  }
  return reinterpret_cast<GLFWglproc>(proc);
}

bool PointerIsOver(HWND hwnd) {
  POINT pointer;
  return hwnd != nullptr && GetCursorPos(&pointer) && WindowFromPoint(pointer) == hwnd;
}

}  // namespace

HostWindowState::~HostWindowState() {
  if (context != nullptr) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
  }
  if (child != nullptr && IsWindow(child)) {
    if (dc != nullptr) ReleaseDC(child, dc);
    DestroyWindow(child);
  }
}

// A null, garbage or stale handle names no window; nothing is created then.
std::unique_ptr<RenderWindow> AttachNativeWindow(NativeWindowHandle host, const AttachedContextHints& hints) {
  HWND hostWindow = AsWindow(host);
  if (hostWindow == nullptr || !IsWindow(hostWindow)) return nullptr;
  auto attached = std::make_unique<HostWindow>();
  HostWindowState* window = &attached->state();
  window->host = hostWindow;
  if (!ClientSize(hostWindow, &window->width, &window->height) || !CreateChild(window) ||
      !CreateContext(window, hints)) {
    return nullptr;
  }
  return attached;
}

bool QueryNativeWindowSize(NativeWindowHandle host, int* width, int* height) {
  HWND hostWindow = AsWindow(host);
  return hostWindow != nullptr && IsWindow(hostWindow) && ClientSize(hostWindow, width, height);
}

// Only XScreenSaver asks for it.
NativeWindowHandle DefaultRootWindowHandle() { return 0; }

HostWindow::HostWindow() : state_(std::make_unique<HostWindowState>(events())) {}
HostWindow::~HostWindow() = default;

// Our child gets the host's input in its area without asking.
void HostWindow::ListenForInput() {}

void HostWindow::MakeCurrent() { wglMakeCurrent(state_->dc, state_->context); }

void HostWindow::SwapBuffers() {
  if (state_->child != nullptr) ::SwapBuffers(state_->dc);
}

void HostWindow::PollEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  FollowHostSize(state_.get());
  // A host hidden or minimised (its settings dialog closed to the taskbar)
  // shows nobody our frames; Windows tells a child of neither.
  events().InputConcealment(Concealment::Unmapped, !IsWindowVisible(state_->host));
  events().InputConcealment(Concealment::Iconified, IsIconic(GetAncestor(state_->host, GA_ROOT)) != 0);
}

void HostWindow::WaitEvents(double seconds) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(seconds * 1000), QS_ALLINPUT);
  PollEvents();
}

bool HostWindow::ShouldClose() const { return state_->closeRequested; }

bool HostWindow::IsHostEnabled() const {
  return state_->child != nullptr && IsWindow(state_->host) && IsWindowEnabled(state_->host);
}

GlProcLoader HostWindow::ProcAddressLoader() const { return HostProcAddress; }

void HostWindow::SetSwapInterval(int interval) {
  using SwapIntervalProc = BOOL(WINAPI*)(int);
  auto set = reinterpret_cast<SwapIntervalProc>(HostProcAddress("wglSwapIntervalEXT"));
  if (set != nullptr) set(interval);
}

// Windows asks for the cursor only when the pointer moves; a pointer already
// resting over the preview when it starts would otherwise stay visible.
void HostWindow::HideCursor() {
  state_->cursorHidden = true;
  if (PointerIsOver(state_->child)) SetCursor(nullptr);
}
