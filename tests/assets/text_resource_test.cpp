#include "assets/text_resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "assets/resources.h"
#include "assets/shader_program.h"

namespace {

constexpr char kUntouched = '\xAA';
constexpr size_t kSlack = 16;

struct MarkerCase {
  const char* name;
  std::string text;
  size_t capacity;
  bool expectMarker;
  std::string expectCopied;
};

class CopyTextUpToMarkerTest : public testing::TestWithParam<MarkerCase> {};

// Copies into a buffer of exactly capacity + 4 bytes followed by a guard area,
// and checks the text, the four zero bytes behind it, and that nothing else
// was written.
TEST_P(CopyTextUpToMarkerTest, CopiesUpToTheMarkerAndTerminatesWithinTheBuffer) {
  const MarkerCase& c = GetParam();
  std::vector<char> buffer(c.capacity + kTextTerminatorBytes + kSlack, kUntouched);
  const auto* bytes = reinterpret_cast<const unsigned char*>(c.text.data());
  EXPECT_EQ(CopyTextUpToMarker(bytes, c.text.size(), buffer.data(), c.capacity), c.expectMarker);
  const size_t n = c.expectCopied.size();
  ASSERT_LE(n, c.capacity);
  EXPECT_EQ(std::string(buffer.data(), n), c.expectCopied);
  for (size_t i = n; i < n + kTextTerminatorBytes; ++i) EXPECT_EQ(buffer[i], '\0') << "terminator byte " << i;
  for (size_t i = n + kTextTerminatorBytes; i < buffer.size(); ++i)
    ASSERT_EQ(buffer[i], kUntouched) << "byte " << i << " written behind the terminator";
}

const MarkerCase kMarkerCases[] = {
    {"LettersAroundTheMarker", "abc~def", 64, true, "abc"},
    {"MarkerFirst", "~abc", 64, true, ""},
    {"OnlyTheFirstMarkerCounts", "a~b~c", 64, true, "a"},
    {"LineBreaksAndZeroBytesStay", std::string("a\r\n\0b\x7f~", 7), 64, true, std::string("a\r\n\0b\x7f", 6)},
    {"ShaderEndsWithAnEmptyComment", "void main() {}\n//~\n", 64, true, "void main() {}\n//"},
    {"TextFillsTheCapacityExactly", "12345678~", 8, true, "12345678"},
    {"NoMarkerWithinTheText", "abc", 64, false, "abc"},
    {"NoMarkerWithinTheCapacity", "123456789~", 8, false, "12345678"},
    {"LongTextWithoutMarker", std::string(100, 'x'), 8, false, "xxxxxxxx"},
    {"EmptyText", "", 64, false, ""},
    {"ZeroCapacityMarker", "~", 0, true, ""},
    {"ZeroCapacityText", "a~", 0, false, ""},
};

INSTANTIATE_TEST_SUITE_P(Texts, CopyTextUpToMarkerTest, testing::ValuesIn(kMarkerCases),
                         [](const testing::TestParamInfo<MarkerCase>& info) { return info.param.name; });

TEST(LoadTextResource, MissingResourceGivesAnEmptyTextAndFalse) {
  std::vector<char> buffer(8 + kTextTerminatorBytes, kUntouched);
  EXPECT_FALSE(LoadTextResource(9999, buffer.data(), 8));
  EXPECT_EQ(buffer[0], '\0');
}

class ShaderSourceResource : public testing::TestWithParam<int> {};

// The loader must see each whole shader: its `~` is the last line and lies
// within the capacity, and the compiler gets a text that ends in "//".
TEST_P(ShaderSourceResource, IsWholeWithinTheCapacityAndEndsWithAnEmptyComment) {
  std::vector<char> buffer(ShaderProgram::kSourceBufferBytes, kUntouched);
  ASSERT_TRUE(LoadTextResource(GetParam(), buffer.data(), ShaderProgram::kSourceCapacity));
  std::string text(buffer.data());
  EXPECT_EQ(text.rfind("#version 110\n", 0), 0u) << "first line";
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(text.size() - 3), "\n//");
  EXPECT_EQ(text.find('~'), std::string::npos);

  ResourceBytes raw;
  ASSERT_TRUE(FindResourceBytes(ResourceType::TextFile, GetParam(), &raw));
  std::string whole(reinterpret_cast<const char*>(raw.data), raw.size);
  EXPECT_EQ(whole.substr(text.size()), "~\n") << "the marker line is the last line";
}

INSTANTIATE_TEST_SUITE_P(SceneShaders, ShaderSourceResource, testing::Values(105, 106));

}  // namespace
