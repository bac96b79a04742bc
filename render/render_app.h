#pragma once

#include <cstdint>
#include <memory>

#include "launch/launch_options.h"
#include "render/frame_budget.h"
#include "render/window_callbacks.h"

class FrameCycle;
class MonitorCovers;
class RenderWindow;

// The fixed GL state set once a context exists. The frame's additive blend
// onto a cleared black target depends on it, so every context that draws the
// frame, windowed or not, gets the same.
void ApplyFrameGlState();

// The drawing area in pixels: set by the size choice, then only by window-size
// events; every frame reads it.
extern int32_t viewportWidth;
extern int32_t viewportHeight;

// Owns the one window the scene is drawn into and its current GL context.
// Construction either returns with a current context and fixed GL state, or
// ends the process with status 0 after telling the user why.
class RenderApp {
 public:
  explicit RenderApp(LaunchOptions* options);
  ~RenderApp();
  RenderApp(const RenderApp&) = delete;
  RenderApp& operator=(const RenderApp&) = delete;

  // Binds the framebuffer the next frame is to be drawn into and returns the
  // size to draw it at: the window's, or on a software renderer the frame
  // budget's smaller picture that PresentFrame stretches to the window. The
  // empty size while nobody can see the frame: nothing is to be drawn then,
  // and PresentFrame waits for the window's events instead.
  FrameSize BeginFrame();
  // Presents the frame drawn and waits for the next display refresh.
  void PresentFrame();

  // A GPU reset takes the context and every object in it. The window, its
  // context and the frame's own objects are then made again as at the start
  // (the clock and the viewport go on); the caller makes its own objects
  // again after. Where no window can be opened again, the run ends as any
  // failure to open the window does.
  bool ContextWasReset() const;
  void RebuildAfterReset();

  // Our own full-screen window, or the host's preview window in Preview mode.
  std::unique_ptr<RenderWindow> window;
  LaunchOptions* options;

 private:
  void InitLibrary();
  void ChooseWindowSize();
  // The window with its context and fixed state, the frame's stages and the
  // monitor covers: made at the start and again after a GPU reset.
  void OpenWindows();
  void CloseWindows();
  void OpenWindow(int samples);
  void ApplyGlState();

  void ApplyWindowHints(int samples);
  WindowCallbacks InputCallbacks() const;
  void InstallCallbacks();
  void CoverOtherMonitors();
  void LoadGlEntryPoints();
  int WindowSamples();
  bool RendererDrawsInSoftware();

  // The multisampling the window was opened with, for a window made again.
  int samples_ = 0;
  // The stages of every frame; made once the context is ready.
  std::unique_ptr<FrameCycle> frames_;
  // Black windows on the monitors the scene leaves out; none in Preview mode.
  std::unique_ptr<MonitorCovers> covers_;
};

extern RenderApp* renderApp;

// Width (0) or height (1) of the primary monitor's current video mode; 0 when
// there is no monitor or mode to ask.
int PrimaryModeSize(int which);
void SetSwapInterval(int interval);
