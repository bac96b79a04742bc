#include "tools/offscreen/framebuffer_target.h"

#include <glad/gl.h>

#include <algorithm>
#include <cstring>

namespace {

int LargestRenderbufferSide() {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  return largest;
}

bool FitsRenderbuffer(int width, int height) {
  const int largest = LargestRenderbufferSide();
  return width > 0 && height > 0 && width <= largest && height <= largest;
}

}  // namespace

// A size the GL refuses gets no storage at all, so the refusal leaves no GL
// error behind for whoever draws next; IsComplete reports it.
FramebufferTarget::FramebufferTarget(int width, int height) : width_(width), height_(height) {
  glGenRenderbuffers(1, &colourBuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
  if (FitsRenderbuffer(width, height)) glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
}

FramebufferTarget::~FramebufferTarget() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer_);
  glDeleteRenderbuffers(1, &colourBuffer_);
}

bool FramebufferTarget::IsComplete(std::string* error) const {
  if (!FitsRenderbuffer(width_, height_)) {
    *error = "the frame size must be 1 to " + std::to_string(LargestRenderbufferSide()) + " pixels each way";
    return false;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    *error = "the GL could not make a " + std::to_string(width_) + "x" + std::to_string(height_) + " framebuffer";
    return false;
  }
  return true;
}

void FramebufferTarget::Bind() const { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_); }

// GL rows run bottom to top; pictures run top to bottom.
RgbaImage FramebufferTarget::ReadPixels() const {
  RgbaImage image;
  image.width = width_;
  image.height = height_;
  const size_t rowBytes = static_cast<size_t>(width_) * 4;
  std::vector<unsigned char> glRows(rowBytes * height_);
  Bind();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, glRows.data());
  image.pixels.resize(glRows.size());
  for (int row = 0; row < height_; ++row)
    std::memcpy(&image.pixels[rowBytes * row], &glRows[rowBytes * (height_ - 1 - row)], rowBytes);
  return image;
}
