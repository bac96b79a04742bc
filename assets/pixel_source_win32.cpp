// Bitmap resources read the way the system draws them: loaded as a device
// bitmap, selected into a memory context made like the desktop's, and read
// back one pixel at a time.
#include <windows.h>

#include "assets/pixel_source.h"

namespace {

class GdiBitmapPixelSource : public PixelSource {
 public:
  explicit GdiBitmapPixelSource(int id) {
    bitmap_ = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id & 0xFFFF));
    if (bitmap_ == nullptr) return;
    BITMAP info{};
    if (GetObjectA(bitmap_, sizeof info, &info) == sizeof info) {
      width_ = info.bmWidth;
      height_ = info.bmHeight;
    }
    desktop_ = GetDesktopWindow();
    desktopDc_ = GetDC(desktop_);
    memoryDc_ = CreateCompatibleDC(desktopDc_);
    if (memoryDc_ != nullptr) previous_ = SelectObject(memoryDc_, bitmap_);
  }

  ~GdiBitmapPixelSource() override {
    if (memoryDc_ != nullptr) {
      SelectObject(memoryDc_, previous_);
      DeleteDC(memoryDc_);
    }
    if (desktopDc_ != nullptr) ReleaseDC(desktop_, desktopDc_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }

  GdiBitmapPixelSource(const GdiBitmapPixelSource&) = delete;
  GdiBitmapPixelSource& operator=(const GdiBitmapPixelSource&) = delete;

  Rgb8 Pixel(int x, int y) const override {
    if (memoryDc_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return kOutsidePixel;
    const COLORREF colour = GetPixel(memoryDc_, x, y);
    if (colour == CLR_INVALID) return kOutsidePixel;
    return Rgb8{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
  }

 private:
  HBITMAP bitmap_ = nullptr;
  HWND desktop_ = nullptr;
  HDC desktopDc_ = nullptr;
  HDC memoryDc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace

// A missing resource gives a source without a bitmap, which reads as white
// everywhere, as on platforms without executable resources.
std::unique_ptr<PixelSource> OpenBitmapResource(int id) { return std::make_unique<GdiBitmapPixelSource>(id); }
