#include "about/about_layout.h"

#include <gtest/gtest.h>

namespace {

struct OriginCase {
  int screenWidth, screenHeight;
  int x, y;
};

std::ostream& operator<<(std::ostream& out, const OriginCase& c) {
  return out << c.screenWidth << "x" << c.screenHeight;
}

class AboutCentring : public testing::TestWithParam<OriginCase> {};

TEST_P(AboutCentring, HalvesTheSpareRoomAndTruncatesTowardZero) {
  const AboutPoint origin = AboutWindowOrigin(GetParam().screenWidth, GetParam().screenHeight);
  EXPECT_EQ(origin.x, GetParam().x);
  EXPECT_EQ(origin.y, GetParam().y);
}

// Odd spare room drops the half pixel; on a screen smaller than the window the
// corner goes negative but still rounds toward zero, never down.
INSTANTIATE_TEST_SUITE_P(Screens, AboutCentring,
                         testing::Values(OriginCase{1920, 1080, 760, 390}, OriginCase{1366, 768, 483, 234},
                                         OriginCase{401, 301, 0, 0}, OriginCase{400, 300, 0, 0},
                                         OriginCase{399, 299, 0, 0}, OriginCase{398, 298, -1, -1},
                                         OriginCase{1, 1, -199, -149}, OriginCase{3840, 2160, 1720, 930}));

TEST(AboutClientSize, IsTheOuterSizeLessTheFrame) {
  AboutSize client{0, 0};
  ASSERT_TRUE(AboutClientSizeFor(2, 21, &client));  // a thin border and a 20-pixel title bar
  EXPECT_EQ(client.width, 398);
  EXPECT_EQ(client.height, 279);
  ASSERT_TRUE(AboutClientSizeFor(0, 0, &client));  // no window manager
  EXPECT_EQ(client.width, 400);
  EXPECT_EQ(client.height, 300);
  ASSERT_TRUE(AboutClientSizeFor(199, 149, &client));
  EXPECT_EQ(client.width, 201);
  EXPECT_EQ(client.height, 151);
}

TEST(AboutClientSize, IgnoresFramesNoWindowManagerDraws) {
  AboutSize client{-7, -7};
  EXPECT_FALSE(AboutClientSizeFor(-1, 21, &client));
  EXPECT_FALSE(AboutClientSizeFor(2, -1, &client));
  EXPECT_FALSE(AboutClientSizeFor(200, 21, &client));
  EXPECT_FALSE(AboutClientSizeFor(2, 150, &client));
  EXPECT_EQ(client.width, -7) << "left untouched";
  EXPECT_EQ(client.height, -7);
}

TEST(AboutNoticeWidth, StopsAtTheClientEdge) {
  EXPECT_EQ(AboutNoticeWidthFor(400), 380);
  EXPECT_EQ(AboutNoticeWidthFor(500), 380);
  EXPECT_EQ(AboutNoticeWidthFor(398), 378);
  EXPECT_EQ(AboutNoticeWidthFor(15), 0);
}

// Every control has to stay inside the client area that the thinnest usual
// frame leaves, or the window manager's frame would hide part of it.
TEST(AboutControls, FitTheClientAreaAndClearTheLogo) {
  AboutSize client{0, 0};
  ASSERT_TRUE(AboutClientSizeFor(2, 21, &client));
  for (const AboutRect& rect : {kTitleRect, kWebsiteButtonRect}) {
    EXPECT_LE(rect.x + rect.width, client.width);
    EXPECT_LE(rect.y + rect.height, client.height);
  }
  constexpr int kLogoWidth = 110, kLogoHeight = 83;
  EXPECT_LE(kTitleRect.y + kTitleRect.height, kLogoPosition.y);
  EXPECT_LE(kLogoPosition.y + kLogoHeight, kNoticeRect.y) << "the logo sits above the notice";
  EXPECT_LE(kLogoPosition.x + kLogoWidth, client.width);
}

}  // namespace
