#pragma once

#include <memory>
#include <vector>

#include "render/frame_budget.h"
#include "render/frame_pacer.h"
#include "render/frame_tally.h"
#include "render/scene_drawing.h"
#include "render/window_frame.h"

class DisplayPower;
class RenderWindow;

// The steps every frame of the live windows takes, each a stage of its own,
// so that what changes how frames are made (their size, the windows they go
// to, whether one is drawn at all) changes one stage, not the loop:
//   Draw         each window's picture at the budget's size, the scene's own
//                window first, then the other monitors'
//   Present      the pictures out to the displays
//   WaitForNext  until the primary display's next refresh
// While nobody can see a frame (every window out of sight, the display
// powered off) the cycle pauses: nothing is drawn or presented, and
// WaitForNext waits for the windows' events instead, briefly enough that
// every way the loop ends still ends a paused run at once.
// Made and destroyed with the scene window's context current, which is
// current again after every call.
class FrameCycle {
 public:
  // Every frame is drawn at the frame budget's size: each window's own,
  // straight into it, where the renderer affords it; else a smaller picture
  // stretched to the window. Before the first frame is shown, two small
  // probe frames (never shown) tell the budget where to start, so that no
  // frame at any screen size takes much longer than the budget.
  FrameCycle(RenderWindow& window, int refreshRateHz);
  ~FrameCycle();
  FrameCycle(const FrameCycle&) = delete;
  FrameCycle& operator=(const FrameCycle&) = delete;

  // Draws the frame into the scene's window (of `window`'s size) and into
  // each of `others` that is seen.
  void Draw(FrameSize window, const std::vector<FramePart>& others, const SceneDrawing& scene);
  // The others first and without waiting, then the scene's own window, whose
  // swap is the one that waits for the refresh.
  void Present();
  void WaitForNext();

  // The primary monitor changed: frames follow its refresh from now on.
  void FollowRefreshRate(int refreshRateHz);
  // Whether, with other monitors drawing too, not even the smallest picture
  // holds twenty frames a second.
  bool OthersCannotBeAfforded() const;

  // The longest a paused run waits before it looks again: a stop signal, or
  // a host that disables its window without a word to us, is noticed within
  // this.
  static constexpr double kPausedWaitSeconds = 0.1;
  // How often the display's power is asked for: a round trip to the server.
  static constexpr double kDisplayPowerPeriodSeconds = 1.0;

 private:
  static constexpr int kProbeFrames = 2;

  bool IsSeen(const FramePart& part) const;
  bool DisplayIsOn(FramePacer::Clock::time_point now);
  bool BeginProbe(FrameSize window);
  void EndProbe();
  void DrawPart(const FramePart& part, const SceneDrawing& scene);
  void CollectGpuTimes(WindowFrame& frame);
  void RecordFrameTimes(FramePacer::Clock::time_point presented);

  RenderWindow& window_;
  const bool software_;
  FramePacer pacer_;
  FrameBudget budget_;
  // The scene window's own part; the scene was made in its context.
  WindowFrame frame_;
  // The parts drawn this frame, the scene's own first, and their sizes.
  std::vector<FramePart> drawn_;
  FrameWindows drawnWindows_;
  // Every part's GPU time, summed per frame where every window is timed by
  // the GPU; otherwise frames are timed on the CPU.
  FrameTally tally_;
  bool timedByGpu_ = false;
  int serial_ = 0;
  int probesLeft_ = kProbeFrames;
  bool probing_ = false;
  FrameSize probeSize_;
  FrameWindows probeWindows_;
  FramePacer::Clock::time_point probeStart_{};
  FramePacer::Clock::time_point frameStart_{};
  bool paused_ = false;
  std::unique_ptr<DisplayPower> displayPower_;
  bool displayOn_ = true;
  FramePacer::Clock::time_point displayAskedAt_{};
};
