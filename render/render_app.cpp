#include "render/render_app.h"

#include <cstdlib>

#include "launch/stop_signal.h"
#include "render/attach/attached_window.h"
#include "render/gl.h"
#include "render/message_box.h"
#include "render/os_version.h"
#include "render/window_icon.h"

int32_t viewportWidth = 0;
int32_t viewportHeight = 0;
RenderApp* renderApp = nullptr;

namespace {

constexpr char kWindowTitle[] = "Gloamery 3D Screensaver";
constexpr int kFallbackWidth = 800;
constexpr int kFallbackHeight = 600;

void OnWindowSize(GLFWwindow*, int width, int height) {
  viewportWidth = width;
  viewportHeight = height;
}

// Any key or button is the user coming back: leave at once, without teardown.
void OnKey(GLFWwindow*, int, int, int, int) { std::exit(0); }
void OnMouseButton(GLFWwindow*, int, int, int) { std::exit(0); }
void OnCursorPos(GLFWwindow*, double, double) {}
void OnScroll(GLFWwindow*, double, double) {}

void OnAttachedSize(int width, int height) { OnWindowSize(nullptr, width, height); }
void OnAttachedInput() { std::exit(0); }

int PrimaryRefreshRate() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
  return mode && mode->refreshRate > 0 ? mode->refreshRate : kFallbackRefreshRateHz;
}

[[noreturn]] void FailToOpenWindow() {
  ShowDebugMessage("Failed to open window");
  glfwTerminate();
  std::exit(0);
}

}  // namespace

int PrimaryModeSize(int which) {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
  if (mode == nullptr) return 0;
  return which == 0 ? mode->width : mode->height;
}

void SetSwapInterval(int interval) {
  if (renderApp && renderApp->attachedWindow) {
    SetAttachedSwapInterval(renderApp->attachedWindow, interval);
  } else {
    glfwSwapInterval(interval);
  }
}

RenderApp::RenderApp(LaunchOptions* options) : options(options) {
  InitLibrary();
  ChooseWindowSize();
  OpenWindow();
  ApplyGlState();
}

RenderApp::~RenderApp() {
  if (attachedWindow) DetachNativeWindow(attachedWindow);
  if (window) glfwDestroyWindow(window);
  glfwTerminate();
}

void RenderApp::InitLibrary() {
  if (!glfwInit()) ShowDebugMessage("Failed to initialize GLFW");
}

void RenderApp::ChooseWindowSize() {
  if (options->mode == LaunchMode::Preview) {
    int width = 0, height = 0;
    if (QueryNativeWindowSize(options->parentWindow, &width, &height)) {
      viewportWidth = width;
      viewportHeight = height;
    }
    return;
  }
#ifdef _WIN32
  // Systems before Vista get the classic fixed size.
  if (OsVersionNumber() < kFirstVersionWithMonitorMode) {
    viewportWidth = kFallbackWidth;
    viewportHeight = kFallbackHeight;
    return;
  }
#endif
  // Without a monitor (or without the library) there is no mode to read; the
  // window request that follows decides what happens.
  int width = PrimaryModeSize(0);
  int height = PrimaryModeSize(1);
  viewportWidth = width > 0 ? width : kFallbackWidth;
  viewportHeight = height > 0 ? height : kFallbackHeight;
}

void RenderApp::ApplyWindowHints() {
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
  glfwWindowHint(GLFW_SAMPLES, 4);
  glfwWindowHint(GLFW_STEREO, GLFW_FALSE);
}

void RenderApp::OpenWindow() {
  ApplyWindowHints();
  if (options->mode == LaunchMode::Preview) {
    AttachedContextHints hints;
    hints.samples = 4;
    hints.stereo = false;
    hints.robustLoseContextOnReset = true;
    attachedWindow = AttachNativeWindow(options->parentWindow, hints);
    if (attachedWindow == nullptr) FailToOpenWindow();
  } else {
    window = glfwCreateWindow(viewportWidth, viewportHeight, kWindowTitle, glfwGetPrimaryMonitor(), nullptr);
    if (window == nullptr) FailToOpenWindow();
  }
  InstallCallbacks();
  if (window) {
    glfwMakeContextCurrent(window);
    SetWindowIcon(window);
  } else {
    MakeAttachedContextCurrent(attachedWindow);
  }
  LoadGlEntryPoints();
  pacer_ = FramePacer(window ? PrimaryRefreshRate() : kFallbackRefreshRateHz);
}

void RenderApp::InstallCallbacks() {
  if (attachedWindow) {
    AttachedWindowCallbacks callbacks;
    callbacks.size = OnAttachedSize;
    // XScreenSaver watches the keyboard and the pointer itself and stops us
    // with a signal; only a host's preview ends on input.
    if (!options->fromDaemon) {
      callbacks.key = OnAttachedInput;
      callbacks.button = OnAttachedInput;
    }
    SetAttachedWindowCallbacks(attachedWindow, callbacks);
    return;
  }
  glfwSetWindowSizeCallback(window, OnWindowSize);
  glfwSetKeyCallback(window, OnKey);
  glfwSetMouseButtonCallback(window, OnMouseButton);
  glfwSetCursorPosCallback(window, OnCursorPos);
  glfwSetScrollCallback(window, OnScroll);
}

// A failed load is not fatal: rendering goes on with whatever resolved.
void RenderApp::LoadGlEntryPoints() {
  if (window) {
    gladLoadGL(glfwGetProcAddress);
  } else {
    gladLoadGL(reinterpret_cast<GLADloadfunc>(AttachedProcAddress));
  }
}

void ApplyFrameGlState() {
  glCullFace(GL_FRONT_AND_BACK);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_MULTISAMPLE);
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_POLYGON_SMOOTH);
}

void RenderApp::ApplyGlState() {
  ApplyFrameGlState();
  // renderApp is not set while we are being built, so the attached window is
  // named here rather than found through it.
  if (attachedWindow) {
    SetAttachedSwapInterval(attachedWindow, 1);
  } else {
    SetSwapInterval(1);
  }
  if (window) glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

void RenderApp::PresentFrame() {
  if (window) {
    glfwSwapBuffers(window);
  } else {
    SwapAttachedBuffers(attachedWindow);
  }
  pacer_.WaitForNextFrame();
}

void RenderApp::PollEvents() {
  if (window) {
    glfwPollEvents();
  } else {
    PollAttachedEvents(attachedWindow);
  }
}

// A stop signal is the system's close request on POSIX.
bool RenderApp::ShouldClose() const {
  if (StopSignalReceived()) return true;
  return window ? glfwWindowShouldClose(window) != 0 : AttachedWindowShouldClose(attachedWindow);
}

bool RenderApp::IsParentWindowEnabled() const {
  return attachedWindow == nullptr || IsHostWindowEnabled(attachedWindow);
}
