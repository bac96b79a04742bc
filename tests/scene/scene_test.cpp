#include <gtest/gtest.h>

#include <cmath>

#include "scene/scale_matrix.h"
#include "scene/scene_time.h"

namespace {

TEST(ScaleMatrix, PutsTheFactorsOnTheDiagonalInColumnOrder) {
  Matrix4 m = ScaleMatrix(2, 3, 4);
  const float expected[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], expected[i]) << "element " << i;
}

TEST(ScaleMatrix, OfOnesIsTheIdentity) {
  Matrix4 m = ScaleMatrix(1, 1, 1);
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) EXPECT_EQ(m.m[column * 4 + row], column == row ? 1.0f : 0.0f);
}

constexpr double kDay = 86400.0;

TEST(SceneTime, TheFirstHoursAreTheClockAsItWas) {
  for (double t : {0.0, 0.5, 1.999, 2.0, 6.0, 3599.9, 3600.0, 20000.0})
    EXPECT_EQ(SceneTime(t), static_cast<float>(t)) << t;
}

// What the shader gets moves with the clock in steps of no more than 4 ms at
// any age, never goes back into the fade-in, and stays where a float holds
// milliseconds.
TEST(SceneTime, KeepsMillisecondStepsAtAnyAge) {
  for (double age : {3 * kDay, 30 * kDay, 365 * kDay, 10 * 365 * kDay}) {
    for (double t = age; t < age + 1.0; t += 0.05) {
      const double step = 1.0 / 240;
      const float now = SceneTime(t);
      const float next = SceneTime(t + step);
      EXPECT_GE(now, kSceneTimeKeptSeconds) << t;
      EXPECT_LT(now, 32768.0f) << t;
      if (next > now) {
        EXPECT_NEAR(next - now, step, 0.002) << t;
      }
    }
  }
}

// Where the time drops back by the period, every motion of the scene goes on
// from where it was: each sine's phase moves across the drop as it moves
// over the same time elsewhere, the sway's three exactly, the camera's
// height within less than it moves in one frame at 60 Hz.
TEST(SceneTime, DropsBackOnlyByAPeriodOfEveryMotion) {
  const double kRates[] = {0.5, 1.0, 0.25, 0.1567};
  const double frame = 1.0 / 60;
  for (int drop : {1, 2, 100, 1389}) {
    const double at = kSceneTimeKeptSeconds + drop * kSceneTimePeriodSeconds;
    const double before = SceneTime(at - frame / 2);
    const double after = SceneTime(at + frame / 2);
    ASSERT_LT(after, before) << "the time drops back at " << at;
    for (double rate : kRates) {
      // The phase step across the drop, against the one a frame takes.
      const double step = std::remainder(rate * (after - before), 2 * 3.14159265358979323846);
      EXPECT_NEAR(step, rate * frame, rate == 0.1567 ? rate * frame + 1e-4 : 2.5e-3)
          << "rate " << rate << " drop " << drop;
    }
  }
}

}  // namespace
