// The preview's pixels, read back in the process that draws them: Wine shows
// nothing drawn by GL in a child window on screen, and GetPixel on it answers
// CLR_INVALID, so no outside observer can see them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "render/attach/host_window.h"
#include "render/gl_entry_points.h"
#include "render/render_app.h"
#include "render/render_window.h"
#include "scene/main_loop.h"

namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A host window of the given client size, as the system's screensaver host
// would make.
HWND CreateHostWindow(int width, int height) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"GloameryPreviewTestHost";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"preview test host", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                height, nullptr, nullptr, windowClass.hInstance, nullptr);
  return window;
}

void OnSize(GLFWwindow*, int width, int height) {
  viewportWidth = width;
  viewportHeight = height;
}

// The share of pixels in columns [x0, width) that are clearly not black.
double LitShare(int x0, int width, int height) {
  std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  int lit = 0, all = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = x0; x < width; ++x) {
      const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
      lit += (p[0] > 24 || p[1] > 24 || p[2] > 24) ? 1 : 0;
      ++all;
    }
  }
  return all > 0 ? static_cast<double>(lit) / all : 0.0;
}

// Past the scene's fade-in from black.
constexpr float kSceneTime = 5.0f;
// Far more frames than a resize takes to reach the drawable.
constexpr int kFramesToFollow = 20;

TEST(PreviewWindow, DrawsTheSceneOverTheHostsClientAreaAndFollowsItsSize) {
  ASSERT_TRUE(glfwInit());
  HWND host = CreateHostWindow(120, 90);
  ASSERT_NE(host, nullptr);
  std::unique_ptr<RenderWindow> window = AttachToHostWindow(reinterpret_cast<NativeWindowHandle>(host), 4);
  ASSERT_NE(window, nullptr);
  WindowCallbacks callbacks;
  callbacks.size = OnSize;
  window->SetCallbacks(callbacks);
  window->MakeContextCurrent();
  ASSERT_TRUE(LoadSceneEntryPoints(window->ProcAddressLoader()));
  ApplyFrameGlState();
  SetUpScene();

  viewportWidth = 120;
  viewportHeight = 90;
  RenderFrame(kSceneTime);
  EXPECT_GT(LitShare(0, 120, 90), 0.3) << "the scene shows over the host's client area";
  window->SwapBuffers();

  SetWindowPos(host, nullptr, 0, 0, 180, 90, SWP_NOMOVE | SWP_NOZORDER);
  window->PollEvents();
  EXPECT_EQ(viewportWidth, 180);
  EXPECT_EQ(viewportHeight, 90);
  // The drawable may take the new size with the next presented frame, as
  // the frame loop would present it.
  double strip = 0;
  for (int frame = 0; frame < kFramesToFollow && strip <= 0.3; ++frame) {
    RenderFrame(kSceneTime);
    strip = LitShare(130, 180, 90);
    window->SwapBuffers();
    window->PollEvents();
  }
  EXPECT_GT(strip, 0.3) << "the strip the host grew by is drawn too";

  TearDownScene();
  window.reset();
  EXPECT_TRUE(IsWindow(host)) << "detaching leaves the host's window";
  EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr) << "and takes our child away";
  DestroyWindow(host);
  glfwTerminate();
}

// GL_ARB_robustness's query, which the loader is not generated with.
constexpr GLenum kResetNotificationStrategy = 0x8256;

struct ContextTraits {
  GLint samples = -1;
  GLint resetStrategy = -1;
};

// What the current context has of the hints that matter here. A strategy the
// driver cannot report stays -1.
ContextTraits CurrentContextTraits() {
  ContextTraits traits;
  glGetIntegerv(GL_SAMPLES, &traits.samples);
  glGetIntegerv(kResetNotificationStrategy, &traits.resetStrategy);
  while (glGetError() != GL_NO_ERROR) {
  }
  return traits;
}

// The program's hints, as GLFW honours them for a window it creates on this
// driver: what the preview's context must match.
ContextTraits TraitsOfACreatedWindow() {
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
  glfwWindowHint(GLFW_SAMPLES, 4);
  GLFWwindow* created = glfwCreateWindow(64, 48, "hints", nullptr, nullptr);
  glfwDefaultWindowHints();
  if (created == nullptr) return ContextTraits{};
  glfwMakeContextCurrent(created);
  ContextTraits traits;
  if (LoadSceneEntryPoints(glfwGetProcAddress)) traits = CurrentContextTraits();
  glfwMakeContextCurrent(nullptr);
  glfwDestroyWindow(created);
  return traits;
}

TEST(PreviewWindow, ItsContextHasTheSamplesAndRobustnessACreatedWindowGets) {
  ASSERT_TRUE(glfwInit());
  const ContextTraits expected = TraitsOfACreatedWindow();
  ASSERT_GE(expected.samples, 0) << "GLFW made no window with the program's hints";
  HWND host = CreateHostWindow(64, 48);
  std::unique_ptr<RenderWindow> window = AttachToHostWindow(reinterpret_cast<NativeWindowHandle>(host), 4);
  ASSERT_NE(window, nullptr);
  window->MakeContextCurrent();
  ASSERT_TRUE(LoadSceneEntryPoints(window->ProcAddressLoader()));
  const ContextTraits attached = CurrentContextTraits();
  EXPECT_EQ(attached.samples, expected.samples);
  EXPECT_EQ(attached.resetStrategy, expected.resetStrategy);
  window.reset();
  DestroyWindow(host);
  glfwTerminate();
  // Mesa under Wine offers both; then the comparison above is not between
  // two contexts that lack them.
  std::printf("samples %d, reset strategy 0x%x\n", attached.samples, static_cast<unsigned>(attached.resetStrategy));
}

TEST(PreviewWindow, FailsWhileTheWindowingLibraryIsDown) {
  HWND host = CreateHostWindow(64, 48);
  EXPECT_EQ(AttachToHostWindow(reinterpret_cast<NativeWindowHandle>(host), 4), nullptr);
  EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr);
  DestroyWindow(host);
}

}  // namespace
