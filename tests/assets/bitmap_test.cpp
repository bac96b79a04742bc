#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "assets/mip_texture.h"
#include "assets/pixel_source.h"
#include "assets/resources.h"

// Lets a failing comparison print the colours.
std::ostream& operator<<(std::ostream& out, Rgb8 p) {
  return out << "(" << int(p.red) << "," << int(p.green) << "," << int(p.blue) << ")";
}

namespace {

// A colour that names its own position, so a pixel read from the wrong row or
// column cannot pass.
Rgb8 Labelled(int x, int y) { return Rgb8{static_cast<uint8_t>(10 + x), static_cast<uint8_t>(100 + y), 200}; }

void Put16(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<unsigned char>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

struct BmpLayout {
  int width = 3;
  int height = 2;
  bool topDown = false;
  uint16_t bitsPerPixel = 24;
  uint32_t compression = 0;
  uint16_t planes = 1;
  uint32_t infoSize = 40;
  int64_t pixelOffsetAdjust = 0;
  unsigned char padding = 0xEE;
};

// A bitmap file written independently of the decoder, with visible padding.
std::vector<unsigned char> MakeBmp(const BmpLayout& layout) {
  const int rows = layout.height < 0 ? -layout.height : layout.height;
  const int columns = layout.width > 0 ? layout.width : 0;
  const uint32_t stride = (columns * 3 + 3) / 4 * 4;
  const uint32_t offset = static_cast<uint32_t>(14 + layout.infoSize + layout.pixelOffsetAdjust);
  std::vector<unsigned char> out{'B', 'M'};
  Put32(out, offset + stride * rows);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, layout.infoSize);
  Put32(out, static_cast<uint32_t>(layout.width));
  Put32(out, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height));
  Put16(out, layout.planes);
  Put16(out, layout.bitsPerPixel);
  Put32(out, layout.compression);
  Put32(out, stride * rows);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  out.resize(offset, 0x55);
  for (int stored = 0; stored < rows; ++stored) {
    const int y = layout.topDown ? stored : rows - 1 - stored;
    for (int x = 0; x < columns; ++x) {
      Rgb8 p = Labelled(x, y);
      out.insert(out.end(), {p.blue, p.green, p.red});
    }
    out.resize(out.size() + (stride - columns * 3), layout.padding);
  }
  return out;
}

void ExpectLabelledImage(const BmpPixelSource& source, int width, int height) {
  ASSERT_TRUE(source.valid());
  EXPECT_EQ(source.width(), width);
  EXPECT_EQ(source.height(), height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) EXPECT_EQ(source.Pixel(x, y), Labelled(x, y)) << "pixel " << x << "," << y;
}

struct SizeCase {
  int width;
  int height;
  bool topDown;
};

class BmpDecoding : public testing::TestWithParam<SizeCase> {};

// Widths 1 to 5 cover every amount of row padding (3, 2, 1, 0 bytes).
TEST_P(BmpDecoding, ReadsEveryPixelAtItsPlaceWhateverThePadding) {
  BmpLayout layout;
  layout.width = GetParam().width;
  layout.height = GetParam().height;
  layout.topDown = GetParam().topDown;
  std::vector<unsigned char> file = MakeBmp(layout);
  BmpPixelSource source(file.data(), file.size());
  ExpectLabelledImage(source, layout.width, layout.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpDecoding,
                         testing::Values(SizeCase{1, 1, false}, SizeCase{2, 3, false}, SizeCase{3, 2, false},
                                         SizeCase{4, 2, false}, SizeCase{5, 4, false}, SizeCase{3, 2, true},
                                         SizeCase{5, 3, true}));

TEST(BmpDecoding, StoredFirstRowIsTheBottomOfTheImage) {
  BmpLayout layout;
  std::vector<unsigned char> file = MakeBmp(layout);
  // The first stored pixel (at the pixel offset) is the bottom-left one.
  file[54] = 1;
  file[55] = 2;
  file[56] = 3;
  BmpPixelSource source(file.data(), file.size());
  EXPECT_EQ(source.Pixel(0, layout.height - 1), (Rgb8{3, 2, 1}));
  EXPECT_EQ(source.Pixel(0, 0), Labelled(0, 0));
}

TEST(BmpDecoding, PixelsOutsideTheImageReadWhite) {
  std::vector<unsigned char> file = MakeBmp(BmpLayout{});
  BmpPixelSource source(file.data(), file.size());
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {3, 2}, {-100000, 7}, {1 << 30, 1}})
    EXPECT_EQ(source.Pixel(x, y), kOutsidePixel) << x << "," << y;
}

// Every shorter prefix of a file either decodes a pixel right or reads it
// white: never a byte from beyond the data (ASan watches the reads).
TEST(BmpDecoding, TruncatedFilesReadWhereTheyHaveBytesAndWhiteElsewhere) {
  BmpLayout layout;
  layout.width = 5;
  layout.height = 3;
  const std::vector<unsigned char> whole = MakeBmp(layout);
  for (size_t length = 0; length < whole.size(); ++length) {
    std::vector<unsigned char> prefix(whole.begin(), whole.begin() + length);
    BmpPixelSource source(prefix.data(), prefix.size());
    EXPECT_EQ(source.valid(), length >= 54) << length;
    for (int y = 0; y < layout.height; ++y)
      for (int x = 0; x < layout.width; ++x) {
        const size_t end = 54 + static_cast<size_t>(layout.height - 1 - y) * 16 + x * 3 + 3;
        EXPECT_EQ(source.Pixel(x, y), end <= length ? Labelled(x, y) : kOutsidePixel)
            << "length " << length << " pixel " << x << "," << y;
      }
  }
}

struct ForeignCase {
  const char* name;
  std::function<void(BmpLayout&)> change;
};

class ForeignBitmap : public testing::TestWithParam<ForeignCase> {};

TEST_P(ForeignBitmap, HasNoImageAndReadsWhite) {
  BmpLayout layout;
  GetParam().change(layout);
  std::vector<unsigned char> file = MakeBmp(layout);
  BmpPixelSource source(file.data(), file.size());
  EXPECT_FALSE(source.valid());
  EXPECT_EQ(source.Pixel(0, 0), kOutsidePixel);
  EXPECT_EQ(source.Pixel(1, 1), kOutsidePixel);
}

INSTANTIATE_TEST_SUITE_P(Headers, ForeignBitmap,
                         testing::Values(ForeignCase{"EightBits", [](BmpLayout& s) { s.bitsPerPixel = 8; }},
                                         ForeignCase{"ThirtyTwoBits", [](BmpLayout& s) { s.bitsPerPixel = 32; }},
                                         ForeignCase{"RunLengthEncoded", [](BmpLayout& s) { s.compression = 1; }},
                                         ForeignCase{"NoPlanes", [](BmpLayout& s) { s.planes = 0; }},
                                         ForeignCase{"CoreHeader", [](BmpLayout& s) { s.infoSize = 12; }},
                                         ForeignCase{"ZeroWidth", [](BmpLayout& s) { s.width = 0; }},
                                         ForeignCase{"NegativeWidth", [](BmpLayout& s) { s.width = -3; }},
                                         ForeignCase{"ZeroHeight", [](BmpLayout& s) { s.height = 0; }},
                                         ForeignCase{"PixelsInsideTheHeader",
                                                     [](BmpLayout& s) { s.pixelOffsetAdjust = -20; }}),
                         [](const testing::TestParamInfo<ForeignCase>& info) { return info.param.name; });

TEST(BmpDecoding, ImpossibleSizesAreRefusedWithoutReadingFarAway) {
  std::vector<unsigned char> file = MakeBmp(BmpLayout{});
  for (uint32_t side : {0x7FFFFFFFu, 0x80000000u, 0x00100000u}) {
    std::vector<unsigned char> huge = file;
    for (int i = 0; i < 4; ++i) huge[18 + i] = (side >> (8 * i)) & 0xFF;
    BmpPixelSource source(huge.data(), huge.size());
    EXPECT_FALSE(source.valid()) << side;
    EXPECT_EQ(source.Pixel(1000, 0), kOutsidePixel);
  }
}

// Later versions of the info header (V4 108 bytes, V5 124) only add fields
// behind the first 40; the pixels follow the whole header.
TEST(BmpDecoding, ReadsThePixelsBehindALargerInfoHeader) {
  for (uint32_t infoSize : {52u, 56u, 108u, 124u}) {
    BmpLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.infoSize = infoSize;
    std::vector<unsigned char> file = MakeBmp(layout);
    BmpPixelSource source(file.data(), file.size());
    SCOPED_TRACE(infoSize);
    ExpectLabelledImage(source, 5, 3);
  }
}

TEST(BmpDecoding, RefusesPixelsThatStartInsideALargerInfoHeader) {
  BmpLayout layout;
  layout.infoSize = 124;
  layout.pixelOffsetAdjust = -1;
  std::vector<unsigned char> file = MakeBmp(layout);
  BmpPixelSource source(file.data(), file.size());
  EXPECT_FALSE(source.valid());
  EXPECT_EQ(source.Pixel(0, 0), kOutsidePixel);
}

// 32768 pixels is the largest side either way, bottom-up or top-down.
TEST(BmpDecoding, TakesSidesUpToTheLimitAndNoFurther) {
  struct Side {
    int width, height;
    bool topDown, valid;
  };
  for (Side c : {Side{32768, 1, false, true}, Side{32769, 1, false, false}, Side{1, 32768, false, true},
                 Side{1, 32769, false, false}, Side{1, 32768, true, true}, Side{1, 32769, true, false}}) {
    BmpLayout layout;
    layout.width = c.width;
    layout.height = c.height;
    layout.topDown = c.topDown;
    std::vector<unsigned char> file = MakeBmp(layout);
    BmpPixelSource source(file.data(), file.size());
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << (c.topDown ? " top-down" : ""));
    ASSERT_EQ(source.valid(), c.valid);
    if (c.valid) {
      EXPECT_EQ(source.width(), c.width);
      EXPECT_EQ(source.height(), c.height);
      EXPECT_EQ(source.Pixel(c.width - 1, c.height - 1), Labelled(c.width - 1, c.height - 1)) << "the far corner";
      EXPECT_EQ(source.Pixel(0, 0), Labelled(0, 0));
    } else {
      EXPECT_EQ(source.Pixel(0, 0), kOutsidePixel);
    }
  }
}

TEST(BmpDecoding, NotABitmapAtAll) {
  const unsigned char text[] = "MB this is not a bitmap, though it is long enough to hold a header........";
  BmpPixelSource source(text, sizeof text);
  EXPECT_FALSE(source.valid());
  BmpPixelSource nothing(nullptr, 0);
  EXPECT_FALSE(nothing.valid());
  EXPECT_EQ(nothing.Pixel(0, 0), kOutsidePixel);
}

TEST(BmpDecoding, PixelDataPastTheEndOfTheFileReadsWhite) {
  BmpLayout layout;
  layout.pixelOffsetAdjust = 1000;
  std::vector<unsigned char> file = MakeBmp(layout);
  file.resize(14 + 40 + 500);
  BmpPixelSource source(file.data(), file.size());
  EXPECT_TRUE(source.valid());
  EXPECT_EQ(source.Pixel(0, 0), kOutsidePixel);
}

// A 2x2 source of four distinct colours for the texel conversion.
class GridSource : public PixelSource {
 public:
  Rgb8 Pixel(int x, int y) const override {
    if (x < 0 || y < 0 || x > 1 || y > 1) return kOutsidePixel;
    static const Rgb8 colours[2][2] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {51, 102, 204}}};
    return colours[y][x];
  }
};

std::vector<float> Texels(int width, int height, bool flip) {
  std::vector<float> out(static_cast<size_t>(width) * height * 4, -1.0f);
  ReadPixels(GridSource{}, out.data(), width, height, flip);
  return out;
}

TEST(ReadPixels, FlippedRowsStartWithTheBottomOfTheImage) {
  const std::vector<float> flipped = Texels(2, 2, true);
  const std::vector<float> expected = {0, 0, 1, 1, 0.2f, 0.4f, 0.8f, 1, 1, 0, 0, 1, 0, 1, 0, 1};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_FLOAT_EQ(flipped[i], expected[i]) << i;
}

TEST(ReadPixels, UnflippedRowsStartWithTheTop) {
  const std::vector<float> texels = Texels(2, 2, false);
  const std::vector<float> expected = {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0.2f, 0.4f, 0.8f, 1};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_FLOAT_EQ(texels[i], expected[i]) << i;
}

TEST(ReadPixels, ALargerLevelThanTheBitmapIsWhiteBeyondIt) {
  const std::vector<float> texels = Texels(4, 4, true);
  // Flipped: texel row r is image row 3 - r, so only rows 2 and 3 see the image.
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      const float* t = &texels[4 * (row * 4 + column)];
      const bool inside = row >= 2 && column < 2;
      if (!inside) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(t[c], 1.0f) << row << "," << column;
      }
      EXPECT_EQ(t[3], 1.0f);
    }
  EXPECT_FLOAT_EQ(texels[4 * (3 * 4 + 0) + 0], 1.0f) << "image (0,0) red at the top texel row";
  EXPECT_FLOAT_EQ(texels[4 * (3 * 4 + 0) + 1], 0.0f);
}

TEST(ReadPixels, ASmallerLevelTakesTheTopLeftSquare) {
  const std::vector<float> texels = Texels(1, 1, true);
  EXPECT_EQ(texels, (std::vector<float>{1, 0, 0, 1}));
}

struct AnisotropyCase {
  const char* renderer;
  float deviceMaximum;
  float expected;
};

class AnisotropyChoice : public testing::TestWithParam<AnisotropyCase> {};

TEST_P(AnisotropyChoice, BoundsOnlySoftwareRenderers) {
  EXPECT_EQ(ChooseMaxAnisotropy(GetParam().renderer, GetParam().deviceMaximum), GetParam().expected)
      << GetParam().renderer;
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, AnisotropyChoice,
    testing::Values(AnisotropyCase{"llvmpipe (LLVM 15.0.6, 256 bits)", 16, 1}, AnisotropyCase{"softpipe", 8, 1},
                    AnisotropyCase{"llvmpipe (LLVM 15.0.6, 128 bits)", 1, 1}, AnisotropyCase{"llvmpipe", 0, 0},
                    AnisotropyCase{"Mesa X11 swrast", 4, 1}, AnisotropyCase{"NVIDIA H100 PCIe/PCIe/SSE2", 16, 16},
                    AnisotropyCase{"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 16, 16},
                    AnisotropyCase{"AMD Radeon RX 6800 (radeonsi, navi21, LLVM 15.0.6, DRM 3.49)", 16, 16},
                    AnisotropyCase{"", 8, 8}));

// The embedded chains: each id decodes at the size its place in the chain
// gives it, and each level is the block average of the chain's level 0.
struct Chain {
  std::vector<int> ids;  // smallest level first
};

class TextureChain : public testing::TestWithParam<Chain> {};

TEST_P(TextureChain, EachLevelIsADownsampleOfLevelZero) {
  const std::vector<int>& ids = GetParam().ids;
  ResourceBytes full;
  ASSERT_TRUE(FindResourceBytes(ResourceType::Bitmap, ids.back(), &full));
  BmpPixelSource top(full.data, full.size);
  const int fullSize = 1 << (ids.size() - 1);
  ASSERT_EQ(top.width(), fullSize);
  ASSERT_EQ(top.height(), fullSize);
  for (size_t i = 0; i < ids.size(); ++i) {
    ResourceBytes bytes;
    ASSERT_TRUE(FindResourceBytes(ResourceType::Bitmap, ids[i], &bytes)) << ids[i];
    BmpPixelSource level(bytes.data, bytes.size);
    const int size = 1 << i;
    ASSERT_EQ(level.width(), size) << ids[i];
    ASSERT_EQ(level.height(), size) << ids[i];
    const int block = fullSize / size;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        long sum[3] = {0, 0, 0};
        for (int yy = y * block; yy < (y + 1) * block; ++yy)
          for (int xx = x * block; xx < (x + 1) * block; ++xx) {
            Rgb8 p = top.Pixel(xx, yy);
            sum[0] += p.red;
            sum[1] += p.green;
            sum[2] += p.blue;
          }
        const Rgb8 p = level.Pixel(x, y);
        const double area = double(block) * block;
        ASSERT_NEAR(p.red, sum[0] / area, 0.5) << ids[i] << " at " << x << "," << y;
        ASSERT_NEAR(p.green, sum[1] / area, 0.5) << ids[i] << " at " << x << "," << y;
        ASSERT_NEAR(p.blue, sum[2] / area, 0.5) << ids[i] << " at " << x << "," << y;
      }
  }
}

INSTANTIATE_TEST_SUITE_P(Embedded, TextureChain,
                         testing::Values(Chain{{121, 120, 119, 118, 117, 116, 115, 103, 135}},
                                         Chain{{127, 128, 129, 130, 131, 132, 133, 134}}));

TEST(GravelTexture, IsGreyWithItsHeightInTheRedChannel) {
  ResourceBytes bytes;
  ASSERT_TRUE(FindResourceBytes(ResourceType::Bitmap, 135, &bytes));
  BmpPixelSource gravel(bytes.data, bytes.size);
  int darkest = 255, brightest = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      Rgb8 p = gravel.Pixel(x, y);
      ASSERT_LE(std::abs(p.red - p.green), 12) << x << "," << y;
      ASSERT_LE(std::abs(p.red - p.blue), 12) << x << "," << y;
      darkest = std::min<int>(darkest, p.red);
      brightest = std::max<int>(brightest, p.red);
    }
  // A height map that the bump mapping can use spans most of the range.
  EXPECT_LT(darkest, 40);
  EXPECT_GT(brightest, 200);
}

}  // namespace
