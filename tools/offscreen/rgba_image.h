#pragma once

#include <cstddef>
#include <vector>

// Eight-bit RGBA pixels, top row first, each row left to right, as a picture
// is seen on screen.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;

  const unsigned char* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};
