#include "render/frame_budget.h"

#include <algorithm>
#include <cmath>

double RungScale(int rung) { return std::pow(2.0, -static_cast<double>(rung) / kRungsPerHalving); }

FrameSize ScaledFrameSize(FrameSize window, double scale) {
  if (window.width <= 0 || window.height <= 0) return window;
  const int shortSide = std::min(window.width, window.height);
  const double smallestScale = std::min(1.0, static_cast<double>(kMinimumShortSide) / shortSide);
  const double used = std::clamp(scale, smallestScale, 1.0);
  FrameSize size;
  size.width = std::clamp(static_cast<int>(std::lround(window.width * used)), 1, window.width);
  size.height = std::clamp(static_cast<int>(std::lround(window.height * used)), 1, window.height);
  return size;
}

int LowestUsefulRung(FrameSize window) {
  int rung = 0;
  while (rung + 1 < kRungCount &&
         ScaledFrameSize(window, RungScale(rung + 1)) != ScaledFrameSize(window, RungScale(rung)))
    ++rung;
  return rung;
}

int LowestUsefulRung(const FrameWindows& windows) {
  int lowest = 0;
  for (FrameSize window : windows) lowest = std::max(lowest, LowestUsefulRung(window));
  return lowest;
}

double MedianSeconds(std::vector<double> seconds) {
  if (seconds.empty()) return 0;
  const auto middle = seconds.begin() + static_cast<std::ptrdiff_t>(seconds.size() / 2);
  std::nth_element(seconds.begin(), middle, seconds.end());
  return *middle;
}

double PredictedSeconds(CostSample here, double toScale) {
  const double ratio = toScale / here.scale;
  return here.seconds * ratio * ratio;
}

double PredictedSeconds(CostSample here, CostSample other, double toScale) {
  const double herePixels = here.scale * here.scale;
  const double pixelsApart = other.scale * other.scale - herePixels;
  if (pixelsApart == 0) return PredictedSeconds(here, toScale);
  // Noise can tilt the line either way: a frame never costs less for more
  // pixels, nor has a fixed part larger than itself.
  const double perPixel = std::max(0.0, (other.seconds - here.seconds) / pixelsApart);
  const double fixed = std::clamp(here.seconds - perPixel * herePixels, 0.0, here.seconds);
  return fixed + (here.seconds - fixed) * (toScale * toScale) / herePixels;
}

namespace {

double PixelsAt(const FrameWindows& windows, int rung) {
  double pixels = 0;
  for (FrameSize window : windows) {
    const FrameSize size = ScaledFrameSize(window, RungScale(rung));
    pixels += static_cast<double>(size.width) * size.height;
  }
  return pixels;
}

}  // namespace

void FrameBudget::StartFromProbe(double secondsPerPixel, const FrameWindows& windows) {
  const double target = std::min(StepDownTarget(), kLongestPredictedWorkSeconds);
  const int lowest = LowestUsefulRung(windows);
  rung_ = lowest;
  for (int rung = 0; rung < lowest; ++rung) {
    if (secondsPerPixel * PixelsAt(windows, rung) <= target) {
      rung_ = rung;
      break;
    }
  }
}

bool FrameBudget::RecordFrame(double now, double workSeconds, const FrameWindows& windows) {
  if (!started_ || windows != windows_) {
    started_ = true;
    windows_ = windows;
    lowest_ = LowestUsefulRung(windows);
    std::fill(seenAt_.begin(), seenAt_.end(), 0.0);
    recent_.clear();
    MoveTo(std::min(rung_, lowest_), now);
  }
  if (ignoredLeft_ > 0) {
    --ignoredLeft_;
    return false;
  }
  recent_.push_back(workSeconds);
  if (static_cast<int>(recent_.size()) > kFrameHistory) recent_.erase(recent_.begin());

  if (rung_ < lowest_ && StepDownIsDue()) {
    const int fitting = RungFitting(StepDownTarget());
    // A step up that had to be taken back was tried too eagerly.
    if (reachedByStepUp_) stepUpHold_ = std::min(2 * stepUpHold_, kLongestStepUpHoldSeconds);
    reachedByStepUp_ = false;
    MoveTo(std::max(fitting, rung_ + 1), now);
    return true;
  }
  if (rung_ > 0 && StepUpIsDue(now)) {
    reachedByStepUp_ = true;
    MoveTo(rung_ - 1, now);
    return true;
  }
  return false;
}

bool FrameBudget::StepDownIsDue() const {
  const int count = static_cast<int>(recent_.size());
  if (count >= kFramesForFastStepDown) {
    const auto lastTwo = recent_.end() - kFramesForFastStepDown;
    const double slow = kFastStepDownFactor * budget_;
    if (std::all_of(lastTwo, recent_.end(), [slow](double s) { return s > slow; })) return true;
  }
  if (count < kFramesForStepDown) return false;
  const std::vector<double> last(recent_.end() - kFramesForStepDown, recent_.end());
  return MedianSeconds(last) > budget_;
}

bool FrameBudget::OverwhelmedAtLowestRung(double now) const {
  if (!started_ || rung_ < lowest_ || now - rungSince_ < kOverwhelmedHoldSeconds) return false;
  return static_cast<int>(recent_.size()) >= kFrameHistory && MedianSeconds(recent_) > kFrameBudgetSeconds;
}

bool FrameBudget::StepUpIsDue(double now) const {
  if (now - rungSince_ < stepUpHold_ || static_cast<int>(recent_.size()) < kFramesForStepUp) return false;
  return PredictedAt(rung_ - 1) <= StepUpTarget();
}

// From the frames at this rung and, where another rung was seen, the one
// nearest to `rung` in size.
double FrameBudget::PredictedAt(int rung) const {
  const CostSample here{RungScale(rung_), MedianSeconds(recent_)};
  int nearest = -1;
  for (int seen = 0; seen < kRungCount; ++seen)
    if (seen != rung_ && seenAt_[seen] > 0 && (nearest < 0 || std::abs(seen - rung) < std::abs(nearest - rung)))
      nearest = seen;
  if (nearest < 0) return PredictedSeconds(here, RungScale(rung));
  return PredictedSeconds(here, CostSample{RungScale(nearest), seenAt_[nearest]}, RungScale(rung));
}

// The largest size predicted to fit `target`, at the lowest rung if none does.
int FrameBudget::RungFitting(double target) const {
  for (int rung = rung_; rung < lowest_; ++rung)
    if (PredictedAt(rung) <= target) return rung;
  return lowest_;
}

void FrameBudget::MoveTo(int rung, double now) {
  if (!recent_.empty()) seenAt_[rung_] = MedianSeconds(recent_);
  rung_ = rung;
  rungSince_ = now;
  ignoredLeft_ = kFramesIgnoredAfterChange;
  recent_.clear();
}
