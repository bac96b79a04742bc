#pragma once

#include <string>

#include "tools/offscreen/offscreen_platform.h"

// A current OpenGL compatibility context that needs no window and no display
// server, with the GL entry points loaded. Frames go into framebuffer objects.
class OffscreenContext {
 public:
  OffscreenContext() = default;
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  // False, with the reason in *error, when the platform offers no such
  // context; then nothing is left current. Takes the platform that EGL's
  // client extensions suggest (ChooseOffscreenPlatform).
  bool Create(std::string* error);

  // The same on a given platform, whatever else EGL offers: for checking
  // that each path draws the same picture.
  bool CreateOn(OffscreenPlatform platform, std::string* error);

  bool IsCurrent() const { return context_ != nullptr; }
  OffscreenPlatform platform() const { return platform_; }

 private:
  void Release();
  bool MakeCurrent(void* display, std::string* error);

  void* display_ = nullptr;
  void* context_ = nullptr;
  OffscreenPlatform platform_ = OffscreenPlatform::None;
};
