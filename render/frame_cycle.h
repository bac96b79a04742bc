#pragma once

#include <memory>

#include "render/frame_budget.h"
#include "render/frame_pacer.h"

class RenderWindow;
class ScaledFrame;

// The steps every frame of the live window takes, each a stage of its own,
// so that what changes how frames are made (their size, the windows they go
// to, whether one is drawn at all) changes one stage, not the loop:
//   Begin        the size to draw at, with its framebuffer bound
//   (the scene draws, at that size)
//   Present      the picture onto the window and out to the display
//   WaitForNext  until the display's next refresh
// Made and destroyed with the window's context current.
class FrameCycle {
 public:
  // On a software renderer that offers framebuffer objects, frames are drawn
  // at the frame budget's size and stretched to the window; elsewhere at the
  // window's size, straight into it.
  FrameCycle(RenderWindow& window, int refreshRateHz);
  ~FrameCycle();
  FrameCycle(const FrameCycle&) = delete;
  FrameCycle& operator=(const FrameCycle&) = delete;

  FrameSize Begin(FrameSize window);
  void Present(FrameSize window);
  void WaitForNext();

 private:
  void RecordFrameTime(FramePacer::Clock::time_point presented, FrameSize window);

  RenderWindow& window_;
  FramePacer pacer_;
  // The frame budget's state: only where frames are drawn scaled.
  std::unique_ptr<ScaledFrame> scaledFrame_;
  FrameBudget budget_;
  bool drawingScaled_ = false;
  FramePacer::Clock::time_point frameStart_{};
};
