#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "assets/objl/obj_text.h"

namespace objl {
namespace {

using Fields = std::vector<std::string>;

struct WordCase {
  const char* line;
  const char* head;
  const char* rest;
};

class Words : public testing::TestWithParam<WordCase> {};

TEST_P(Words, HeadWordAndRestOfLine) {
  EXPECT_EQ(HeadWord(GetParam().line), GetParam().head);
  EXPECT_EQ(RestOfLine(GetParam().line), GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Lines, Words,
                         testing::Values(WordCase{"", "", ""}, WordCase{" \t ", "", ""}, WordCase{"v", "v", ""},
                                         WordCase{"v  -1.0000 -1.0000 0.0000", "v", "-1.0000 -1.0000 0.0000"},
                                         WordCase{"\t newmtl  a b \t", "newmtl", "a b"},
                                         WordCase{"o Plane001\r", "o", "Plane001\r"},
                                         WordCase{"newmtl\r", "newmtl\r", ""},
                                         WordCase{"Ka 1 0 1 \r", "Ka", "1 0 1 \r"}, WordCase{"v\r", "v\r", ""},
                                         WordCase{"gear 2", "gear", "2"}));

struct SplitCase {
  const char* text;
  const char* delimiter;
  Fields fields;
};

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, GivesFields) { EXPECT_EQ(SplitFields(GetParam().text, GetParam().delimiter), GetParam().fields); }

INSTANTIATE_TEST_SUITE_P(Blanks, Split,
                         testing::Values(SplitCase{"1 2 3", " ", {"1", "2", "3"}}, SplitCase{"1 2 ", " ", {"1", "2"}},
                                         SplitCase{"1  2", " ", {"1", "", "2"}}, SplitCase{" 1", " ", {"", "1"}},
                                         SplitCase{"1 2  ", " ", {"1", "2", ""}}, SplitCase{"", " ", {}},
                                         SplitCase{" ", " ", {""}}, SplitCase{"12", " ", {"12"}}));

INSTANTIATE_TEST_SUITE_P(Slashes, Split,
                         testing::Values(SplitCase{"1//3", "/", {"1", "", "3"}}, SplitCase{"1/2", "/", {"1", "2"}},
                                         SplitCase{"1/", "/", {"1"}}, SplitCase{"1/2/3/4", "/", {"1", "2", "3", "4"}},
                                         SplitCase{"/", "/", {""}}, SplitCase{"1//", "/", {"1", ""}}));

TEST(TrimLineBreaks, CutsTrailingBreaksUnlessNothingElseIsLeft) {
  EXPECT_EQ(TrimLineBreaks("wire_006135058\r"), "wire_006135058");
  EXPECT_EQ(TrimLineBreaks("a\r\n\r"), "a");
  EXPECT_EQ(TrimLineBreaks("a\rb"), "a\rb");
  EXPECT_EQ(TrimLineBreaks("\r\n"), "\r\n");
  EXPECT_EQ(TrimLineBreaks(""), "");
}

struct FloatCase {
  const char* text;
  bool ok;
  float value;
};

class Floats : public testing::TestWithParam<FloatCase> {};

TEST_P(Floats, ReadLeadingDecimal) {
  float value = -12345.0f;
  EXPECT_EQ(ParseFloat(GetParam().text, &value), GetParam().ok);
  if (GetParam().ok) {
    EXPECT_EQ(value, GetParam().value);
    // Equality cannot tell -0 from +0.
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().value));
  }
}

INSTANTIATE_TEST_SUITE_P(Numbers, Floats,
                         testing::Values(FloatCase{"-1.0000", true, -1.0f}, FloatCase{"96.0784\r", true, 96.0784f},
                                         FloatCase{" \t+2.5x", true, 2.5f}, FloatCase{"1.", true, 1.0f},
                                         FloatCase{".5", true, 0.5f}, FloatCase{"1e3", true, 1000.0f},
                                         FloatCase{"1E-2", true, 0.01f}, FloatCase{"2e", true, 2.0f},
                                         FloatCase{"2e+", true, 2.0f}, FloatCase{"0.1", true, static_cast<float>(0.1)},
                                         FloatCase{"3.4028234e38", true, FLT_MAX}, FloatCase{"-0", true, -0.0f}));

INSTANTIATE_TEST_SUITE_P(Malformed, Floats,
                         testing::Values(FloatCase{"", false, 0}, FloatCase{" ", false, 0}, FloatCase{"x1", false, 0},
                                         FloatCase{".", false, 0}, FloatCase{"-", false, 0},
                                         FloatCase{"+.e1", false, 0}, FloatCase{"nan", false, 0},
                                         FloatCase{"inf", false, 0}, FloatCase{"1e39", false, 0},
                                         FloatCase{"-1e400", false, 0}, FloatCase{"\r", false, 0}));

struct IntCase {
  const char* text;
  bool ok;
  int value;
};

class Ints : public testing::TestWithParam<IntCase> {};

TEST_P(Ints, ReadLeadingInteger) {
  int value = -12345;
  EXPECT_EQ(ParseInt(GetParam().text, &value), GetParam().ok);
  if (GetParam().ok) {
    EXPECT_EQ(value, GetParam().value);
  }
}

INSTANTIATE_TEST_SUITE_P(Numbers, Ints,
                         testing::Values(IntCase{"2\r", true, 2}, IntCase{"  -3/", true, -3}, IntCase{"+7", true, 7},
                                         IntCase{"2147483647", true, INT_MAX}, IntCase{"-2147483648", true, INT_MIN},
                                         IntCase{"2147483648", false, 0}, IntCase{"-2147483649", false, 0},
                                         IntCase{"", false, 0}, IntCase{"-", false, 0}, IntCase{"x", false, 0},
                                         IntCase{"99999999999999999999", false, 0}));

struct IndexCase {
  const char* text;
  bool ok;
  int element;
};

class References : public testing::TestWithParam<IndexCase> {};

TEST_P(References, NameOneElementOrNone) {
  const std::vector<int> pool = {10, 20, 30};
  int element = 0;
  EXPECT_EQ(ResolveIndex(pool, GetParam().text, &element), GetParam().ok);
  if (GetParam().ok) {
    EXPECT_EQ(element, GetParam().element);
  }
}

INSTANTIATE_TEST_SUITE_P(Pool, References,
                         testing::Values(IndexCase{"1", true, 10}, IndexCase{"3", true, 30}, IndexCase{"-1", true, 30},
                                         IndexCase{"-3", true, 10}, IndexCase{"0", false, 0}, IndexCase{"4", false, 0},
                                         IndexCase{"-4", false, 0}, IndexCase{"-2147483648", false, 0},
                                         IndexCase{"", false, 0}));

}  // namespace
}  // namespace objl
