#include <GL/glx.h>
#include <GL/glxext.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <initializer_list>
#include <string_view>

#include "platform/extension_list.h"
#include "render/attach/host_window.h"
#include "render/attach/host_window_platform.h"

// We draw with a connection of our own, so the host's requests and ours never
// share a queue, and everything we selected or created goes away with it if
// the process ends without detaching. Destroying it leaves the host as it was
// found: our child and our context gone, our selection on it back to what it
// was.
struct HostWindowState : HostWindowStateBase {
  using HostWindowStateBase::HostWindowStateBase;
  ~HostWindowState();

  Display* display = nullptr;
  Window host = 0;
  // Our own window inside the host's, made only when no GL configuration
  // matches the host's visual; it follows the host's size.
  Window child = 0;
  Colormap colormap = 0;
  // An input-only window of our own over the host's, carrying the invisible
  // pointer where we draw into the host's own window: X cannot read a
  // window's cursor back, so the host's is never touched.
  Window pointerCover = 0;
  Cursor invisibleCursor = 0;
  bool hostIsRoot = false;
  GLXContext context = nullptr;
  // What this connection had selected on the host before, put back on detach.
  long originalMask = 0;
  long structureMask = 0;
  int width = 0;
  int height = 0;
  bool hostGone = false;
  // The handler that was in place before we attached, put back on detach.
  int (*previousErrorHandler)(Display*, XErrorEvent*) = nullptr;

  Window Drawable() const { return child != 0 ? child : host; }
};

namespace {

// Xlib hands errors to one process-wide handler without any context, so the
// trap below notes the first error of its scope here.
int trappedError = Success;

// Mesa's GLX sends requests of its own on our connection while a frame is
// drawn (GetGeometry of the drawable), outside any trap; an error there means
// the drawable is gone just as surely as one on our own requests.
bool errorOutsideTraps = false;

int NoteError(Display*, XErrorEvent* event) {
  if (trappedError == Success) trappedError = event->error_code;
  return 0;
}

// While one is alive, X errors on any connection are noted instead of
// reaching Xlib's default handler, which would print and exit(1). Scoped,
// because other code in the process (GLFW) installs handlers of its own.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : display_(display) {
    previous_ = XSetErrorHandler(NoteError);
    // Whatever was still on its way belongs to no scope of ours.
    XSync(display_, False);
    if (trappedError != Success) errorOutsideTraps = true;
    trappedError = Success;
  }
  ~ErrorTrap() {
    XSync(display_, False);
    trappedError = Success;
    XSetErrorHandler(previous_);
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Waits for the server's answer to everything sent so far; the first error
  // of the scope, or Success.
  int Sync() {
    XSync(display_, False);
    return trappedError;
  }

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

// X resource ids use 29 bits; anything wider would be cut to some other
// window's id on the wire.
bool CanBeWindowId(NativeWindowHandle handle) { return handle != 0 && (handle >> 29) == 0; }

// Empty where the server answers none.
std::string_view GlxExtensions(Display* display, int screen) {
  const char* list = glXQueryExtensionsString(display, screen);
  return list != nullptr ? list : "";
}

int ConfigAttribute(Display* display, GLXFBConfig config, int attribute) {
  int value = 0;
  if (glXGetFBConfigAttrib(display, config, attribute, &value) != Success) return 0;
  return value;
}

// Lower is better: the sample count asked for, else the most below it, else
// the fewest above it.
int SampleDistance(int samples, int wanted) {
  if (samples == wanted) return 0;
  if (samples < wanted) return wanted - samples;
  return 1000 + samples;
}

// The best double-buffered RGBA window configuration; with `visual` set, only
// those whose visual is that one.
GLXFBConfig ChooseConfig(Display* display, int screen, const AttachedContextHints& hints, VisualID visual) {
  const int attributes[] = {GLX_X_RENDERABLE,
                            True,
                            GLX_DRAWABLE_TYPE,
                            GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE,
                            GLX_RGBA_BIT,
                            GLX_DOUBLEBUFFER,
                            True,
                            GLX_STEREO,
                            hints.stereo ? True : False,
                            GLX_RED_SIZE,
                            1,
                            GLX_GREEN_SIZE,
                            1,
                            GLX_BLUE_SIZE,
                            1,
                            None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(display, screen, attributes, &count);
  if (configs == nullptr) return nullptr;
  GLXFBConfig best = nullptr;
  int bestDistance = 0;
  for (int i = 0; i < count; ++i) {
    int id = ConfigAttribute(display, configs[i], GLX_VISUAL_ID);
    if (id == 0 || (visual != 0 && static_cast<VisualID>(id) != visual)) continue;
    int distance = SampleDistance(ConfigAttribute(display, configs[i], GLX_SAMPLES), hints.samples);
    if (best == nullptr || distance < bestDistance) {
      best = configs[i];
      bestDistance = distance;
    }
  }
  XFree(configs);
  return best;
}

GLXContext CreateContext(Display* display, int screen, GLXFBConfig config, const AttachedContextHints& hints) {
  const std::string_view extensions = GlxExtensions(display, screen);
  auto createWithAttributes = reinterpret_cast<PFNGLXCREATECONTEXTATTRIBSARBPROC>(
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
  if (ListsExtension(extensions, "GLX_ARB_create_context") && createWithAttributes != nullptr) {
    // No version asked for: version 1.0 gives the driver's compatibility
    // context, which the GLSL 1.10 shaders and the VAO-less drawing need.
    if (hints.robustLoseContextOnReset && ListsExtension(extensions, "GLX_ARB_create_context_robustness")) {
      const int robust[] = {GLX_CONTEXT_FLAGS_ARB, GLX_CONTEXT_ROBUST_ACCESS_BIT_ARB,
                            GLX_CONTEXT_RESET_NOTIFICATION_STRATEGY_ARB, GLX_LOSE_CONTEXT_ON_RESET_ARB, None};
      ErrorTrap trap(display);
      GLXContext context = createWithAttributes(display, config, nullptr, True, robust);
      if (trap.Sync() == Success && context != nullptr) return context;
      if (context != nullptr) glXDestroyContext(display, context);
    }
    const int plain[] = {None};
    ErrorTrap trap(display);
    GLXContext context = createWithAttributes(display, config, nullptr, True, plain);
    if (trap.Sync() == Success && context != nullptr) return context;
    if (context != nullptr) glXDestroyContext(display, context);
  }
  ErrorTrap trap(display);
  GLXContext context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
  if (trap.Sync() == Success) return context;
  if (context != nullptr) glXDestroyContext(display, context);
  return nullptr;
}

// A window of our own inside the host's, with a visual GL can draw on.
bool CreateChildWindow(HostWindowState* window, GLXFBConfig config) {
  XVisualInfo* visual = glXGetVisualFromFBConfig(window->display, config);
  if (visual == nullptr) return false;
  ErrorTrap trap(window->display);
  window->colormap = XCreateColormap(window->display, window->host, visual->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = window->colormap;
  // A border pixel of our own: the parent's border would not fit a depth of
  // our own.
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;
  window->child = XCreateWindow(window->display, window->host, 0, 0, static_cast<unsigned>(window->width),
                                static_cast<unsigned>(window->height), 0, visual->depth, InputOutput, visual->visual,
                                CWColormap | CWBorderPixel | CWBackPixmap, &attributes);
  XMapWindow(window->display, window->child);
  XFree(visual);
  return trap.Sync() == Success;
}

// Both halves of attaching that can fail on a window that does exist.
bool MakeContext(HostWindowState* window, int screen, VisualID hostVisual, const AttachedContextHints& hints) {
  GLXFBConfig config = ChooseConfig(window->display, screen, hints, hostVisual);
  if (config == nullptr) {
    config = ChooseConfig(window->display, screen, hints, 0);
    if (config == nullptr || !CreateChildWindow(window, config)) return false;
  }
  window->context = CreateContext(window->display, screen, config, hints);
  if (window->context == nullptr) return false;
  ErrorTrap trap(window->display);
  Bool current = glXMakeCurrent(window->display, window->Drawable(), window->context);
  return trap.Sync() == Success && current;
}

// Structure events first and on their own: a request that also asks for
// ButtonPress fails as a whole where another client has it, and without
// ConfigureNotify and DestroyNotify we could neither follow nor leave.
bool SelectStructureEvents(HostWindowState* window) {
  ErrorTrap trap(window->display);
  // VisibilityChange too: a host covered entirely by other windows shows
  // nobody our frames (its own visibility leaves our child out of account).
  window->structureMask = window->originalMask | StructureNotifyMask | ExposureMask | VisibilityChangeMask;
  XSelectInput(window->display, window->host, window->structureMask);
  return trap.Sync() == Success;
}

bool TrySelect(Display* display, Window target, long mask) {
  ErrorTrap trap(display);
  XSelectInput(display, target, mask);
  return trap.Sync() == Success;
}

// Only one client may select ButtonPress on a window; where the host has it,
// keys alone still reach us, and a button's release goes to the host with
// its press. Our own child takes both without a quarrel. Releases count as
// much as presses: a key held since before we started ends us when let go.
void SelectInput(HostWindowState* window) {
  const long keys = KeyPressMask | KeyReleaseMask;
  const long buttons = ButtonPressMask | ButtonReleaseMask;
  const long hostKeys = window->structureMask | keys;
  if (window->child != 0) {
    TrySelect(window->display, window->host, hostKeys);
    TrySelect(window->display, window->child, keys | buttons);
    return;
  }
  if (!TrySelect(window->display, window->host, hostKeys | buttons)) {
    TrySelect(window->display, window->host, hostKeys | ButtonReleaseMask);
  }
}

// A 1x1 cursor whose mask shows nothing.
Cursor CreateInvisibleCursor(Display* display, Window window) {
  static const char kEmpty[1] = {0};
  Pixmap bitmap = XCreateBitmapFromData(display, window, kEmpty, 1, 1);
  XColor black{};
  Cursor cursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
  XFreePixmap(display, bitmap);
  return cursor;
}

void CreatePointerCover(HostWindowState* window) {
  XSetWindowAttributes attributes{};
  attributes.cursor = window->invisibleCursor;
  window->pointerCover =
      XCreateWindow(window->display, window->host, 0, 0, static_cast<unsigned>(window->width),
                    static_cast<unsigned>(window->height), 0, 0, InputOnly, CopyFromParent, CWCursor, &attributes);
  XMapWindow(window->display, window->pointerCover);
}

// X mouse buttons 4 to 7 are the wheel's steps, as GLFW reads them.
bool IsWheelButton(unsigned button) { return button >= 4 && button <= 7; }

void ReportWheel(HostWindowState* window, unsigned button) {
  double x = button == 6 ? 1.0 : button == 7 ? -1.0 : 0.0;
  double y = button == 4 ? 1.0 : button == 5 ? -1.0 : 0.0;
  window->events.InputScroll(x, y);
}

// GLFW's numbering: left, right, middle, then the extra buttons after the
// wheel's.
int GlfwButton(unsigned button) {
  switch (button) {
    case Button1: return GLFW_MOUSE_BUTTON_LEFT;
    case Button2: return GLFW_MOUSE_BUTTON_MIDDLE;
    case Button3: return GLFW_MOUSE_BUTTON_RIGHT;
    default: return static_cast<int>(button) - 4;
  }
}

void ReportButton(HostWindowState* window, unsigned button, int action) {
  if (IsWheelButton(button)) {
    if (action == GLFW_PRESS) ReportWheel(window, button);
    return;
  }
  window->events.InputMouseButton(GlfwButton(button), action, 0);
}

void ReportKey(HostWindowState* window, unsigned keycode, int action) {
  window->events.InputKey(GLFW_KEY_UNKNOWN, static_cast<int>(keycode), action, 0);
}

void OnHostConfigured(HostWindowState* window, const XConfigureEvent& event) {
  if (event.width == window->width && event.height == window->height) return;
  window->width = event.width;
  window->height = event.height;
  for (Window ours : {window->child, window->pointerCover}) {
    if (ours != 0)
      XResizeWindow(window->display, ours, static_cast<unsigned>(event.width), static_cast<unsigned>(event.height));
  }
  window->events.InputWindowSize(event.width, event.height);
}

void HandleEvent(HostWindowState* window, const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify:
      if (event.xconfigure.window == window->host) OnHostConfigured(window, event.xconfigure);
      break;
    case VisibilityNotify:
      if (event.xvisibility.window == window->host) {
        window->events.InputConcealment(Concealment::Obscured, event.xvisibility.state == VisibilityFullyObscured);
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window->host) window->hostGone = true;
      break;
    case KeyPress: ReportKey(window, event.xkey.keycode, GLFW_PRESS); break;
    case KeyRelease: ReportKey(window, event.xkey.keycode, GLFW_RELEASE); break;
    case ButtonPress: ReportButton(window, event.xbutton.button, GLFW_PRESS); break;
    case ButtonRelease: ReportButton(window, event.xbutton.button, GLFW_RELEASE); break;
    default: break;
  }
}

GLFWglproc HostProcAddress(const char* name) { return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)); }

}  // namespace

// Errors are expected where the host is already gone and are dropped.
HostWindowState::~HostWindowState() {
  if (display == nullptr) return;
  {
    ErrorTrap trap(display);
    if (context != nullptr) {
      glXMakeCurrent(display, None, nullptr);
      glXDestroyContext(display, context);
    }
    if (child != 0) XDestroyWindow(display, child);
    if (pointerCover != 0) XDestroyWindow(display, pointerCover);
    if (invisibleCursor != 0) XFreeCursor(display, invisibleCursor);
    if (colormap != 0) XFreeColormap(display, colormap);
    if (!hostGone && structureMask != 0) XSelectInput(display, host, originalMask);
  }
  XSetErrorHandler(previousErrorHandler);
  XCloseDisplay(display);
}

std::unique_ptr<RenderWindow> AttachNativeWindow(NativeWindowHandle host, const AttachedContextHints& hints) {
  if (!CanBeWindowId(host)) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;

  auto attached = std::make_unique<HostWindow>();
  HostWindowState* window = &attached->state();
  window->display = display;
  window->host = static_cast<Window>(host);
  // For as long as we are attached no X error may reach Xlib's default
  // handler, which would exit(1) in the middle of a frame.
  window->previousErrorHandler = XSetErrorHandler(NoteError);
  errorOutsideTraps = false;

  XWindowAttributes attributes{};
  bool found;
  {
    ErrorTrap trap(display);
    found = XGetWindowAttributes(display, window->host, &attributes) != 0 && trap.Sync() == Success;
  }
  int errorBase = 0, eventBase = 0;
  if (!found || attributes.c_class != InputOutput || !glXQueryExtension(display, &errorBase, &eventBase)) {
    return nullptr;
  }
  window->originalMask = attributes.your_event_mask;
  window->hostIsRoot = attributes.root == window->host;
  window->width = attributes.width;
  window->height = attributes.height;

  // Structure events before anything is created: a host destroyed while we
  // set up still reaches us as DestroyNotify.
  int screen = XScreenNumberOfScreen(attributes.screen);
  if (!SelectStructureEvents(window) || !MakeContext(window, screen, XVisualIDFromVisual(attributes.visual), hints)) {
    return nullptr;
  }
  return attached;
}

bool QueryNativeWindowSize(NativeWindowHandle host, int* width, int* height) {
  if (!CanBeWindowId(host)) return false;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XWindowAttributes attributes{};
  bool found;
  {
    ErrorTrap trap(display);
    found = XGetWindowAttributes(display, static_cast<Window>(host), &attributes) != 0 && trap.Sync() == Success;
  }
  XCloseDisplay(display);
  if (!found) return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

NativeWindowHandle DefaultRootWindowHandle() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 0;
  NativeWindowHandle root = DefaultRootWindow(display);
  XCloseDisplay(display);
  return root;
}

HostWindow::HostWindow() : state_(std::make_unique<HostWindowState>(events())) {}
HostWindow::~HostWindow() = default;

void HostWindow::ListenForInput() { SelectInput(state_.get()); }

void HostWindow::MakeCurrent() {
  ErrorTrap trap(state_->display);
  glXMakeCurrent(state_->display, state_->Drawable(), state_->context);
  if (trap.Sync() != Success) state_->hostGone = true;
}

// Any error on the drawable between frames means the host's window went away
// under us (BadDrawable, BadWindow); the loop then ends and detaches.
void HostWindow::SwapBuffers() {
  if (state_->hostGone) return;
  ErrorTrap trap(state_->display);
  glXSwapBuffers(state_->display, state_->Drawable());
  if (trap.Sync() != Success) state_->hostGone = true;
}

// A host is out of sight when it or a window it lies in is unmapped (a
// settings dialog minimised or closed to the tray): no event tells us of an
// ancestor's unmapping, so the state is asked for, once a poll.
void HostWindow::PollEvents() {
  ErrorTrap trap(state_->display);
  while (XPending(state_->display) > 0) {
    XEvent event;
    XNextEvent(state_->display, &event);
    HandleEvent(state_.get(), event);
  }
  XWindowAttributes attributes{};
  if (!state_->hostGone && XGetWindowAttributes(state_->display, state_->host, &attributes) != 0) {
    events().InputConcealment(Concealment::Unmapped, attributes.map_state != IsViewable);
  }
  if (trap.Sync() != Success) state_->hostGone = true;
}

void HostWindow::WaitEvents(double seconds) {
  if (XPending(state_->display) == 0) {
    pollfd connection = {ConnectionNumber(state_->display), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(seconds * 1000));
  }
  PollEvents();
}

// A close request for a window of another client goes to that client, never
// to us; the host ends a preview by destroying its window.
bool HostWindow::ShouldClose() const { return false; }

bool HostWindow::IsHostEnabled() const { return !state_->hostGone && !errorOutsideTraps; }

GlProcLoader HostWindow::ProcAddressLoader() const { return HostProcAddress; }

// Where no extension offers it (Xvfb), the frame pacer keeps the rate.
void HostWindow::SetSwapInterval(int interval) {
  Display* display = state_->display;
  const std::string_view extensions = GlxExtensions(display, DefaultScreen(display));
  ErrorTrap trap(display);
  if (ListsExtension(extensions, "GLX_EXT_swap_control")) {
    auto set = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (set != nullptr) set(display, state_->Drawable(), interval);
  } else if (ListsExtension(extensions, "GLX_MESA_swap_control")) {
    auto set = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    if (set != nullptr) set(static_cast<unsigned>(interval));
  }
}

// Drawing on the root window is drawing on the desktop, where the pointer
// stays in use.
void HostWindow::HideCursor() {
  HostWindowState* window = state_.get();
  if (window->hostIsRoot || window->invisibleCursor != 0) return;
  ErrorTrap trap(window->display);
  window->invisibleCursor = CreateInvisibleCursor(window->display, window->host);
  if (window->child != 0) {
    XDefineCursor(window->display, window->child, window->invisibleCursor);
  } else {
    CreatePointerCover(window);
  }
  trap.Sync();
}
