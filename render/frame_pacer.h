#pragma once

#include <chrono>

// Keeps presentation at or below the display's refresh rate even where the
// driver ignores the swap interval (Xvfb, some drivers): a screensaver must
// not spin a GPU, or a CPU rasteriser, at hundreds of frames per second.
// Where the swap does wait for the refresh, the pacer's deadline has already
// passed when it is asked and it does not sleep.
class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit FramePacer(int refreshRateHz);

  // Sleeps until one refresh period after the previous frame's deadline. A
  // frame that took longer than a period starts the next one at once; missed
  // time is never caught up with a burst.
  void WaitForNextFrame();

  // The deadline that the next wait sleeps until, given the current time.
  Clock::time_point NextDeadline(Clock::time_point now) const;

  Clock::duration period() const { return period_; }

 private:
  Clock::duration period_;
  Clock::time_point deadline_{};
};

// The refresh rate to pace at when the monitor reports none.
constexpr int kFallbackRefreshRateHz = 60;
