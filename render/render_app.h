#pragma once

#include <cstdint>
#include <memory>

#include "launch/launch_options.h"
#include "render/frame_budget.h"
#include "render/scene_drawing.h"
#include "render/window_callbacks.h"
#include "render/window_frame.h"

class FrameCycle;
class MonitorWindows;
class RenderWindow;

// The drawing area in pixels: set by the size choice, then only by window-size
// events; every frame reads it.
extern int32_t viewportWidth;
extern int32_t viewportHeight;

// Owns the scene's own window and its current GL context, and in a
// full-screen run the scene's windows on the other monitors. Construction
// either returns with a current context and fixed GL state, or ends the
// process with status 0 after telling the user why.
class RenderApp {
 public:
  explicit RenderApp(LaunchOptions* options);
  ~RenderApp();
  RenderApp(const RenderApp&) = delete;
  RenderApp& operator=(const RenderApp&) = delete;

  // Has `scene` draw the next frame into every window that is seen, each at
  // its own size or the frame budget's smaller picture of it, stretched to
  // the window; nothing while nobody can see it. First the windows follow
  // the monitors: one opened for a monitor that came, closed for one that
  // went, and the scene's own moved to a new primary monitor.
  void DrawFrame(const SceneDrawing& scene);
  // Presents the frame drawn and waits for the primary display's refresh;
  // while nothing was drawn, waits for the windows' events instead.
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
  // other monitors' windows: made at the start and again after a GPU reset.
  void OpenWindows();
  void CloseWindows();
  void OpenWindow(int samples);
  void ApplyGlState();

  WindowCallbacks InputCallbacks() const;
  void InstallCallbacks();
  void OpenMonitorWindows();
  void FollowMonitors();
  void LoadGlEntryPoints();
  int WindowSamples();
  bool RendererDrawsInSoftware();

  // The multisampling the window was opened with, for a window made again.
  int samples_ = 0;
  // The stages of every frame; made once the context is ready.
  std::unique_ptr<FrameCycle> frames_;
  // The scene's windows on the other monitors; none in Preview mode.
  std::unique_ptr<MonitorWindows> monitors_;
};

extern RenderApp* renderApp;

// Width (0) or height (1) of the primary monitor's current video mode; 0 when
// there is no monitor or mode to ask.
int PrimaryModeSize(int which);
void SetSwapInterval(int interval);
