#pragma once

#include <memory>

#include "render/frame_budget.h"
#include "render/frame_pacer.h"

class DisplayPower;
class GpuFrameTimer;
class RenderWindow;
class ScaledFrame;

// The steps every frame of the live window takes, each a stage of its own,
// so that what changes how frames are made (their size, the windows they go
// to, whether one is drawn at all) changes one stage, not the loop:
//   Begin        the size to draw at, with its framebuffer bound
//   (the scene draws, at that size)
//   Present      the picture onto the window and out to the display
//   WaitForNext  until the display's next refresh
// While nobody can see a frame (the window out of sight, the display powered
// off) the cycle pauses: Begin gives no size, nothing is drawn or presented,
// and WaitForNext waits for the window's events instead, briefly enough that
// every way the loop ends still ends a paused run at once.
// Made and destroyed with the window's context current.
class FrameCycle {
 public:
  // Every frame is drawn at the frame budget's size: the window's own,
  // straight into it, where the renderer affords it; else a smaller picture
  // stretched to the window. Before the first frame is shown, two small
  // probe frames (never shown) tell the budget where to start, so that no
  // frame at any screen size takes much longer than the budget.
  FrameCycle(RenderWindow& window, int refreshRateHz);
  ~FrameCycle();
  FrameCycle(const FrameCycle&) = delete;
  FrameCycle& operator=(const FrameCycle&) = delete;

  // The empty size while paused.
  FrameSize Begin(FrameSize window);
  void Present(FrameSize window);
  void WaitForNext();

  // The longest a paused run waits before it looks again: a stop signal, or
  // a host that disables its window without a word to us, is noticed within
  // this.
  static constexpr double kPausedWaitSeconds = 0.1;
  // How often the display's power is asked for: a round trip to the server.
  static constexpr double kDisplayPowerPeriodSeconds = 1.0;

 private:
  static constexpr int kProbeFrames = 2;

  bool FrameIsSeen();
  bool DisplayIsOn(FramePacer::Clock::time_point now);
  bool BeginProbe(FrameSize window);
  void EndProbe(FrameSize window);
  bool BindScaledTarget(FrameSize size);
  void RecordFrameTimes(FramePacer::Clock::time_point presented, FrameSize window);

  RenderWindow& window_;
  FramePacer pacer_;
  FrameBudget budget_;
  // Made when a picture smaller than the window is first wanted.
  std::unique_ptr<ScaledFrame> scaledFrame_;
  // Where the GL cannot make the picture's target, the window's size it is.
  bool scaledFrameRefused_ = false;
  bool drawingScaled_ = false;
  // Null where the GL has no timer queries: frames are timed on the CPU.
  std::unique_ptr<GpuFrameTimer> timer_;
  int probesLeft_ = kProbeFrames;
  FrameSize probeSize_;
  FramePacer::Clock::time_point probeStart_{};
  FramePacer::Clock::time_point frameStart_{};
  bool paused_ = false;
  std::unique_ptr<DisplayPower> displayPower_;
  bool displayOn_ = true;
  FramePacer::Clock::time_point displayAskedAt_{};
};
