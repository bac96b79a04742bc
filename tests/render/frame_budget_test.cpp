#include "render/frame_budget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr double kRefreshPeriod = 1.0 / 60;
// A software rasteriser on two cores: a fixed cost for the stretch and the
// presentation, and the scene's cost for each pixel shaded.
constexpr double kFixedSeconds = 0.006;
constexpr double kSecondsPerPixel = 0.37e-6;

const FrameSize k720p{1280, 720};
const FrameSize k1080p{1920, 1080};

double Pixels(FrameSize size) { return static_cast<double>(size.width) * size.height; }

double SoftwareCost(FrameSize size) { return kFixedSeconds + kSecondsPerPixel * Pixels(size); }

// Up to a fifth either way, as other programs come and go: the same sequence
// every run.
double Jitter() {
  static unsigned state = 12345;
  state = state * 1103515245u + 12345u;
  return 0.8 + 0.4 * static_cast<double>((state >> 8) & 0xFFFF) / 0xFFFF;
}

struct Change {
  double time;
  int rung;
};

// Runs the loop for `seconds` of a steady clock: each frame takes what `cost`
// says for the size the budget chose, and never less than a refresh period.
struct SimulatedRun {
  FrameBudget budget;
  double now = 0;
  std::vector<Change> changes;
  std::vector<double> frameTimes;  // work time of every frame, in order

  void For(double seconds, FrameSize window, const std::function<double(FrameSize, double)>& cost) {
    const double end = now + seconds;
    while (now < end) {
      const double work = cost(budget.TargetSize(window), now);
      now += std::max(work, kRefreshPeriod);
      frameTimes.push_back(work);
      if (budget.RecordFrame(now, work, window)) changes.push_back({now, budget.rung()});
    }
  }
  void For(double seconds, FrameSize window) {
    For(seconds, window, [](FrameSize size, double) { return SoftwareCost(size); });
  }
};

TEST(ScaledFrameSize, KeepsTheWindowsAspectAndNeverExceedsIt) {
  for (FrameSize window : {k720p, k1080p, FrameSize{1024, 768}, FrameSize{2560, 1080}, FrameSize{600, 1000}}) {
    for (int rung = 0; rung < kRungCount; ++rung) {
      const FrameSize size = ScaledFrameSize(window, RungScale(rung));
      ASSERT_LE(size.width, window.width);
      ASSERT_LE(size.height, window.height);
      // Both sides are rounded from one scale: some scale lies within half a
      // pixel of each.
      const double lowest = std::max((size.width - 0.5) / window.width, (size.height - 0.5) / window.height);
      const double highest = std::min((size.width + 0.5) / window.width, (size.height + 0.5) / window.height);
      EXPECT_LE(lowest, highest) << window.width << "x" << window.height << " rung " << rung;
    }
  }
  EXPECT_EQ(ScaledFrameSize(k720p, 1.0), k720p);
  EXPECT_EQ(ScaledFrameSize(k720p, 0.5), (FrameSize{640, 360}));
  EXPECT_EQ(ScaledFrameSize(k720p, 4.0), k720p);
}

TEST(ScaledFrameSize, StopsAtTheMinimumShortSide) {
  EXPECT_EQ(ScaledFrameSize(k720p, 0.01), (FrameSize{171, kMinimumShortSide}));
  EXPECT_EQ(ScaledFrameSize(FrameSize{600, 1000}, 0.01), (FrameSize{kMinimumShortSide, 160}));
  // A window already that small is drawn at its own size.
  EXPECT_EQ(ScaledFrameSize(FrameSize{128, 72}, 0.25), (FrameSize{128, 72}));
  EXPECT_EQ(ScaledFrameSize(FrameSize{0, 0}, 0.5), (FrameSize{0, 0}));
  EXPECT_EQ(LowestUsefulRung(FrameSize{128, 72}), 0);
  const int lowest = LowestUsefulRung(k720p);
  EXPECT_GT(ScaledFrameSize(k720p, RungScale(lowest - 1)).height, kMinimumShortSide);
  EXPECT_EQ(ScaledFrameSize(k720p, RungScale(lowest)).height, kMinimumShortSide);
}

TEST(ScaledFrameSize, RungsHalveThePixelsEveryTwoSteps) {
  for (int rung = 0; rung + 2 < kRungCount; ++rung)
    EXPECT_NEAR(RungScale(rung + 2) * RungScale(rung + 2), RungScale(rung) * RungScale(rung) / 2, 1e-12);
  EXPECT_DOUBLE_EQ(RungScale(0), 1.0);
  EXPECT_DOUBLE_EQ(PredictedSeconds(CostSample{1.0, 0.1}, 0.5), 0.025);
  EXPECT_DOUBLE_EQ(MedianSeconds({0.3, 0.1, 0.2}), 0.2);
  EXPECT_DOUBLE_EQ(MedianSeconds({}), 0.0);
}

// Two samples on the line 0.02 s + 0.2 s per window of pixels.
TEST(PredictedSeconds, TwoSamplesFindTheFixedPart) {
  const CostSample half{0.5, 0.02 + 0.2 * 0.25};
  const CostSample full{1.0, 0.22};
  EXPECT_NEAR(PredictedSeconds(half, full, 0.25), 0.02 + 0.2 / 16, 1e-12);
  EXPECT_NEAR(PredictedSeconds(full, half, 0.0), 0.02, 1e-12);
  // Noise that would make more pixels cheaper, or the fixed part larger than
  // the frame, is bounded; the same scale twice says nothing more than once.
  EXPECT_NEAR(PredictedSeconds(half, CostSample{1.0, 0.05}, 1.0), 0.07, 1e-12);
  EXPECT_NEAR(PredictedSeconds(half, CostSample{1.0, 0.0}, 1.0), 0.07, 1e-12);
  EXPECT_NEAR(PredictedSeconds(half, CostSample{0.5, 0.3}, 1.0), PredictedSeconds(half, 1.0), 1e-12);
  EXPECT_NEAR(PredictedSeconds(full, CostSample{0.25, 0.0}, 0.5), 0.22 / 4, 1e-12);
}

TEST(FrameBudget, AFastRendererKeepsTheWindowsSize) {
  SimulatedRun run;
  run.For(60, k1080p, [](FrameSize, double) { return 0.004; });
  EXPECT_TRUE(run.changes.empty());
  EXPECT_EQ(run.budget.TargetSize(k1080p), k1080p);
}

// The first steps come within seconds; after that the size holds still.
TEST(FrameBudget, SettlesWithinTheBudgetAndStaysThere) {
  for (FrameSize window : {k720p, k1080p}) {
    SimulatedRun run;
    const auto cost = [](FrameSize size, double) { return SoftwareCost(size) * Jitter(); };
    run.For(10, window, cost);
    ASSERT_FALSE(run.changes.empty());
    EXPECT_LT(run.changes.front().time, 3.0);
    const int settled = run.budget.rung();
    const size_t changesSoFar = run.changes.size();
    EXPECT_LE(changesSoFar, 4u);
    run.For(120, window, cost);
    EXPECT_EQ(run.changes.size(), changesSoFar) << "the size kept changing";
    EXPECT_EQ(run.budget.rung(), settled);
    EXPECT_LE(SoftwareCost(run.budget.TargetSize(window)), kFrameBudgetSeconds);
    // And it is not needlessly small: the size above would not fit the budget
    // with room to spare.
    const FrameSize above = ScaledFrameSize(window, RungScale(settled - 1));
    EXPECT_GT(SoftwareCost(above), kStepUpTarget);
  }
}

// The stretch and the presentation of a full window take as long as the
// scene at a small size: the picture settles larger than the minimum, yet
// within the budget.
TEST(FrameBudget, AccountsForTheCostThatDoesNotShrink) {
  for (FrameSize window : {k720p, k1080p}) {
    SimulatedRun run;
    const auto cost = [](FrameSize size, double) { return 0.025 + kSecondsPerPixel * Pixels(size); };
    run.For(60, window, cost);
    const size_t changes = run.changes.size();
    EXPECT_LE(changes, 4u);
    run.For(60, window, cost);
    EXPECT_EQ(run.changes.size(), changes);
    const FrameSize size = run.budget.TargetSize(window);
    EXPECT_LE(cost(size, 0), kFrameBudgetSeconds);
    EXPECT_GT(size.height, kMinimumShortSide);
  }
}

TEST(FrameBudget, OneSlowFrameChangesNothing) {
  SimulatedRun run;
  run.For(10, k720p);
  const size_t settledChanges = run.changes.size();
  bool hiccupDone = false;
  run.For(20, k720p, [&hiccupDone](FrameSize size, double) {
    if (hiccupDone) return SoftwareCost(size);
    hiccupDone = true;
    return 0.8;
  });
  EXPECT_EQ(run.changes.size(), settledChanges);
}

// Another program takes the cores for a while: the picture shrinks at once,
// and grows back only after seconds of frames that show room for it.
TEST(FrameBudget, StepsBackUpOnlyAfterSecondsOfEvidence) {
  SimulatedRun run;
  run.For(10, k720p);
  const int settled = run.budget.rung();
  const size_t first = run.changes.size();
  const double loadEnds = run.now + 4;
  run.For(30, k720p, [loadEnds](FrameSize size, double now) { return SoftwareCost(size) * (now < loadEnds ? 3 : 1); });
  ASSERT_GE(run.changes.size(), first + 2);
  EXPECT_LE(SoftwareCost(run.budget.TargetSize(k720p)), kFrameBudgetSeconds);
  EXPECT_LT(run.changes[first].time, loadEnds - 3) << "no step down while the load lasted";
  int lowest = settled;
  for (size_t i = first; i < run.changes.size(); ++i) {
    lowest = std::max(lowest, run.changes[i].rung);
    const int before = i == first ? settled : run.changes[i - 1].rung;
    const double since = i == first ? 0.0 : run.changes[i - 1].time;
    if (run.changes[i].rung < before) {
      EXPECT_GE(run.changes[i].time - since, kFirstStepUpHoldSeconds);
    }
  }
  EXPECT_GT(lowest, run.budget.rung()) << "never stepped back up";
  EXPECT_LE(run.budget.rung(), settled + 1);
}

TEST(FrameBudget, AHopelessRendererStopsAtTheMinimumSize) {
  SimulatedRun run;
  run.For(60, k1080p, [](FrameSize size, double) { return 0.5 + SoftwareCost(size); });
  EXPECT_EQ(run.budget.rung(), LowestUsefulRung(k1080p));
  EXPECT_EQ(run.budget.TargetSize(k1080p), (FrameSize{171, kMinimumShortSide}));
}

// A renderer whose cost jumps above some size fools the prediction: each
// try of the larger size is taken back, and the tries grow rarer.
TEST(FrameBudget, StepsUpThatFailAreTriedEverLessOften) {
  SimulatedRun run;
  const FrameSize window = k720p;
  const int tooLarge = 4;
  const int fitsHeight = ScaledFrameSize(window, RungScale(tooLarge + 1)).height;
  run.For(400, window, [fitsHeight](FrameSize size, double) { return size.height > fitsHeight ? 0.07 : 0.024; });
  std::vector<double> tries;
  for (const Change& change : run.changes)
    if (change.rung == tooLarge) tries.push_back(change.time);
  ASSERT_GE(tries.size(), 4u);
  EXPECT_LE(tries.size(), 10u);
  for (size_t i = 2; i < tries.size(); ++i) EXPECT_GT(tries[i] - tries[i - 1], tries[i - 1] - tries[i - 2] - 1.0);
  EXPECT_GE(tries.back() - tries[tries.size() - 2], kLongestStepUpHoldSeconds);
  EXPECT_GT(run.budget.rung(), tooLarge - 1);
}

TEST(FrameBudget, AWindowThatShrinksStartsAfreshAtAUsefulSize) {
  SimulatedRun run;
  run.For(10, k1080p);
  ASSERT_GT(run.budget.rung(), LowestUsefulRung(FrameSize{200, 150}));
  run.For(1, FrameSize{200, 150});
  EXPECT_LE(run.budget.rung(), LowestUsefulRung(FrameSize{200, 150}));
  const FrameSize size = run.budget.TargetSize(FrameSize{200, 150});
  EXPECT_LE(size.width, 200);
  EXPECT_GE(size.height, kMinimumShortSide);
}

}  // namespace

// A machine that sleeps moves the steady clock by hours at once, between two
// frames or inside one. Whichever it is, the frames after the wake are sized
// as the ones before: the jump is no evidence of a slow renderer, nor of time
// spent at the size.
TEST(FrameBudget, ASleepOfHoursLeavesTheSizeAsItWas) {
  constexpr double kSleep = 3 * 3600.0;
  for (bool insideAFrame : {false, true}) {
    SCOPED_TRACE(insideAFrame ? "the clock jumps inside a frame" : "the clock jumps between frames");
    SimulatedRun run;
    run.For(30, k1080p);
    const int settled = run.budget.rung();
    const size_t before = run.changes.size();
    run.now += kSleep;
    if (insideAFrame) run.budget.RecordFrame(run.now, kSleep, k1080p);
    run.For(5, k1080p);
    EXPECT_EQ(run.changes.size(), before) << "changed to rung " << run.budget.rung() << " after the wake";
    EXPECT_EQ(run.budget.rung(), settled);
  }
}

// A GPU at 60 Hz: the budget is 90 % of the refresh period.
constexpr double kHardwareBudget = kHardwareBudgetShareOfPeriod / 60;

// A GPU whose time follows the pixels shaded, affording `share` of the
// window's pixels within the budget.
std::function<double(FrameSize, double)> GpuAffording(double share, FrameSize window, double jitter) {
  return [share, window, jitter](FrameSize size, double) {
    const double cost = kHardwareBudget * Pixels(size) / (share * Pixels(window));
    return jitter > 0 ? cost * (1 - jitter + 2 * jitter * (Jitter() - 0.8) / 0.4) : cost;
  };
}

TEST(FrameBudget, AGpuAffordingMostOfTheWindowSettlesThereAndHolds) {
  const FrameSize k4k{3840, 2160};
  SimulatedRun run;
  run.budget = FrameBudget(kHardwareBudget);
  run.For(15, k4k, GpuAffording(0.7, k4k, 0.1));
  const FrameSize settled = run.budget.TargetSize(k4k);
  EXPECT_LT(Pixels(settled), 0.7 * Pixels(k4k)) << "within the budget";
  EXPECT_GT(Pixels(settled), 0.35 * Pixels(k4k)) << "not more than a rung or two below it";
  const size_t changes = run.changes.size();
  run.For(60, k4k, GpuAffording(0.7, k4k, 0.1));
  EXPECT_EQ(run.changes.size(), changes) << "holds the size under ordinary jitter";
  std::vector<double> last(run.frameTimes.end() - 600, run.frameTimes.end());
  std::sort(last.begin(), last.end());
  EXPECT_LE(last[static_cast<size_t>(0.99 * last.size())], kHardwareBudget) << "p99 within 90 % of the period";
}

TEST(FrameBudget, AGpuAffordingTheWholeWindowKeepsItThroughASlowFrame) {
  SimulatedRun run;
  run.budget = FrameBudget(kHardwareBudget);
  bool slowFrameDone = false;
  run.For(30, k1080p, [&slowFrameDone](FrameSize size, double now) {
    const double cost = 0.3 * kHardwareBudget * Pixels(size) / Pixels(k1080p);
    if (now < 10 || slowFrameDone) return cost;
    slowFrameDone = true;
    return 5 * kHardwareBudget;
  });
  EXPECT_TRUE(slowFrameDone);
  EXPECT_TRUE(run.changes.empty()) << "first change to rung " << (run.changes.empty() ? 0 : run.changes[0].rung);
  EXPECT_EQ(run.budget.TargetSize(k1080p), k1080p);
}

// Before any frame is shown, a probe's cost per pixel sizes the first one:
// within the step-down target however large the screen, and the window's own
// size where even that fits.
TEST(FrameBudget, AProbeSizesTheFirstFrameForAnyScreen) {
  const FrameSize k8k{7680, 4320};
  FrameBudget software;
  software.StartFromProbe(kSecondsPerPixel, k8k);
  const FrameSize first = software.TargetSize(k8k);
  EXPECT_LE(kSecondsPerPixel * Pixels(first), kStepDownTarget);
  EXPECT_GT(kSecondsPerPixel * Pixels(ScaledFrameSize(k8k, RungScale(software.rung() - 1))), kStepDownTarget)
      << "the largest that fits";
  EXPECT_LE(std::abs(first.width * 9 - first.height * 16), 16) << "at the screen's aspect, to a pixel";

  FrameBudget fast(kHardwareBudget);
  fast.StartFromProbe(1e-10, k8k);
  EXPECT_EQ(fast.TargetSize(k8k), k8k);

  FrameBudget hopeless;
  hopeless.StartFromProbe(1e-3, k8k);
  EXPECT_EQ(hopeless.rung(), LowestUsefulRung(k8k)) << "the smallest, where nothing fits";
}

// Several monitors: one budget for the work of every window together, each
// window drawn at the same rung of its own size.
TEST(FrameBudgetOverMonitors, TheSharedBudgetShadesLessInEachWindowThanOneWindowAlone) {
  const FrameSize second{800, 600};
  const FrameWindows both{k1080p, second};
  EXPECT_EQ(LowestUsefulRung(both), std::max(LowestUsefulRung(k1080p), LowestUsefulRung(second)));

  FrameBudget alone;
  alone.StartFromProbe(kSecondsPerPixel, k1080p);
  FrameBudget shared;
  shared.StartFromProbe(kSecondsPerPixel, both);
  EXPECT_GT(shared.rung(), alone.rung()) << "the second window's pixels count";
  const double sharedPixels = Pixels(shared.TargetSize(k1080p)) + Pixels(shared.TargetSize(second));
  EXPECT_LE(kSecondsPerPixel * sharedPixels, kStepDownTarget);

  // Frames whose summed cost is over budget step the rung down for both.
  FrameBudget budget;
  double now = 0;
  for (int frame = 0; frame < 60; ++frame) {
    now += 0.05;
    const double work = SoftwareCost(budget.TargetSize(k1080p)) + SoftwareCost(budget.TargetSize(second));
    budget.RecordFrame(now, work, both);
  }
  const double settled = SoftwareCost(budget.TargetSize(k1080p)) + SoftwareCost(budget.TargetSize(second));
  EXPECT_LE(settled, kFrameBudgetSeconds);
  EXPECT_GT(budget.rung(), 0);
}

// The other monitors go black only where even the smallest picture in every
// window is slower than twenty frames a second.
TEST(FrameBudgetOverMonitors, OverwhelmedOnlyWhenTheLowestRungStaysTooSlow) {
  const FrameWindows both{k1080p, FrameSize{800, 600}};
  // Frames every tenth of a second at the lowest rung, each taking `work`.
  auto after = [&both](double workSeconds, double seconds, double* now) {
    FrameBudget budget;
    budget.StartFromProbe(1e-3, both);
    for (*now = 0; *now < seconds;) budget.RecordFrame(*now += 0.1, workSeconds, both);
    return budget;
  };
  double now = 0;
  FrameBudget slow = after(0.08, kOverwhelmedHoldSeconds + 1, &now);
  EXPECT_TRUE(slow.OverwhelmedAtLowestRung(now));
  EXPECT_FALSE(after(0.04, kOverwhelmedHoldSeconds + 1, &now).OverwhelmedAtLowestRung(now))
      << "holds twenty frames a second";
  EXPECT_FALSE(after(0.08, kOverwhelmedHoldSeconds / 2, &now).OverwhelmedAtLowestRung(now))
      << "a passing load is no evidence";

  FrameBudget higher;
  now = 0;
  for (int frame = 0; frame < 80; ++frame) higher.RecordFrame(now += 0.1, 0.001, both);
  EXPECT_FALSE(higher.OverwhelmedAtLowestRung(now)) << "not at the lowest rung";
}
