#include "platform/os_version.h"

#include <gtest/gtest.h>

// GetVersion packs major and minor into the low word, low byte first, and the
// build number into the high word; both platforms decode the same way.
TEST(OsVersionNumber, DecodesMajorFromTheLowByteAndMinorFromTheNext) {
  EXPECT_EQ(DecodeOsVersionNumber(0x0A280105u), 51);  // 5.1, build 2600: XP
  EXPECT_EQ(DecodeOsVersionNumber(0x17700006u), 60);  // 6.0, build 6000: Vista
  EXPECT_EQ(DecodeOsVersionNumber(0x23F00206u), 62);  // 6.2, build 9200
  EXPECT_EQ(DecodeOsVersionNumber(0x0000000Au), 100);
}

TEST(OsVersionNumber, IgnoresTheBuildNumber) {
  EXPECT_EQ(DecodeOsVersionNumber(0xFFFF0105u), DecodeOsVersionNumber(0x00000105u));
}

TEST(OsVersionNumber, VersionsBeforeSixKeepTheFixedSize) {
  EXPECT_LT(DecodeOsVersionNumber(0x0105u), kFirstVersionWithMonitorMode);
  EXPECT_LT(DecodeOsVersionNumber(0x0205u), kFirstVersionWithMonitorMode);
  EXPECT_GE(DecodeOsVersionNumber(0x0006u), kFirstVersionWithMonitorMode);
}
