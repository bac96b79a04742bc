#include "render/render_app.h"

#include <cstdlib>

#include "platform/gl.h"
#include "platform/message_box.h"
#include "platform/os_version.h"
#include "platform/software_renderer.h"
#include "render/attach/host_window.h"
#include "render/frame_cycle.h"
#include "render/gl_entry_points.h"
#include "render/glfw_window.h"
#include "render/monitor_windows.h"
#include "render/render_window.h"
#include "render/window_icon.h"

int32_t viewportWidth = 0;
int32_t viewportHeight = 0;
RenderApp* renderApp = nullptr;

namespace {

constexpr char kWindowTitle[] = "Gloamery 3D Screensaver";
constexpr int kFallbackWidth = 800;
constexpr int kFallbackHeight = 600;
constexpr int kWindowSamples = 4;

void OnWindowSize(GLFWwindow*, int width, int height) {
  viewportWidth = width;
  viewportHeight = height;
}

// Any key or button is the user coming back: leave at once, without teardown.
void OnKey(GLFWwindow*, int, int, int, int) { std::exit(0); }
void OnMouseButton(GLFWwindow*, int, int, int) { std::exit(0); }
void OnCursorPos(GLFWwindow*, double, double) {}
void OnScroll(GLFWwindow*, double, double) {}

int RefreshRateOf(GLFWmonitor* monitor) {
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

// Like glfwSwapInterval, for the window whose context is current.
void SetSwapInterval(int interval) {
  if (RenderWindow* current = RenderWindow::Current()) current->SetSwapInterval(interval);
}

RenderApp::RenderApp(LaunchOptions* options) : options(options) {
  InitLibrary();
  ChooseWindowSize();
  samples_ = WindowSamples();
  OpenWindows();
}

// Members outlive this body, so the order is spelled out: the windows (see
// CloseWindows), then the library.
RenderApp::~RenderApp() {
  CloseWindows();
  glfwTerminate();
}

void RenderApp::OpenWindows() {
  OpenWindow(samples_);
  ApplyGlState();
  OpenMonitorWindows();
}

// The frame's GL objects go first, while their context is current (a lost
// context ignores the calls, as it ignores every other), then the windows.
void RenderApp::CloseWindows() {
  frames_.reset();
  monitors_.reset();
  window.reset();
}

bool RenderApp::ContextWasReset() const { return CurrentContextWasReset(); }

void RenderApp::RebuildAfterReset() {
  CloseWindows();
  OpenWindows();
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
  if (SystemPredatesMonitorModes()) {
    viewportWidth = kFallbackWidth;
    viewportHeight = kFallbackHeight;
    return;
  }
  // Without a monitor (or without the library) there is no mode to read; the
  // window request that follows decides what happens.
  int width = PrimaryModeSize(0);
  int height = PrimaryModeSize(1);
  viewportWidth = width > 0 ? width : kFallbackWidth;
  viewportHeight = height > 0 ? height : kFallbackHeight;
}

void RenderApp::OpenWindow(int samples) {
  ApplySceneWindowHints(samples);
  window = options->mode == LaunchMode::Preview ? AttachToHostWindow(options->parentWindow, samples)
                                                : CreateFullScreenWindow(viewportWidth, viewportHeight, kWindowTitle);
  if (window == nullptr) FailToOpenWindow();
  InstallCallbacks();
  window->MakeContextCurrent();
  SetWindowIcon(window.get());
  LoadGlEntryPoints();
}

WindowCallbacks RenderApp::InputCallbacks() const {
  WindowCallbacks callbacks;
  callbacks.size = OnWindowSize;
  // XScreenSaver watches the keyboard and the pointer itself and stops us
  // with a signal; input in its window is not ours to end the run on.
  if (!options->fromDaemon) {
    callbacks.key = OnKey;
    callbacks.button = OnMouseButton;
  }
  callbacks.cursorPos = OnCursorPos;
  callbacks.scroll = OnScroll;
  return callbacks;
}

void RenderApp::InstallCallbacks() { window->SetCallbacks(InputCallbacks()); }

// A full-screen run shows the scene on every monitor, not only the primary
// one. The scene's context is current here and stays so.
void RenderApp::OpenMonitorWindows() {
  if (options->mode == LaunchMode::Preview) return;
  monitors_ = std::make_unique<MonitorWindows>(glfwGetCurrentContext(), InputCallbacks(), samples_);
}

void RenderApp::FollowMonitors() {
  if (!monitors_) return;
  GLFWmonitor* primary = monitors_->Follow();
  if (primary == nullptr) return;
  window->MoveToMonitor(primary);
  frames_->FollowRefreshRate(RefreshRateOf(primary));
}

// An OpenGL without shaders (Windows' own software renderer where no display
// driver is installed) cannot draw the scene, and its missing entry points
// would be called through null. The window goes first, so that the message
// is not hidden behind a full-screen window and a host's is left as found.
void RenderApp::LoadGlEntryPoints() {
  if (LoadSceneEntryPoints(window->ProcAddressLoader())) return;
  window.reset();
  ShowDebugMessage("OpenGL 2.0 or later is needed");
  glfwTerminate();
  std::exit(0);
}

void RenderApp::ApplyGlState() {
  ApplyFrameGlState();
  SetSwapInterval(1);
  window->HideCursor();
  frames_ = std::make_unique<FrameCycle>(*window, RefreshRateOf(glfwGetPrimaryMonitor()));
}

// The budget's picture is shaded single-sampled and stretched with
// multisampling off, so samples in the window would all take the same
// colour: written and resolved every frame, never seen. On llvmpipe that is a
// third of a 1920x1080 frame, and the budget gives the time to a sharper
// picture instead. Where it affords the whole window, the scene goes straight
// into it single-sampled, as its own picture is. The renderer is only known
// once a context exists, so a hidden window's is asked before ours opens.
// A host's preview keeps the hint: it is small, and the context is made for
// the host's window.
int RenderApp::WindowSamples() {
  if (options->mode == LaunchMode::Preview && !options->fromDaemon) return kWindowSamples;
  return RendererDrawsInSoftware() ? 0 : kWindowSamples;
}

bool RenderApp::RendererDrawsInSoftware() {
  ApplySceneWindowHints(0);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  // Untitled, so that nobody looking for our window finds this one.
  GLFWwindow* hidden = glfwCreateWindow(1, 1, "", nullptr, nullptr);
  glfwWindowHint(GLFW_VISIBLE, GLFW_TRUE);
  if (hidden == nullptr) return false;
  glfwMakeContextCurrent(hidden);
  using GetString = const GLubyte* (*)(GLenum);
  auto getString = reinterpret_cast<GetString>(glfwGetProcAddress("glGetString"));
  const auto* renderer = getString != nullptr ? reinterpret_cast<const char*>(getString(GL_RENDERER)) : nullptr;
  const bool software = renderer != nullptr && IsSoftwareRenderer(renderer);
  glfwMakeContextCurrent(nullptr);
  glfwDestroyWindow(hidden);
  return software;
}

void RenderApp::DrawFrame(const SceneDrawing& scene) {
  FollowMonitors();
  frames_->Draw(FrameSize{viewportWidth, viewportHeight}, monitors_ ? monitors_->Parts() : std::vector<FramePart>{},
                scene);
}

// Where the renderer cannot afford the scene on every monitor, the others go
// black for the rest of the run: never back and forth.
void RenderApp::PresentFrame() {
  frames_->Present();
  if (monitors_ && !monitors_->IsBlack() && frames_->OthersCannotBeAfforded()) monitors_->GoBlack();
  frames_->WaitForNext();
}
