#pragma once

#include <string>

#include "tools/offscreen/framebuffer_target.h"
#include "tools/offscreen/offscreen_context.h"

// The snapshot tool's windowless context, made current on construction so a
// test fixture can hold it as a member; ok() says whether that worked (and
// error() why not), so a test can skip cleanly on a machine without EGL.
class EglSurfacelessContext {
 public:
  EglSurfacelessContext() { ok_ = context_.Create(&error_); }

  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }

 private:
  OffscreenContext context_;
  bool ok_ = false;
  std::string error_;
};
