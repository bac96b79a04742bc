// The bitmap decoder on arbitrary bytes. Whatever the header claims, every
// pixel read stays inside the data, pixels outside the image read white, and
// a header the decoder refuses leaves an image of no pixels at all.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assets/pixel_source.h"

namespace {

// Enough to cross every row and the padding of the small images the corpus
// holds, bounded so a header claiming 32768x32768 pixels stays fast.
constexpr int kMaxSampledSide = 64;

void CheckOutsideReadsWhite(const BmpPixelSource& source) {
  const int w = source.width();
  const int h = source.height();
  const int outside[][2] = {{-1, 0}, {0, -1}, {w, 0}, {0, h}, {w, h}, {-1000000, 5}, {5, 1 << 30}};
  for (const auto& p : outside) {
    if (source.Pixel(p[0], p[1]) != kOutsidePixel) abort();
  }
}

void ReadSampledPixels(const BmpPixelSource& source) {
  const int w = std::min(source.width(), kMaxSampledSide);
  const int h = std::min(source.height(), kMaxSampledSide);
  unsigned sum = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) sum += source.Pixel(x, y).red;
  }
  // The far corner and the far edges, where a wrong row stride or offset
  // would first run past the end of the data.
  sum += source.Pixel(source.width() - 1, source.height() - 1).green;
  sum += source.Pixel(0, source.height() - 1).blue;
  sum += source.Pixel(source.width() - 1, 0).blue;
  if (sum == 0xFFFFFFFFu) abort();  // keeps the reads from being optimised away
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BmpPixelSource source(data, size);
  if (!source.valid()) {
    if (source.width() != 0 || source.height() != 0) abort();
    if (source.Pixel(0, 0) != kOutsidePixel) abort();
    return 0;
  }
  if (source.width() <= 0 || source.height() <= 0) abort();
  CheckOutsideReadsWhite(source);
  ReadSampledPixels(source);
  return 0;
}
