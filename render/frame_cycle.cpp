#include "render/frame_cycle.h"

#include "platform/display_power.h"
#include "platform/software_renderer.h"
#include "render/render_window.h"
#include "render/scaled_frame.h"

// A hardware renderer draws every frame at the window's size, straight into
// the window. A software one takes a third of a second for a 1280x720 frame
// on two cores, so it draws a picture sized to the frame budget instead.
FrameCycle::FrameCycle(RenderWindow& window, int refreshRateHz)
    : window_(window),
      pacer_(refreshRateHz),
      frameStart_(FramePacer::Clock::now()),
      displayPower_(DisplayPower::Watch()) {
  if (CurrentRendererIsSoftware()) scaledFrame_ = ScaledFrame::Create();
}

FrameCycle::~FrameCycle() = default;

FrameSize FrameCycle::Begin(FrameSize window) {
  if (!FrameIsSeen()) {
    paused_ = true;
    return FrameSize{};
  }
  // The pause was no frame: the budget times the next one from now, and the
  // pacer starts it at once without catching up.
  if (paused_) frameStart_ = FramePacer::Clock::now();
  paused_ = false;
  const FrameSize size = scaledFrame_ ? budget_.TargetSize(window) : window;
  drawingScaled_ = size != window && scaledFrame_->BindForDrawing(size);
  if (drawingScaled_) return size;
  // A target the GL refused once is not asked for again.
  if (size != window) scaledFrame_.reset();
  return window;
}

// The budget counts a frame's work only, up to its presentation: the wait for
// the refresh after it is not the renderer's cost.
void FrameCycle::Present(FrameSize window) {
  if (paused_) return;
  if (drawingScaled_) scaledFrame_->StretchTo(window);
  window_.SwapBuffers();
  if (scaledFrame_) RecordFrameTime(FramePacer::Clock::now(), window);
}

void FrameCycle::WaitForNext() {
  if (paused_) {
    window_.WaitEvents(kPausedWaitSeconds);
    return;
  }
  pacer_.WaitForNextFrame();
  frameStart_ = FramePacer::Clock::now();
}

bool FrameCycle::FrameIsSeen() { return window_.events().IsSeen() && DisplayIsOn(FramePacer::Clock::now()); }

bool FrameCycle::DisplayIsOn(FramePacer::Clock::time_point now) {
  using Seconds = std::chrono::duration<double>;
  if (displayAskedAt_ == FramePacer::Clock::time_point{} ||
      Seconds(now - displayAskedAt_).count() >= kDisplayPowerPeriodSeconds) {
    displayOn_ = displayPower_->IsOn();
    displayAskedAt_ = now;
  }
  return displayOn_;
}

void FrameCycle::RecordFrameTime(FramePacer::Clock::time_point presented, FrameSize window) {
  using Seconds = std::chrono::duration<double>;
  const double now = Seconds(presented.time_since_epoch()).count();
  budget_.RecordFrame(now, Seconds(presented - frameStart_).count(), window);
}
