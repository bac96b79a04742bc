#include "render/frame_cycle.h"

#include <algorithm>

#include "platform/display_power.h"
#include "platform/gl.h"
#include "platform/software_renderer.h"
#include "render/render_window.h"

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
      software_(CurrentRendererIsSoftware()),
      pacer_(refreshRateHz),
      budget_(BudgetSeconds(software_, refreshRateHz)),
      frame_(window),
      frameStart_(FramePacer::Clock::now()),
      displayPower_(DisplayPower::Watch()) {
  // The scene sets up its own context's state as it is made.
  frame_.scenePrepared = true;
}

FrameCycle::~FrameCycle() = default;

void FrameCycle::FollowRefreshRate(int refreshRateHz) {
  pacer_ = FramePacer(refreshRateHz);
  budget_.SetBudgetSeconds(BudgetSeconds(software_, refreshRateHz));
}

bool FrameCycle::OthersCannotBeAfforded() const {
  return drawnWindows_.size() > 1 && budget_.OverwhelmedAtLowestRung(SecondsOf(FramePacer::Clock::now()));
}

bool FrameCycle::IsSeen(const FramePart& part) const { return part.frame->window().events().IsSeen(); }

void FrameCycle::Draw(FrameSize window, const std::vector<FramePart>& others, const SceneDrawing& scene) {
  drawn_.clear();
  drawnWindows_.clear();
  probing_ = false;
  std::vector<FramePart> parts{FramePart{&frame_, window}};
  parts.insert(parts.end(), others.begin(), others.end());
  std::copy_if(parts.begin(), parts.end(), std::back_inserter(drawn_),
               [this](const FramePart& p) { return IsSeen(p); });
  if (drawn_.empty() || !DisplayIsOn(FramePacer::Clock::now())) {
    drawn_.clear();
    paused_ = true;
    return;
  }
  // The pause was no frame: the budget times the next one from now, and the
  // pacer starts it at once without catching up.
  if (paused_) frameStart_ = FramePacer::Clock::now();
  paused_ = false;
  if (probesLeft_ > 0 && BeginProbe(window)) {
    probing_ = true;
    // The windows the first frames will be drawn into.
    probeWindows_ = FrameWindows{window};
    for (const FramePart& part : drawn_)
      if (part.frame != &frame_) probeWindows_.push_back(part.window);
    drawn_.clear();
    scene.draw(probeSize_);
    return;
  }
  probesLeft_ = 0;

  ++serial_;
  timedByGpu_ = std::all_of(drawn_.begin(), drawn_.end(), [](const FramePart& p) { return p.frame->IsTimedByGpu(); });
  if (timedByGpu_) tally_.Open(serial_, budget_.rung(), static_cast<int>(drawn_.size()));
  for (const FramePart& part : drawn_) {
    drawnWindows_.push_back(part.window);
    DrawPart(part, scene);
  }
  window_.MakeContextCurrent();
}

void FrameCycle::DrawPart(const FramePart& part, const SceneDrawing& scene) {
  WindowFrame& frame = *part.frame;
  frame.window().MakeContextCurrent();
  if (!frame.scenePrepared) {
    scene.prepare();
    frame.scenePrepared = true;
  }
  const FrameSize size = frame.Begin(budget_.TargetSize(part.window), part.window, serial_);
  scene.draw(size);
  frame.End(part.window);
  CollectGpuTimes(frame);
}

// Each context's answers are read while it is current, a frame or two after
// they were asked for.
void FrameCycle::CollectGpuTimes(WindowFrame& frame) {
  double seconds = 0;
  int serial = 0;
  while (frame.TakeTime(&seconds, &serial))
    if (timedByGpu_) tally_.Add(serial, seconds);
}

// The probe is drawn at the smallest size into the picture's own target and
// never shown; the first is not counted, since it pays for compiling the
// shader's code for the renderer. glFinish waits for it: its cost per pixel
// (an overestimate, with the frame's fixed part in it) sizes the first frame
// that is shown, in every window the frame will be drawn into.
bool FrameCycle::BeginProbe(FrameSize window) {
  probeSize_ = ScaledFrameSize(window, RungScale(LowestUsefulRung(window)));
  if (probeSize_.width <= 0 || probeSize_.height <= 0 || !frame_.BindScaledTarget(probeSize_)) return false;
  glFinish();
  probeStart_ = FramePacer::Clock::now();
  return true;
}

void FrameCycle::EndProbe() {
  glFinish();
  const double seconds = Seconds(FramePacer::Clock::now() - probeStart_).count();
  if (--probesLeft_ > 0) return;
  budget_.StartFromProbe(seconds / (static_cast<double>(probeSize_.width) * probeSize_.height), probeWindows_);
}

// The budget counts a frame's work only, up to its presentation: the wait for
// the refresh after it is not the renderer's cost.
void FrameCycle::Present() {
  if (paused_) return;
  if (probing_) {
    EndProbe();
    return;
  }
  for (const FramePart& part : drawn_) {
    if (part.frame == &frame_) continue;
    part.frame->window().MakeContextCurrent();
    part.frame->window().SwapBuffers();
  }
  window_.MakeContextCurrent();
  if (drawn_.front().frame == &frame_) window_.SwapBuffers();
  if (!frame_.ScaledTargetRefused()) RecordFrameTimes(FramePacer::Clock::now());
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

bool FrameCycle::DisplayIsOn(FramePacer::Clock::time_point now) {
  if (displayAskedAt_ == FramePacer::Clock::time_point{} ||
      Seconds(now - displayAskedAt_).count() >= kDisplayPowerPeriodSeconds) {
    displayOn_ = displayPower_->IsOn();
    displayAskedAt_ = now;
  }
  return displayOn_;
}

// The GPU's own times where every window's context keeps them, each frame
// counted for the size it was drawn at (its answers come a frame or two
// later); else the CPU's, from the end of the wait for the refresh to the end
// of the last swap.
void FrameCycle::RecordFrameTimes(FramePacer::Clock::time_point presented) {
  const double now = SecondsOf(presented);
  if (!timedByGpu_) {
    budget_.RecordFrame(now, Seconds(presented - frameStart_).count(), drawnWindows_);
    return;
  }
  double seconds = 0;
  int rung = 0;
  while (tally_.TakeComplete(&seconds, &rung))
    if (rung == budget_.rung()) budget_.RecordFrame(now, seconds, drawnWindows_);
}
