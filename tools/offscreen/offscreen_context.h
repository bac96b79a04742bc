#pragma once

#include <string>

// A current OpenGL compatibility context that needs no window and no display
// server, with the GL entry points loaded. Frames go into framebuffer objects.
class OffscreenContext {
 public:
  OffscreenContext() = default;
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  // False, with the reason in *error, when the platform offers no such
  // context; then nothing is left current.
  bool Create(std::string* error);

  bool IsCurrent() const { return context_ != nullptr; }

 private:
  void Release();

  void* display_ = nullptr;
  void* context_ = nullptr;
};
