#include "render/frame_tally.h"

#include <gtest/gtest.h>

TEST(FrameTally, AFrameCountsOnceEveryWindowsPartIsInAndSumsThem) {
  FrameTally tally;
  tally.Open(1, 3, 2);
  tally.Open(2, 3, 2);
  double seconds = 0;
  int rung = 0;
  tally.Add(1, 0.010);
  tally.Add(2, 0.020);
  EXPECT_FALSE(tally.TakeComplete(&seconds, &rung)) << "half of each frame is in";
  tally.Add(1, 0.004);
  ASSERT_TRUE(tally.TakeComplete(&seconds, &rung));
  EXPECT_DOUBLE_EQ(seconds, 0.014);
  EXPECT_EQ(rung, 3);
  EXPECT_FALSE(tally.TakeComplete(&seconds, &rung)) << "taken once";
}

// A part never timed (its context's queries were all busy) must not hold up
// every later frame, nor be added to another frame's sum.
TEST(FrameTally, AnIncompleteFrameIsDroppedWhenALaterOneCompletes) {
  FrameTally tally;
  tally.Open(1, 0, 2);
  tally.Open(2, 1, 2);
  tally.Add(1, 0.5);
  tally.Add(2, 0.01);
  tally.Add(2, 0.02);
  tally.Add(7, 9.0);  // a frame never opened
  double seconds = 0;
  int rung = 0;
  ASSERT_TRUE(tally.TakeComplete(&seconds, &rung));
  EXPECT_DOUBLE_EQ(seconds, 0.03);
  EXPECT_EQ(rung, 1);
  tally.Add(1, 0.5);
  EXPECT_FALSE(tally.TakeComplete(&seconds, &rung)) << "the dropped frame stays dropped";
}

TEST(FrameTally, KeepsOnlyTheFramesStillInFlight) {
  FrameTally tally;
  for (int serial = 1; serial <= 20; ++serial) tally.Open(serial, 0, 1);
  tally.Add(1, 1.0);  // long forgotten
  tally.Add(20, 0.25);
  double seconds = 0;
  int rung = 0;
  ASSERT_TRUE(tally.TakeComplete(&seconds, &rung));
  EXPECT_DOUBLE_EQ(seconds, 0.25);
}
