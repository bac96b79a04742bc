#include "render/frame_cycle.h"

#include "platform/display_power.h"
#include "platform/software_renderer.h"
#include "render/gpu_frame_timer.h"
#include "render/render_window.h"
#include "render/scaled_frame.h"

namespace {

using Seconds = std::chrono::duration<double>;

double SecondsOf(FramePacer::Clock::time_point time) { return Seconds(time.time_since_epoch()).count(); }

// A software renderer is given 50 ms a frame (20 frames a second still read
// as motion); hardware the display's refresh period with headroom, so that
// the refresh rate holds.
double BudgetSeconds(bool software, int refreshRateHz) {
  if (software) return kFrameBudgetSeconds;
  const int hz = refreshRateHz > 0 ? refreshRateHz : kFallbackRefreshRateHz;
  return kHardwareBudgetShareOfPeriod / hz;
}

}  // namespace

FrameCycle::FrameCycle(RenderWindow& window, int refreshRateHz)
    : window_(window),
      pacer_(refreshRateHz),
      budget_(BudgetSeconds(CurrentRendererIsSoftware(), refreshRateHz)),
      timer_(GpuFrameTimer::Create()),
      frameStart_(FramePacer::Clock::now()),
      displayPower_(DisplayPower::Watch()) {}

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
  if (probesLeft_ > 0 && BeginProbe(window)) return probeSize_;
  probesLeft_ = 0;
  const FrameSize size = budget_.TargetSize(window);
  drawingScaled_ = size != window && BindScaledTarget(size);
  // The window itself, where the probes or a larger picture left the
  // picture's target bound.
  if (!drawingScaled_ && scaledFrame_) glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (timer_) timer_->Begin(budget_.rung());
  return drawingScaled_ ? size : window;
}

// The probe is drawn at the smallest size into the picture's own target and
// never shown; the first is not counted, since it pays for compiling the
// shader's code for the renderer. glFinish waits for it: its cost per pixel
// (an overestimate, with the frame's fixed part in it) sizes the first frame
// that is shown.
bool FrameCycle::BeginProbe(FrameSize window) {
  probeSize_ = ScaledFrameSize(window, RungScale(LowestUsefulRung(window)));
  if (probeSize_.width <= 0 || probeSize_.height <= 0 || !BindScaledTarget(probeSize_)) return false;
  glFinish();
  probeStart_ = FramePacer::Clock::now();
  return true;
}

void FrameCycle::EndProbe(FrameSize window) {
  glFinish();
  const double seconds = Seconds(FramePacer::Clock::now() - probeStart_).count();
  if (--probesLeft_ > 0) return;
  budget_.StartFromProbe(seconds / (static_cast<double>(probeSize_.width) * probeSize_.height), window);
}

// The picture's target is made when a picture smaller than the window is
// first wanted; where the GL cannot make one, frames are drawn at the
// window's size from then on.
bool FrameCycle::BindScaledTarget(FrameSize size) {
  if (!scaledFrame_ && !scaledFrameRefused_) {
    scaledFrame_ = ScaledFrame::Create();
    scaledFrameRefused_ = !scaledFrame_;
  }
  if (scaledFrame_ && scaledFrame_->BindForDrawing(size)) return true;
  // A target the GL refused once is not asked for again.
  scaledFrame_.reset();
  scaledFrameRefused_ = true;
  return false;
}

// The budget counts a frame's work only, up to its presentation: the wait for
// the refresh after it is not the renderer's cost.
void FrameCycle::Present(FrameSize window) {
  if (paused_) return;
  if (probesLeft_ > 0) {
    EndProbe(window);
    return;
  }
  if (drawingScaled_) scaledFrame_->StretchTo(window);
  if (timer_) timer_->End();
  window_.SwapBuffers();
  if (!scaledFrameRefused_) RecordFrameTimes(FramePacer::Clock::now(), window);
}

void FrameCycle::WaitForNext() {
  if (paused_) {
    window_.WaitEvents(kPausedWaitSeconds);
    return;
  }
  if (probesLeft_ > 0) return;
  pacer_.WaitForNextFrame();
  frameStart_ = FramePacer::Clock::now();
}

bool FrameCycle::FrameIsSeen() { return window_.events().IsSeen() && DisplayIsOn(FramePacer::Clock::now()); }

bool FrameCycle::DisplayIsOn(FramePacer::Clock::time_point now) {
  if (displayAskedAt_ == FramePacer::Clock::time_point{} ||
      Seconds(now - displayAskedAt_).count() >= kDisplayPowerPeriodSeconds) {
    displayOn_ = displayPower_->IsOn();
    displayAskedAt_ = now;
  }
  return displayOn_;
}

// The GPU's own times where it keeps them, each counted for the size it was
// drawn at (its answer comes a frame or two later); else the CPU's, from the
// end of the wait for the refresh to the end of the swap.
void FrameCycle::RecordFrameTimes(FramePacer::Clock::time_point presented, FrameSize window) {
  const double now = SecondsOf(presented);
  if (!timer_) {
    budget_.RecordFrame(now, Seconds(presented - frameStart_).count(), window);
    return;
  }
  double seconds = 0;
  int rung = 0;
  while (timer_->TakeResult(&seconds, &rung)) {
    if (rung == budget_.rung()) budget_.RecordFrame(now, seconds, window);
  }
}
