#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/gl.h"

// A compatibility-profile GL context with no window and no X server: Mesa's
// surfaceless EGL platform. Construction makes it current and loads the GL
// entry points; ok() says whether that worked (and error() why not), so a
// test can skip cleanly on a machine without EGL.
class EglSurfacelessContext {
 public:
  EglSurfacelessContext();
  ~EglSurfacelessContext();
  EglSurfacelessContext(const EglSurfacelessContext&) = delete;
  EglSurfacelessContext& operator=(const EglSurfacelessContext&) = delete;

  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }

 private:
  void Fail(const char* what);

  void* display_ = nullptr;
  void* context_ = nullptr;
  bool ok_ = false;
  std::string error_;
};

// A colour target of its own, since a surfaceless context has no default
// framebuffer: an RGBA8 renderbuffer on a framebuffer object, bound for both
// drawing and reading while it lives.
class OffscreenTarget {
 public:
  OffscreenTarget(int width, int height);
  ~OffscreenTarget();
  OffscreenTarget(const OffscreenTarget&) = delete;
  OffscreenTarget& operator=(const OffscreenTarget&) = delete;

  bool complete() const;
  int width() const { return width_; }
  int height() const { return height_; }

  // Rows from the bottom of the target to the top, 4 bytes (RGBA) a pixel.
  std::vector<uint8_t> ReadPixels() const;

 private:
  int width_;
  int height_;
  GLuint framebuffer_ = 0;
  GLuint renderbuffer_ = 0;
};
