#include "launch/xscreensaver_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Target = DaemonRun::Target;

struct ArgumentCase {
  std::vector<const char*> arguments;
  const char* windowVariable;  // null: XSCREENSAVER_WINDOW unset
  bool daemon;
  Target target;
  NativeWindowHandle window;
};

std::ostream& operator<<(std::ostream& out, const ArgumentCase& c) {
  for (const char* argument : c.arguments) out << '"' << argument << "\" ";
  return out << "XSCREENSAVER_WINDOW=" << (c.windowVariable ? c.windowVariable : "(unset)");
}

class DaemonArguments : public testing::TestWithParam<ArgumentCase> {};

TEST_P(DaemonArguments, GiveTheWindowToDrawInto) {
  const ArgumentCase& c = GetParam();
  DaemonRun run;
  run.window = 0xdead;  // untouched unless it is a daemon run
  bool daemon = ParseDaemonArguments(static_cast<int>(c.arguments.size()), c.arguments.data(), c.windowVariable, &run);
  ASSERT_EQ(daemon, c.daemon);
  if (!daemon) {
    EXPECT_EQ(run.window, 0xdeadu);
    return;
  }
  EXPECT_EQ(run.target, c.target);
  EXPECT_EQ(run.window, c.window);
}

constexpr Target kNamed = Target::NamedWindow;
constexpr Target kRoot = Target::RootWindow;

// Starts that carry none of XScreenSaver's arguments belong to the
// Windows-style scan, whatever the environment says.
INSTANTIATE_TEST_SUITE_P(NotTheDaemons, DaemonArguments,
                         testing::Values(ArgumentCase{{}, nullptr, false, kNamed, 0},
                                         ArgumentCase{{}, "0x60000C", false, kNamed, 0},
                                         ArgumentCase{{"/p", "1234"}, "0x60000C", false, kNamed, 0},
                                         ArgumentCase{{"/s"}, nullptr, false, kNamed, 0},
                                         ArgumentCase{{"root"}, nullptr, false, kNamed, 0},
                                         ArgumentCase{{"---root"}, nullptr, false, kNamed, 0},
                                         ArgumentCase{{"--rooted"}, nullptr, false, kNamed, 0},
                                         ArgumentCase{{"--window"}, nullptr, false, kNamed, 0},
                                         ArgumentCase{{"/window-id"}, nullptr, false, kNamed, 0}));

INSTANTIATE_TEST_SUITE_P(Root, DaemonArguments,
                         testing::Values(ArgumentCase{{"--root"}, "0x60000C", true, kNamed, 0x60000C},
                                         ArgumentCase{{"-root"}, "0x60000c", true, kNamed, 0x60000C},
                                         ArgumentCase{{"--root"}, "6291468", true, kNamed, 0x60000C},
                                         ArgumentCase{{"--root"}, nullptr, true, kRoot, 0},
                                         // Set but no window: nothing to attach to, and no root fallback.
                                         ArgumentCase{{"--root"}, "", true, kNamed, 0},
                                         ArgumentCase{{"--root"}, "window", true, kNamed, 0},
                                         ArgumentCase{{"/s", "--root"}, "0x1", true, kNamed, 1}));

INSTANTIATE_TEST_SUITE_P(WindowId, DaemonArguments,
                         testing::Values(ArgumentCase{{"--window-id", "0x400EE5"}, nullptr, true, kNamed, 0x400EE5},
                                         ArgumentCase{{"-window-id", "4198117"}, nullptr, true, kNamed, 0x400EE5},
                                         ArgumentCase{{"--window-id=0x400ee5"}, nullptr, true, kNamed, 0x400EE5},
                                         ArgumentCase{{"-window-id=12"}, nullptr, true, kNamed, 12},
                                         // The settings preview passes both; the argument wins.
                                         ArgumentCase{{"--root", "--window-id", "0x2"}, "0x1", true, kNamed, 2},
                                         ArgumentCase{{"--window-id", "0x2", "--root"}, "0x1", true, kNamed, 2},
                                         ArgumentCase{
                                             {"--window-id", "5", "--window-id", "7"}, nullptr, true, kNamed, 7},
                                         // No window named: the attach fails as for any bad id.
                                         ArgumentCase{{"--window-id"}, nullptr, true, kNamed, 0},
                                         ArgumentCase{{"--window-id="}, nullptr, true, kNamed, 0},
                                         ArgumentCase{{"--window-id", "zz"}, "0x1", true, kNamed, 0},
                                         ArgumentCase{{"--root", "--window-id", "-5"}, nullptr, true, kNamed, 0},
                                         // The value is taken even where it looks like an option.
                                         ArgumentCase{{"--window-id", "--root"}, nullptr, true, kNamed, 0}));

struct IdCase {
  const char* text;
  bool valid;
  NativeWindowHandle window;
};

std::ostream& operator<<(std::ostream& out, const IdCase& c) { return out << '"' << c.text << '"'; }

class WindowIds : public testing::TestWithParam<IdCase> {};

TEST_P(WindowIds, ReadHexOrDecimalAndNothingElse) {
  NativeWindowHandle window = 77;
  EXPECT_EQ(ParseWindowId(GetParam().text, &window), GetParam().valid);
  EXPECT_EQ(window, GetParam().valid ? GetParam().window : 77u) << "untouched when invalid";
}

INSTANTIATE_TEST_SUITE_P(All, WindowIds,
                         testing::Values(IdCase{"0x60000C", true, 0x60000C}, IdCase{"0X60000c", true, 0x60000C},
                                         IdCase{"0xabcdef", true, 0xABCDEF}, IdCase{"0", true, 0},
                                         IdCase{"0x0", true, 0}, IdCase{"007", true, 7},
                                         IdCase{"4294967295", true, 0xFFFFFFFF}, IdCase{"0xFFFFFFFF", true, 0xFFFFFFFF},
                                         // Beyond 32 bits, even where it wraps to a small number.
                                         IdCase{"4294967296", false, 0}, IdCase{"0x100000001", false, 0},
                                         IdCase{"99999999999999999999999", false, 0}, IdCase{"", false, 0},
                                         IdCase{"0x", false, 0}, IdCase{"x12", false, 0}, IdCase{"-1", false, 0},
                                         IdCase{"+1", false, 0}, IdCase{" 12", false, 0}, IdCase{"12 ", false, 0},
                                         IdCase{"12a", false, 0}, IdCase{"0x12g", false, 0}, IdCase{"0x-1", false, 0}));

}  // namespace
