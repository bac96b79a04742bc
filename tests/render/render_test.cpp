#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/frame_pacer.h"
#include "render/window_icon.h"

namespace {

// A column-major image whose every pixel encodes its own (row, column).
std::vector<unsigned char> LabelledColumns() {
  std::vector<unsigned char> columns(kWindowIconBytes);
  for (int column = 0; column < kWindowIconSize; ++column)
    for (int row = 0; row < kWindowIconSize; ++row) {
      unsigned char* p = &columns[(column * kWindowIconSize + row) * 4];
      p[0] = static_cast<unsigned char>(row);
      p[1] = static_cast<unsigned char>(column);
      p[2] = 0xAB;
      p[3] = 0xCD;
    }
  return columns;
}

TEST(IconConversion, PutsEveryPixelAtItsRowAndColumn) {
  std::vector<unsigned char> columns = LabelledColumns();
  std::vector<unsigned char> rows(kWindowIconBytes);
  ConvertIconColumnsToRows(columns.data(), rows.data());
  for (int row = 0; row < kWindowIconSize; ++row)
    for (int column = 0; column < kWindowIconSize; ++column) {
      const unsigned char* p = &rows[(row * kWindowIconSize + column) * 4];
      ASSERT_EQ(p[0], row);
      ASSERT_EQ(p[1], column);
      ASSERT_EQ(p[2], 0xAB);
      ASSERT_EQ(p[3], 0xCD);
    }
}

// The picture: transparent corners, a screen whose top-left quadrant is red
// and bottom-right yellow, and the stand at the bottom, not the top.
TEST(IconConversion, ShowsTheMonitorUpright) {
  std::vector<unsigned char> rows(kWindowIconBytes);
  ConvertIconColumnsToRows(kWindowIconColumns, rows.data());
  auto at = [&](int x, int y) { return &rows[(y * kWindowIconSize + x) * 4]; };
  auto isColour = [](const unsigned char* p, bool r, bool g, bool b) {
    return p[3] == 255 && (p[0] > 150) == r && (p[1] > 150) == g && (p[2] > 150) == b;
  };
  EXPECT_EQ(at(0, 0)[3], 0);
  EXPECT_EQ(at(63, 63)[3], 0);
  EXPECT_TRUE(isColour(at(15, 15), true, false, false)) << "red top left";
  EXPECT_TRUE(isColour(at(48, 15), false, true, false)) << "green top right";
  EXPECT_TRUE(isColour(at(15, 35), false, false, true)) << "blue bottom left";
  EXPECT_TRUE(isColour(at(48, 35), true, true, false)) << "yellow bottom right";
  EXPECT_EQ(at(32, 50)[3], 255) << "the neck stands below the screen";
  EXPECT_EQ(at(32, 1)[3], 0) << "nothing above the monitor";
}

// Only bounds that hold however long the machine stalls between two calls:
// the first wait's deadline lies between the clock readings around it.
TEST(FramePacer, SpacesDeadlinesByOnePeriodAndNeverCatchesUp) {
  using Clock = FramePacer::Clock;
  FramePacer pacer(50);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(pacer.period()).count(), 20);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(pacer.NextDeadline(start), start) << "the first frame does not wait";

  const Clock::time_point beforeFirst = Clock::now();
  pacer.WaitForNextFrame();
  const Clock::time_point afterFirst = Clock::now();
  EXPECT_GE(pacer.NextDeadline(beforeFirst), beforeFirst + pacer.period()) << "the next deadline is a period on";
  EXPECT_LE(pacer.NextDeadline(beforeFirst), afterFirst + pacer.period()) << "and no more than that";
  const Clock::time_point late = afterFirst + std::chrono::seconds(1);
  EXPECT_EQ(pacer.NextDeadline(late), late) << "a slow frame is followed at once, not by a burst";

  pacer.WaitForNextFrame();
  EXPECT_GE(Clock::now(), beforeFirst + pacer.period()) << "the second frame waited for its deadline";
}

// After a sleep the steady clock stands hours past the last deadline: the next
// frame starts at once, and the ones after it keep the period again; no burst
// makes up for the frames the sleep took.
TEST(FramePacer, AWakeFromSleepStartsAtOnceAndKeepsThePeriod) {
  using Clock = FramePacer::Clock;
  FramePacer pacer(1000);
  pacer.WaitForNextFrame();
  const Clock::time_point woken = Clock::now() + std::chrono::hours(3);
  EXPECT_EQ(pacer.NextDeadline(woken), woken);
  pacer.WaitForNextFrame();
  const Clock::time_point now = Clock::now();
  EXPECT_GE(pacer.NextDeadline(now), now) << "never a deadline in the past";
  EXPECT_LE(pacer.NextDeadline(now), now + pacer.period());
}

TEST(FramePacer, FallsBackToSixtyHertzWithoutARate) {
  EXPECT_EQ(FramePacer(0).period(), FramePacer(60).period());
  EXPECT_EQ(FramePacer(-5).period(), FramePacer(60).period());
}

}  // namespace
