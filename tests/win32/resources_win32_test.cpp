#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/mip_texture.h"
#include "assets/pixel_source.h"
#include "assets/resources.h"
#include "assets/shader_program.h"
#include "assets/text_resource.h"
#include "tests/win32/manifest.h"

namespace {

std::vector<ManifestEntry> EntriesOfType(const std::string& type) {
  std::vector<ManifestEntry> selected;
  for (const ManifestEntry& entry : ReadManifest()) {
    if (entry.type == type) selected.push_back(entry);
  }
  return selected;
}

std::string Describe(const ManifestEntry& entry) { return entry.type + " " + std::to_string(entry.id); }

}  // namespace

TEST(Win32Manifest, ListsTheResourcesTheProgramNeeds) {
  // The text and bitmap suites below iterate the manifest; an unreadable one
  // must fail here rather than let them pass over nothing.
  EXPECT_EQ(EntriesOfType("TEXTFILE").size(), 4u);
  EXPECT_EQ(EntriesOfType("BITMAP").size(), 18u);
}

TEST(Win32TextResources, EveryTextIsItsFileByteForByte) {
  for (const ManifestEntry& entry : EntriesOfType("TEXTFILE")) {
    SCOPED_TRACE(Describe(entry));
    const std::vector<unsigned char> file = ReadWholeFile(entry.path);
    ASSERT_FALSE(file.empty()) << entry.path;
    ResourceBytes bytes;
    ASSERT_TRUE(FindResourceBytes(ResourceType::TextFile, entry.id, &bytes));
    EXPECT_EQ(std::vector<unsigned char>(bytes.data, bytes.data + bytes.size), file);
  }
}

TEST(Win32TextResources, ShaderTextEndsAtTheMarker) {
  for (int id : {105, 106}) {
    SCOPED_TRACE(id);
    std::vector<char> text(ShaderProgram::kSourceCapacity + kTextTerminatorBytes, 'x');
    ASSERT_TRUE(LoadTextResource(id, text.data(), ShaderProgram::kSourceCapacity));
    ResourceBytes bytes;
    ASSERT_TRUE(FindResourceBytes(ResourceType::TextFile, id, &bytes));
    const std::string raw(reinterpret_cast<const char*>(bytes.data), bytes.size);
    EXPECT_EQ(std::string(text.data()), raw.substr(0, raw.find('~')));
  }
}

TEST(Win32TextResources, MissingOnesAreReportedNotInvented) {
  ResourceBytes bytes;
  EXPECT_FALSE(FindResourceBytes(ResourceType::TextFile, 9999, &bytes));
  // A bitmap id is not a text.
  EXPECT_FALSE(FindResourceBytes(ResourceType::TextFile, 135, &bytes));
  std::vector<char> text(16 + kTextTerminatorBytes, 'x');
  EXPECT_FALSE(LoadTextResource(9999, text.data(), 16));
  EXPECT_EQ(text[0], '\0');
}

// The system's bitmap loading and GetPixel must see exactly what the portable
// decoder reads from the file, including white outside the image.
TEST(Win32Bitmaps, EveryPixelMatchesThePortableDecoder) {
  for (const ManifestEntry& entry : EntriesOfType("BITMAP")) {
    SCOPED_TRACE(Describe(entry));
    const std::vector<unsigned char> file = ReadWholeFile(entry.path);
    BmpPixelSource decoded(file.data(), file.size());
    ASSERT_TRUE(decoded.valid()) << entry.path;
    std::unique_ptr<PixelSource> system = OpenBitmapResource(entry.id);
    int mismatches = 0;
    for (int y = -1; y <= decoded.height(); ++y) {
      for (int x = -1; x <= decoded.width(); ++x) {
        if (system->Pixel(x, y) != decoded.Pixel(x, y) && ++mismatches <= 3) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

TEST(Win32Bitmaps, TexelsOfALevelComeBottomRowFirst) {
  const std::vector<ManifestEntry> bitmaps = EntriesOfType("BITMAP");
  ManifestEntry level0{};
  for (const ManifestEntry& entry : bitmaps) {
    if (entry.id == 134) level0 = entry;
  }
  const std::vector<unsigned char> file = ReadWholeFile(level0.path);
  BmpPixelSource decoded(file.data(), file.size());
  ASSERT_EQ(decoded.width(), 128);
  std::vector<float> texels(128 * 128 * 4);
  ReadBitmapPixels(texels.data(), 134, 128, 128, true);
  for (int column : {0, 77, 127}) {
    const Rgb8 bottom = decoded.Pixel(column, 127);
    EXPECT_FLOAT_EQ(texels[4 * column + 0], bottom.red / 255.0f);
    EXPECT_FLOAT_EQ(texels[4 * column + 2], bottom.blue / 255.0f);
    EXPECT_FLOAT_EQ(texels[4 * column + 3], 1.0f);
  }
}

TEST(Win32Bitmaps, AMissingBitmapReadsWhite) {
  std::unique_ptr<PixelSource> missing = OpenBitmapResource(9999);
  EXPECT_EQ(missing->Pixel(0, 0), kOutsidePixel);
  EXPECT_EQ(missing->Pixel(5, 7), kOutsidePixel);
}
