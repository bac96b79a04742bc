#include "tools/offscreen/png_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

std::string TempPath(const char* name) {
  return testing::TempDir() + "gloamery-" + std::to_string(getpid()) + "-" + name;
}

TEST(PngFiles, KeepEveryPixelAndTheTopRowFirst) {
  RgbaImage image;
  image.width = 5;
  image.height = 3;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      image.pixels.push_back(static_cast<unsigned char>(x * 50));
      image.pixels.push_back(static_cast<unsigned char>(y * 100));
      image.pixels.push_back(static_cast<unsigned char>(x + y));
      image.pixels.push_back(static_cast<unsigned char>(255 - x));
    }
  const std::string path = TempPath("roundtrip.png");
  std::string error;
  ASSERT_TRUE(WritePng(path, image, &error)) << error;
  RgbaImage back;
  ASSERT_TRUE(ReadPng(path, &back, &error)) << error;
  std::remove(path.c_str());
  EXPECT_EQ(back.width, 5);
  EXPECT_EQ(back.height, 3);
  EXPECT_EQ(back.pixels, image.pixels);
}

TEST(PngFiles, ReportAFileThatCannotBeWrittenOrRead) {
  RgbaImage image;
  image.width = image.height = 1;
  image.pixels = {1, 2, 3, 4};
  std::string error;
  EXPECT_FALSE(WritePng("/nonexistent-dir/x.png", image, &error));
  EXPECT_NE(error.find("/nonexistent-dir/x.png"), std::string::npos) << error;

  const std::string notPng = TempPath("not.png");
  std::FILE* file = std::fopen(notPng.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("this is no picture", file);
  std::fclose(file);
  RgbaImage back;
  error.clear();
  EXPECT_FALSE(ReadPng(notPng, &back, &error));
  EXPECT_FALSE(error.empty());
  std::remove(notPng.c_str());
}

}  // namespace
