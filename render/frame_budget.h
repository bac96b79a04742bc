#pragma once

#include <vector>

// The scene's cost grows with the pixels shaded: on a software rasteriser
// about half a microsecond a pixel on two cores (a 1280x720 frame takes a
// third of a second), on an integrated GPU at 4K or 8K more than a refresh
// period. The frame budget picks how large a picture to shade so that the
// window still shows a moving scene; the picture is then stretched to the
// window. All of it is plain arithmetic over measured frame times, so that
// the choice can be followed frame by frame.

struct FrameSize {
  int width = 0;
  int height = 0;
  bool operator==(const FrameSize& other) const { return width == other.width && height == other.height; }
  bool operator!=(const FrameSize& other) const { return !(*this == other); }
};

// The slowest a frame may take on a software renderer: 20 frames a second
// still reads as motion.
constexpr double kFrameBudgetSeconds = 1.0 / 20;
// On hardware the budget is the display's refresh period with headroom, so
// that the refresh rate holds.
constexpr double kHardwareBudgetShareOfPeriod = 0.9;
// Steps down aim this far below the budget, so that ordinary jitter around
// the chosen size does not cross the budget again.
constexpr double kStepDownShare = 0.8;
// A step up is taken only when the larger size is predicted to stay this far
// below the budget. The gap between the two targets is wider than one rung,
// so a size reached by either step is not undone by the other.
constexpr double kStepUpShare = 0.7;
constexpr double kStepDownTarget = kStepDownShare * kFrameBudgetSeconds;
constexpr double kStepUpTarget = kStepUpShare * kFrameBudgetSeconds;
// No frame is ever sized beyond this much predicted work: on Windows a GPU
// submission of over two seconds resets the driver, and a screen that shows
// nothing for seconds looks broken.
constexpr double kLongestPredictedWorkSeconds = 0.1;
// Each rung shades half as many pixels as the rung two above it: a step takes
// a sixth off each side, small enough not to jump at the eye.
constexpr int kRungsPerHalving = 4;
// Down to a 128th of each side; the minimum short side stops the descent
// first on any screen up to 8K and beyond.
constexpr int kRungCount = 29;
// Below this shorter side the stretched picture is mere blur; a window that
// small is drawn at its own size.
constexpr int kMinimumShortSide = 96;
// Frames that count as evidence: the first one at a new size pays for the
// new target's allocation (and the very first one for compiling shaders).
constexpr int kFramesIgnoredAfterChange = 1;
// Frames over budget needed before a step down. Two frames four times over
// budget are enough: that is no hiccup.
constexpr int kFramesForStepDown = 3;
constexpr int kFramesForFastStepDown = 2;
constexpr double kFastStepDownFactor = 4.0;
// A step up needs this much time at the current size, and doubles it each
// time a step up had to be taken back, up to the longest hold.
constexpr double kFirstStepUpHoldSeconds = 3.0;
constexpr double kLongestStepUpHoldSeconds = 48.0;
constexpr int kFramesForStepUp = 8;
// The recent frames that a decision looks at.
constexpr int kFrameHistory = 16;
// How long the smallest picture must have been too slow before the other
// monitors are given up.
constexpr double kOverwhelmedHoldSeconds = 10.0;

// The scale of each side at a rung: rung 0 is the window's own size.
double RungScale(int rung);

// The picture size for a window at a scale: both sides scaled alike, never
// larger than the window, the shorter side no less than kMinimumShortSide
// (or the window's, where that is smaller), never empty.
FrameSize ScaledFrameSize(FrameSize window, double scale);

// The windows one frame is drawn into (one per monitor that shows the scene,
// the primary's first): the budget is one for all of them, each drawn at
// the same rung of its own size.
using FrameWindows = std::vector<FrameSize>;

// The lowest rung that still gives a picture different from the one above:
// for several windows, in any of them.
int LowestUsefulRung(FrameSize window);
int LowestUsefulRung(const FrameWindows& windows);

// The middle of the measured times (the upper middle for an even count).
double MedianSeconds(std::vector<double> seconds);

// A frame's measured work time at a scale of the window's sides.
struct CostSample {
  double scale = 0;
  double seconds = 0;
};

// The time a frame is predicted to take at `toScale`. From one sample, the
// whole cost follows the pixels shaded. From two, the line through both also
// finds the part that does not shrink with the picture (the stretch to the
// window and the presentation, a third of the frame or more on a loaded
// machine); the prediction always passes through `here`, the fresher sample.
double PredictedSeconds(CostSample here, double toScale);
double PredictedSeconds(CostSample here, CostSample other, double toScale);

class FrameBudget {
 public:
  explicit FrameBudget(double budgetSeconds = kFrameBudgetSeconds) : budget_(budgetSeconds) {}
  // A new primary monitor brings its own refresh period.
  void SetBudgetSeconds(double budgetSeconds) { budget_ = budgetSeconds; }

  // Where to start, before any frame was drawn: the largest size that a
  // probe's cost per pixel predicts within the step-down target (and never
  // beyond kLongestPredictedWorkSeconds), so that even the first frame at 8K
  // on a software renderer comes quickly. Every window's pixels count.
  void StartFromProbe(double secondsPerPixel, const FrameWindows& windows);
  void StartFromProbe(double secondsPerPixel, FrameSize window) {
    StartFromProbe(secondsPerPixel, FrameWindows{window});
  }

  // The size to draw at for a window; starts at the window's own size.
  FrameSize TargetSize(FrameSize window) const { return ScaledFrameSize(window, RungScale(rung_)); }
  int rung() const { return rung_; }

  // Takes one frame's work time (its drawing and presentation, not the wait
  // for the next refresh), measured at `now` seconds on a steady clock, for
  // a frame drawn at TargetSize(window) in each window (the work summed
  // over them). Says whether the rung has changed. A window of a new size, or
  // one more or fewer, starts the evidence afresh.
  bool RecordFrame(double now, double workSeconds, const FrameWindows& windows);
  bool RecordFrame(double now, double workSeconds, FrameSize window) {
    return RecordFrame(now, workSeconds, FrameWindows{window});
  }

  // True when even the smallest picture, with every window drawing, has
  // taken longer than a twentieth of a second (the median of the recent
  // frames) for kOverwhelmedHoldSeconds: the renderer cannot afford the scene
  // on this many monitors, and the others are better black. A passing load
  // on the machine is no reason.
  bool OverwhelmedAtLowestRung(double now) const;

 private:
  bool StepDownIsDue() const;
  bool StepUpIsDue(double now) const;
  double PredictedAt(int rung) const;
  int RungFitting(double target) const;
  void MoveTo(int rung, double now);

  double StepDownTarget() const { return kStepDownShare * budget_; }
  double StepUpTarget() const { return kStepUpShare * budget_; }

  double budget_;
  int rung_ = 0;
  bool reachedByStepUp_ = false;
  double rungSince_ = 0;
  bool started_ = false;
  int ignoredLeft_ = kFramesIgnoredAfterChange;
  double stepUpHold_ = kFirstStepUpHoldSeconds;
  FrameWindows windows_;
  int lowest_ = 0;
  std::vector<double> recent_;
  // The median work time last seen at each rung for this window; 0 where
  // none was seen.
  std::vector<double> seenAt_ = std::vector<double>(kRungCount, 0.0);
};
