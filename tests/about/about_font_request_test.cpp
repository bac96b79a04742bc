#include "about/about_font_request.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// Every CreateFontA argument in its order, so a swapped pair shows as a diff.
auto Arguments(const AboutFontRequest& r) {
  return std::make_tuple(r.height, r.width, r.escapement, r.orientation, r.weight, r.italic, r.underline, r.strikeOut,
                         r.charSet, r.outPrecision, r.clipPrecision, r.quality, r.pitchAndFamily, std::string(r.face));
}

TEST(AboutFontRequest, TextFontIsNormalArialSixteenBySix) {
  EXPECT_EQ(Arguments(AboutFontRequestFor(kTextFont)),
            std::make_tuple(16, 6, 0, 0, 400, 0u, 0u, 0u, 1u, 8u, 0u, 5u, 2u, std::string("Arial")));
}

TEST(AboutFontRequest, TitleFontIsBoldUnderlinedArialEighteenByEight) {
  EXPECT_EQ(Arguments(AboutFontRequestFor(kTitleFont)),
            std::make_tuple(18, 8, 0, 0, 700, 0u, 1u, 0u, 1u, 8u, 0u, 5u, 2u, std::string("Arial")));
}

// The flags follow the font each on its own, and the fixed arguments stay
// whatever else the font asks for.
TEST(AboutFontRequest, EachDecorationFlagFollowsTheFont) {
  const AboutFont italicOnly = {12, 0, 300, true, false, false, "Other"};
  EXPECT_EQ(Arguments(AboutFontRequestFor(italicOnly)),
            std::make_tuple(12, 0, 0, 0, 300, 1u, 0u, 0u, 1u, 8u, 0u, 5u, 2u, std::string("Other")));
  const AboutFont struckOnly = {-20, 9, 900, false, false, true, "Arial"};
  EXPECT_EQ(Arguments(AboutFontRequestFor(struckOnly)),
            std::make_tuple(-20, 9, 0, 0, 900, 0u, 0u, 1u, 1u, 8u, 0u, 5u, 2u, std::string("Arial")));
}

}  // namespace
