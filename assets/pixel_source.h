#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct Rgb8 {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

constexpr bool operator==(Rgb8 a, Rgb8 b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
constexpr bool operator!=(Rgb8 a, Rgb8 b) { return !(a == b); }

constexpr Rgb8 kOutsidePixel{255, 255, 255};

// What the texture code needs of a bitmap: the colour of one pixel, with
// y = 0 the top row. Pixels outside the image read as kOutsidePixel.
class PixelSource {
 public:
  virtual ~PixelSource() = default;
  virtual Rgb8 Pixel(int x, int y) const = 0;
};

// The embedded bitmap resource of the given id. A missing resource gives a
// source with no image, every pixel of which reads as kOutsidePixel.
std::unique_ptr<PixelSource> OpenBitmapResource(int id);

// A Windows bitmap file in memory: 14-byte file header, an information header
// of at least 40 bytes, 24 bits per pixel, uncompressed, rows padded to 4
// bytes, bottom-up (positive height) or top-down (negative height). The bytes
// are not copied and must outlive the source. Anything else (a truncated or
// foreign header, another pixel format, sizes that do not fit) leaves the
// source without an image; pixel bytes that lie beyond the end of the data
// read as kOutsidePixel.
class BmpPixelSource : public PixelSource {
 public:
  BmpPixelSource(const unsigned char* data, size_t size);

  Rgb8 Pixel(int x, int y) const override;
  bool valid() const { return width_ > 0; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  bool ReadHeader();

  const unsigned char* data_;
  size_t size_;
  int width_ = 0;
  int height_ = 0;
  bool bottomUp_ = true;
  size_t pixelOffset_ = 0;
  size_t rowStride_ = 0;
};
