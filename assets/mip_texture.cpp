#include "assets/mip_texture.h"

#include <algorithm>
#include <vector>

MipTexture::MipTexture(const int* ids, int count) {
  glGenTextures(1, &texture_);
  glActiveTexture(GL_TEXTURE0);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);

  // The level's size follows from the id's position alone; the bitmap's own
  // size is not consulted.
  int size = 1;
  for (int i = 0; i < count; ++i) {
    std::vector<float> texels(static_cast<size_t>(size) * size * 4);
    ReadBitmapPixels(texels.data(), ids[i], size, size, true);
    glTexImage2D(GL_TEXTURE_2D, count - 1 - i, GL_RGBA, size, size, 0, GL_RGBA, GL_FLOAT, texels.data());
    size *= 2;
  }

  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);

  GLfloat deviceMaximum = 0.0f;
  glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &deviceMaximum);
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const float anisotropy = ChooseMaxAnisotropy(renderer != nullptr ? renderer : "", deviceMaximum);
  // Without the extension there is nothing to set (the GL would refuse it).
  if (anisotropy >= 1.0f) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
}

MipTexture::~MipTexture() { glDeleteTextures(1, &texture_); }

void ReadPixels(const PixelSource& source, float* destination, int width, int height, bool flipRows) {
  for (int row = 0; row < height; ++row) {
    const int y = flipRows ? height - 1 - row : row;
    for (int column = 0; column < width; ++column) {
      const Rgb8 pixel = source.Pixel(column, y);
      float* texel = destination + 4 * (static_cast<size_t>(row) * width + column);
      texel[0] = static_cast<float>(pixel.red) / 255.0f;
      texel[1] = static_cast<float>(pixel.green) / 255.0f;
      texel[2] = static_cast<float>(pixel.blue) / 255.0f;
      texel[3] = 1.0f;
    }
  }
}

void ReadBitmapPixels(float* destination, int id, int width, int height, bool flipRows) {
  std::unique_ptr<PixelSource> source = OpenBitmapResource(id);
  ReadPixels(*source, destination, width, height, flipRows);
}

float ChooseMaxAnisotropy(std::string_view renderer, float deviceMaximum) {
  if (IsSoftwareRenderer(renderer)) return std::min(deviceMaximum, kSoftwareRendererMaxAnisotropy);
  return deviceMaximum;
}
