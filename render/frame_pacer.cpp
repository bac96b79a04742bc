#include "render/frame_pacer.h"

#include <algorithm>
#include <thread>

FramePacer::FramePacer(int refreshRateHz)
    : period_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / (refreshRateHz > 0 ? refreshRateHz : kFallbackRefreshRateHz)))) {}

FramePacer::Clock::time_point FramePacer::NextDeadline(Clock::time_point now) const {
  if (deadline_ == Clock::time_point{}) return now;
  return std::max(deadline_ + period_, now);
}

void FramePacer::WaitForNextFrame() {
  deadline_ = NextDeadline(Clock::now());
  std::this_thread::sleep_until(deadline_);
}
