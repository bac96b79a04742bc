#include "launch/usage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TextRequest Find(std::vector<const char*> arguments) {
  return FindTextRequest(static_cast<int>(arguments.size()), arguments.data());
}

TEST(TextRequest, HelpAndVersionInEitherSpellingAnywhere) {
  EXPECT_EQ(Find({"--help"}), TextRequest::Usage);
  EXPECT_EQ(Find({"-help"}), TextRequest::Usage);
  EXPECT_EQ(Find({"--version"}), TextRequest::Version);
  EXPECT_EQ(Find({"-version"}), TextRequest::Version);
  EXPECT_EQ(Find({"/p", "123", "--help"}), TextRequest::Usage);
  EXPECT_EQ(Find({"--root", "--version"}), TextRequest::Version);
}

TEST(TextRequest, TheFirstOneWins) {
  EXPECT_EQ(Find({"--version", "--help"}), TextRequest::Version);
  EXPECT_EQ(Find({"--help", "--version"}), TextRequest::Usage);
}

// Anything else stays with the starts: a near miss must not swallow a run.
TEST(TextRequest, LeavesEverythingElseToTheStarts) {
  EXPECT_EQ(Find({}), TextRequest::None);
  EXPECT_EQ(Find({"/s"}), TextRequest::None);
  EXPECT_EQ(Find({"--root"}), TextRequest::None);
  EXPECT_EQ(Find({"---help"}), TextRequest::None);
  EXPECT_EQ(Find({"--helpme"}), TextRequest::None);
  EXPECT_EQ(Find({"--versions"}), TextRequest::None);
  EXPECT_EQ(Find({"help"}), TextRequest::None);
  EXPECT_EQ(Find({"/help"}), TextRequest::None);
  EXPECT_EQ(Find({"-"}), TextRequest::None);
  EXPECT_EQ(Find({""}), TextRequest::None);
  EXPECT_EQ(Find({"--window-id", "--HELP"}), TextRequest::None);
}

TEST(UsageText, NamesEveryStart) {
  std::string usage = UsageText();
  for (const char* start : {"/s", "/p WINDOW", "/c", "--root", "XSCREENSAVER_WINDOW", "--window-id ID", "--help",
                            "--version", "(none of these)"}) {
    EXPECT_NE(usage.find(start), std::string::npos) << start;
  }
  for (size_t begin = 0, end; (end = usage.find('\n', begin)) != std::string::npos; begin = end + 1) {
    EXPECT_LE(end - begin, 79u) << "a line wider than a terminal: " << usage.substr(begin, end - begin);
  }
}

TEST(VersionText, OneLineWithTheProgramsNameAndARelease) {
  std::string version = VersionText();
  ASSERT_EQ(version.rfind("gloamery ", 0), 0u) << version;
  ASSERT_EQ(version.back(), '\n');
  std::string release = version.substr(9, version.size() - 10);
  EXPECT_FALSE(release.empty());
  EXPECT_EQ(release.find_first_not_of("0123456789."), std::string::npos) << release;
}

TEST(WriteText, AllOfItOutGivesZero) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(WriteText(file, "some text\n"), 0);
  std::rewind(file);
  char buffer[32] = {};
  EXPECT_EQ(std::fread(buffer, 1, sizeof buffer - 1, file), 10u);
  EXPECT_STREQ(buffer, "some text\n");
  std::fclose(file);
}

TEST(WriteText, AFullDeviceGivesOne) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full here";
  EXPECT_EQ(WriteText(full, UsageText()), 1);
  std::fclose(full);
}

}  // namespace
