#include "tools/offscreen/frame_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ParseResult Parse(std::vector<const char*> args, FrameOptions* options, std::string* error) {
  args.insert(args.begin(), "gloamery-snapshot");
  return ParseFrameOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(FrameOptions, ReadsTimeSizeAndFileInAnyOrder) {
  FrameOptions options;
  std::string error;
  ASSERT_EQ(Parse({"--out", "a.png", "--size", "320x180", "--time", "6.5"}, &options, &error), ParseResult::Ok)
      << error;
  EXPECT_EQ(options.time, 6.5f);
  EXPECT_EQ(options.width, 320);
  EXPECT_EQ(options.height, 180);
  EXPECT_EQ(options.outPath, "a.png");
}

TEST(FrameOptions, HelpWinsOverEverythingElse) {
  FrameOptions options;
  std::string error;
  EXPECT_EQ(Parse({"--time", "1", "--help"}, &options, &error), ParseResult::Help);
  EXPECT_EQ(Parse({"-h"}, &options, &error), ParseResult::Help);
}

struct BadArguments {
  std::vector<const char*> args;
  const char* mentioned;  // part of the message that says what was wrong
};

class FrameOptionsRejects : public testing::TestWithParam<BadArguments> {};

TEST_P(FrameOptionsRejects, WithAMessageNamingTheProblem) {
  FrameOptions options;
  std::string error;
  EXPECT_EQ(Parse(GetParam().args, &options, &error), ParseResult::Error);
  EXPECT_NE(error.find(GetParam().mentioned), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameOptionsRejects,
    testing::Values(BadArguments{{}, "all needed"}, BadArguments{{"--time", "1", "--size", "8x8"}, "all needed"},
                    BadArguments{{"--time"}, "needs a value"},
                    BadArguments{{"--time", "1", "--size", "8x8", "--out"}, "needs a value"},
                    BadArguments{{"--frame", "1"}, "unknown argument '--frame'"},
                    BadArguments{{"6", "--size", "8x8", "--out", "a.png"}, "unknown argument '6'"},
                    BadArguments{{"--time", "soon", "--size", "8x8", "--out", "a"}, "--time"},
                    BadArguments{{"--time", "-1", "--size", "8x8", "--out", "a"}, "--time"},
                    BadArguments{{"--time", "nan", "--size", "8x8", "--out", "a"}, "--time"},
                    BadArguments{{"--time", "inf", "--size", "8x8", "--out", "a"}, "--time"},
                    BadArguments{{"--time", "1e39", "--size", "8x8", "--out", "a"}, "--time"},
                    BadArguments{{"--time", "2s", "--size", "8x8", "--out", "a"}, "--time"},
                    BadArguments{{"--time", "1", "--size", "8by8", "--out", "a"}, "--size"},
                    BadArguments{{"--time", "1", "--size", "0x8", "--out", "a"}, "--size"},
                    BadArguments{{"--time", "1", "--size", "8x8", "--out", "a", "--fast"}, "unknown argument '--fast'"},
                    BadArguments{{"--time", "1", "--size", "8x8", "--out", ""}, "file name"}));

struct SizeCase {
  const char* text;
  bool accepted;
  int width, height;
};

class FrameSize : public testing::TestWithParam<SizeCase> {};

TEST_P(FrameSize, AcceptsOnlyTwoPositiveSidesWithinTheLimit) {
  int width = -1, height = -1;
  const SizeCase& c = GetParam();
  ASSERT_EQ(ParseFrameSize(c.text, &width, &height), c.accepted) << c.text;
  if (c.accepted) {
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameSize,
                         testing::Values(SizeCase{"320x180", true, 320, 180}, SizeCase{"1x1", true, 1, 1},
                                         SizeCase{"16384x16384", true, 16384, 16384}, SizeCase{"16385x10", false, 0, 0},
                                         SizeCase{"0x10", false, 0, 0}, SizeCase{"10x0", false, 0, 0},
                                         SizeCase{"-10x10", false, 0, 0}, SizeCase{"10x+10", false, 0, 0},
                                         SizeCase{"10X10", false, 0, 0}, SizeCase{"10x10x10", false, 0, 0},
                                         SizeCase{"x10", false, 0, 0}, SizeCase{"10x", false, 0, 0},
                                         SizeCase{" 10x10", false, 0, 0},
                                         SizeCase{"99999999999999999999x1", false, 0, 0}, SizeCase{"", false, 0, 0}));

}  // namespace
