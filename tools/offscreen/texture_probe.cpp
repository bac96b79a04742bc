#include "tools/offscreen/texture_probe.h"

#include <glad/gl.h>

#include <functional>
#include <random>
#include <vector>

namespace {

// Keeps whatever unit and binding the caller had.
class TextureUnitGuard {
 public:
  TextureUnitGuard() {
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit_);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &unit0Texture_);
  }
  ~TextureUnitGuard() {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, unit0Texture_);
    glActiveTexture(activeUnit_);
  }

 private:
  GLint activeUnit_ = GL_TEXTURE0;
  GLint unit0Texture_ = 0;
};

int RewriteLevels(unsigned texture, const std::function<void(std::vector<unsigned char>*)>& fill) {
  TextureUnitGuard guard;
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  int levels = 0;
  for (int level = 0; level < 32; ++level) {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0) break;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    fill(&pixels);
    glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    ++levels;
  }
  return levels;
}

}  // namespace

unsigned TextureBoundOnUnit(int unit) {
  GLint activeUnit = GL_TEXTURE0, texture = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
  glActiveTexture(GL_TEXTURE0 + unit);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
  glActiveTexture(activeUnit);
  return static_cast<unsigned>(texture);
}

int FillTextureLevels(unsigned texture, unsigned char red, unsigned char green, unsigned char blue) {
  return RewriteLevels(texture, [&](std::vector<unsigned char>* pixels) {
    for (size_t i = 0; i < pixels->size(); i += 3) {
      (*pixels)[i] = red;
      (*pixels)[i + 1] = green;
      (*pixels)[i + 2] = blue;
    }
  });
}

int SpeckleTextureLevels(unsigned texture, unsigned seed) {
  std::mt19937 random(seed);
  return RewriteLevels(texture, [&](std::vector<unsigned char>* pixels) {
    for (unsigned char& byte : *pixels) byte = static_cast<unsigned char>(random() & 0xFF);
  });
}
