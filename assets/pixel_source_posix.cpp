// Where there are no executable resources, bitmaps are embedded as the bytes
// of their .bmp files and decoded here.
#include "assets/pixel_source.h"
#include "assets/resources.h"

std::unique_ptr<PixelSource> OpenBitmapResource(int id) {
  ResourceBytes bytes;
  if (!FindResourceBytes(ResourceType::Bitmap, id, &bytes)) return std::make_unique<BmpPixelSource>(nullptr, 0);
  return std::make_unique<BmpPixelSource>(bytes.data, bytes.size);
}
