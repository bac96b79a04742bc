#pragma once

#include <string_view>

#include "assets/pixel_source.h"
#include "platform/gl.h"
#include "platform/software_renderer.h"

// A 2D texture whose mip levels are separate bitmap resources, given smallest
// first: the first id becomes the 1x1 level, the last id level 0. Built on
// texture unit 0, which stays active with this texture bound.
class MipTexture {
 public:
  MipTexture(const int* ids, int count);
  ~MipTexture();
  MipTexture(const MipTexture&) = delete;
  MipTexture& operator=(const MipTexture&) = delete;

  GLuint Texture() const { return texture_; }

 private:
  GLuint texture_ = 0;
};

// width x height RGBA float texels from a bitmap resource: each channel / 255,
// alpha 1. With flipRows the first texel row is the image's bottom row, as the
// GL expects of the row at t = 0. Pixels beyond the bitmap read white.
void ReadBitmapPixels(float* destination, int id, int width, int height, bool flipRows);
void ReadPixels(const PixelSource& source, float* destination, int width, int height, bool flipRows);

// On a software rasteriser any anisotropy above 1 takes the sampler off its
// fast path: a 320x180 marched frame with five ground taps a pixel went from
// 5 ms to 300 ms at 2x and 315 ms at 16x on llvmpipe, and the scene's own
// frame took minutes. A renderer that names itself as one filters without
// anisotropy; hardware keeps the device's maximum.
constexpr float kSoftwareRendererMaxAnisotropy = 1.0f;

// The anisotropy to ask for, given GL_RENDERER and the device's maximum
// (0 where the extension is missing).
float ChooseMaxAnisotropy(std::string_view renderer, float deviceMaximum);
