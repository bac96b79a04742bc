#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "render/window_icon.h"

// What Explorer and the screensaver settings read from the .scr itself: the
// version record and the file icon.
namespace {

const char kScreensaver[] = GLOAMERY_SCR_PATH;

std::string VersionString(const std::string& block, const char* key) {
  void* value = nullptr;
  UINT length = 0;
  std::string path = "\\StringFileInfo\\040904B0\\" + std::string(key);
  if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) return "";
  return static_cast<const char*>(value);
}

class DataModule {
 public:
  DataModule() : module_(LoadLibraryExA(kScreensaver, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataModule() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace

TEST(Win32Executable, CarriesTheProductsVersionRecord) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(kScreensaver, &ignored);
  ASSERT_GT(size, 0u) << kScreensaver;
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(kScreensaver, 0, size, block.data()));
  EXPECT_EQ(VersionString(block, "ProductName"), "Gloamery 3D Screensaver");
  EXPECT_EQ(VersionString(block, "FileDescription"), "Gloamery 3D Screensaver");
  EXPECT_EQ(VersionString(block, "ProductVersion"), GLOAMERY_VERSION ".0.0");

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(GLOAMERY_VERSION_MAJOR << 16 | GLOAMERY_VERSION_MINOR));
}

// The file icon is the window icon's picture, upright: drawn onto black, every
// opaque pixel shows the window icon's colour at the same place.
TEST(Win32Executable, FileIconShowsTheWindowIconUpright) {
  DataModule module;
  ASSERT_NE(module.get(), nullptr) << kScreensaver;
  HICON icon = static_cast<HICON>(
      LoadImageA(module.get(), MAKEINTRESOURCEA(1), IMAGE_ICON, kWindowIconSize, kWindowIconSize, 0));
  ASSERT_NE(icon, nullptr);

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, kWindowIconSize, kWindowIconSize);
  HGDIOBJ previous = SelectObject(memory, canvas);
  RECT all{0, 0, kWindowIconSize, kWindowIconSize};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_TRUE(DrawIconEx(memory, 0, 0, icon, kWindowIconSize, kWindowIconSize, 0, nullptr, DI_NORMAL));

  int opaque = 0, mismatches = 0;
  for (int x = 0; x < kWindowIconSize; ++x) {
    for (int y = 0; y < kWindowIconSize; ++y) {
      const unsigned char* rgba = kWindowIconColumns + 4 * (x * kWindowIconSize + y);
      if (rgba[3] != 255) continue;
      ++opaque;
      const COLORREF shown = GetPixel(memory, x, y);
      if (shown != RGB(rgba[0], rgba[1], rgba[2]) && ++mismatches <= 3) {
        ADD_FAILURE() << "icon pixel (" << x << ", " << y << ") is " << std::hex << shown;
      }
    }
  }
  EXPECT_GT(opaque, 1000);
  EXPECT_EQ(mismatches, 0);

  SelectObject(memory, previous);
  DeleteObject(canvas);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DestroyIcon(icon);
}
