#pragma once

#include <string>

#include "tools/offscreen/rgba_image.h"

// An RGBA8 framebuffer object of a fixed size that frames are drawn into
// instead of a window. Needs a current context for its whole life.
class FramebufferTarget {
 public:
  FramebufferTarget(int width, int height);
  ~FramebufferTarget();
  FramebufferTarget(const FramebufferTarget&) = delete;
  FramebufferTarget& operator=(const FramebufferTarget&) = delete;

  // False, with the reason in *error, when the GL could not make a complete
  // framebuffer of that size.
  bool IsComplete(std::string* error) const;

  // Makes it the target of drawing and reading.
  void Bind() const;

  // Everything drawn so far, waited for, top row first.
  RgbaImage ReadPixels() const;

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  unsigned framebuffer_ = 0;
  unsigned colourBuffer_ = 0;
};
