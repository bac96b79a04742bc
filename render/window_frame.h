#pragma once

#include <memory>

#include "render/frame_budget.h"

class GpuFrameTimer;
class RenderWindow;
class ScaledFrame;

// The fixed GL state set once a context exists. The frame's additive blend
// onto a cleared black target depends on it, so every context that draws the
// frame, windowed or not, gets the same.
void ApplyFrameGlState();

// One window's part of a frame: what its own context keeps for drawing the
// scene there (the smaller picture's target, the timer queries), since GL
// contexts share programs, buffers and textures but not framebuffers or
// queries. Made, used and destroyed with that window's context current.
class WindowFrame {
 public:
  explicit WindowFrame(RenderWindow& window);
  ~WindowFrame();
  WindowFrame(const WindowFrame&) = delete;
  WindowFrame& operator=(const WindowFrame&) = delete;

  RenderWindow& window() { return window_; }

  // Binds what a picture of `size` for a window of `window`'s size is drawn
  // into, starts timing it under `tag`, and returns the size to draw at: the
  // window's own where no smaller target can be had.
  FrameSize Begin(FrameSize size, FrameSize window, int tag);
  // Stretches a smaller picture over the window and stops the timing.
  void End(FrameSize window);

  // Binds the smaller picture's target at `size`, made when first wanted;
  // false (and never asked again) where the GL refuses one.
  bool BindScaledTarget(FrameSize size);
  bool ScaledTargetRefused() const { return scaledFrameRefused_; }

  // Null timer: frames in this window are not timed by the GPU.
  bool IsTimedByGpu() const { return timer_ != nullptr; }
  // The GPU seconds and tag of the oldest timed frame whose answer is in.
  bool TakeTime(double* seconds, int* tag);

  // Whether the scene has set up what this context keeps for itself.
  bool scenePrepared = false;

 private:
  RenderWindow& window_;
  std::unique_ptr<ScaledFrame> scaledFrame_;
  bool scaledFrameRefused_ = false;
  bool drawingScaled_ = false;
  std::unique_ptr<GpuFrameTimer> timer_;
};

// A window's part in a frame: its stages and the window's size.
struct FramePart {
  WindowFrame* frame = nullptr;
  FrameSize window;
};
