#include <cstring>

#include "assets/pixel_source.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr uint16_t kBitsPerPixel = 24;
constexpr uint32_t kUncompressed = 0;  // BI_RGB
// Far beyond any bitmap this program carries, and small enough that no row or
// offset computation can overflow.
constexpr int32_t kLargestSide = 1 << 15;

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

int32_t ReadSigned32(const unsigned char* p) {
  uint32_t bits = Read32(p);
  int32_t value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

BmpPixelSource::BmpPixelSource(const unsigned char* data, size_t size) : data_(data), size_(size) {
  if (!ReadHeader()) {
    width_ = 0;
    height_ = 0;
  }
}

bool BmpPixelSource::ReadHeader() {
  if (data_ == nullptr || size_ < kFileHeaderBytes + kInfoHeaderBytes) return false;
  if (data_[0] != 'B' || data_[1] != 'M') return false;
  const unsigned char* info = data_ + kFileHeaderBytes;
  const uint32_t infoSize = Read32(info);
  const int32_t width = ReadSigned32(info + 4);
  const int32_t height = ReadSigned32(info + 8);
  if (infoSize < kInfoHeaderBytes || Read16(info + 12) != 1 || Read16(info + 14) != kBitsPerPixel ||
      Read32(info + 16) != kUncompressed)
    return false;
  if (width <= 0 || width > kLargestSide || height == 0 || height < -kLargestSide || height > kLargestSide)
    return false;
  width_ = width;
  height_ = height > 0 ? height : -height;
  bottomUp_ = height > 0;
  pixelOffset_ = Read32(data_ + 10);
  if (pixelOffset_ < kFileHeaderBytes + infoSize) return false;
  rowStride_ = (static_cast<size_t>(width_) * 3 + 3) / 4 * 4;
  return true;
}

Rgb8 BmpPixelSource::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kOutsidePixel;
  const size_t storedRow = bottomUp_ ? static_cast<size_t>(height_ - 1 - y) : static_cast<size_t>(y);
  const size_t offset = pixelOffset_ + storedRow * rowStride_ + static_cast<size_t>(x) * 3;
  if (offset > size_ || size_ - offset < 3) return kOutsidePixel;
  const unsigned char* p = data_ + offset;
  return Rgb8{p[2], p[1], p[0]};
}
