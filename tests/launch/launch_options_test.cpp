#include "launch/launch_options.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct ScanCase {
  const char* commandLine;
  LaunchMode mode;
  NativeWindowHandle parentWindow;
};

std::ostream& operator<<(std::ostream& out, const ScanCase& c) { return out << '"' << c.commandLine << '"'; }

class CommandLineScan : public testing::TestWithParam<ScanCase> {};

TEST_P(CommandLineScan, GivesModeAndHandle) {
  LaunchOptions options(GetParam().commandLine);
  EXPECT_EQ(options.mode, GetParam().mode);
  EXPECT_EQ(options.parentWindow, GetParam().parentWindow);
}

constexpr NativeWindowHandle kNone = 0;

INSTANTIATE_TEST_SUITE_P(HostSwitches, CommandLineScan,
                         testing::Values(ScanCase{"", LaunchMode::Default, kNone},
                                         ScanCase{"/s", LaunchMode::Fullscreen, kNone},
                                         ScanCase{"/c", LaunchMode::Config, kNone},
                                         ScanCase{"/p", LaunchMode::Preview, kNone},
                                         ScanCase{"/p 1234", LaunchMode::Preview, 1234},
                                         ScanCase{"/c:1234", LaunchMode::Config, 1234}));

// Upper case, unknown letters, and slashes inside paths.
INSTANTIATE_TEST_SUITE_P(OddSwitches, CommandLineScan,
                         testing::Values(ScanCase{"/S", LaunchMode::Default, kNone},
                                         ScanCase{"/P 5", LaunchMode::Default, kNone},
                                         ScanCase{"/x 5", LaunchMode::Default, kNone},
                                         ScanCase{"C:/temp/scr", LaunchMode::Fullscreen, kNone},
                                         ScanCase{"a/c", LaunchMode::Config, kNone},
                                         ScanCase{"/", LaunchMode::Default, kNone},
                                         ScanCase{"//", LaunchMode::Default, kNone}));

// The last recognised switch decides the mode; the handle comes from the
// last slash once any switch was seen, exactly one character after the letter.
INSTANTIATE_TEST_SUITE_P(
    LastSwitchWins, CommandLineScan,
    testing::Values(ScanCase{"/s /p 99", LaunchMode::Preview, 99}, ScanCase{"/p 99 /s", LaunchMode::Fullscreen, kNone},
                    ScanCase{"/p 99 /x 7", LaunchMode::Preview, 7}, ScanCase{"/p1234", LaunchMode::Preview, 234},
                    ScanCase{"/p  77", LaunchMode::Preview, 77}, ScanCase{"/p 12abc", LaunchMode::Preview, 12},
                    ScanCase{"/p 99 /", LaunchMode::Preview, kNone}, ScanCase{"/p 99 /x", LaunchMode::Preview, kNone},
                    ScanCase{"/p 5 /p", LaunchMode::Preview, kNone}, ScanCase{"/x 1 /p 2", LaunchMode::Preview, 2},
                    ScanCase{"/p 1/2 3", LaunchMode::Preview, 3}));

// Signs and white space follow atoi; negative numbers become handles the way
// Windows sign-extends them.
INSTANTIATE_TEST_SUITE_P(
    NumberRules, CommandLineScan,
    testing::Values(ScanCase{"/p +42", LaunchMode::Preview, 42}, ScanCase{"/p \t 42", LaunchMode::Preview, 42},
                    ScanCase{"/p -1", LaunchMode::Preview, static_cast<NativeWindowHandle>(intptr_t{-1})},
                    ScanCase{"/p 99999999999999999999", LaunchMode::Preview, static_cast<NativeWindowHandle>(INT_MAX)},
                    ScanCase{"/p -99999999999999999999", LaunchMode::Preview,
                             static_cast<NativeWindowHandle>(intptr_t{INT_MIN})},
                    ScanCase{"/p - 5", LaunchMode::Preview, kNone}));

TEST(ParseAtoi, FollowsTheCLibraryInsideTheIntRange) {
  for (const char* text : {"0", "7", "-7", "+7", "  12x", "\n\v\f\r 3", "2147483647", "-2147483648", "", "x1", "--1"}) {
    EXPECT_EQ(ParseAtoi(text), std::atoi(text)) << '"' << text << '"';
  }
}

TEST(ParseAtoi, SaturatesOnOverflow) {
  EXPECT_EQ(ParseAtoi("2147483648"), INT_MAX);
  EXPECT_EQ(ParseAtoi("-2147483649"), INT_MIN);
  EXPECT_EQ(ParseAtoi(std::string(5000, '9').c_str()), INT_MAX);
}

TEST(CommandLineScan, SurvivesLongAndBinaryText) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += static_cast<char>(1 + (i * 37) % 255);
  text += " /p 12";
  LaunchOptions options(text.c_str());
  EXPECT_EQ(options.mode, LaunchMode::Preview);
  EXPECT_EQ(options.parentWindow, 12u);

  std::string slashes(10000, '/');
  EXPECT_EQ(LaunchOptions(slashes.c_str()).mode, LaunchMode::Default);
}

}  // namespace
