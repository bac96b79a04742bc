#pragma once

#include <memory>

#include "platform/gl.h"
#include "render/frame_budget.h"

// A colour target smaller than the window that the scene is drawn into, then
// stretched over the whole window with linear filtering. Built only from
// framebuffer-object and GLSL 1.10 entry points, with the window's context
// current; every GL object it made is deleted with it, in that context.
class ScaledFrame {
 public:
  // Null where the GL offers no framebuffer objects or the stretch cannot
  // be built: the caller then draws into the window itself.
  static std::unique_ptr<ScaledFrame> Create();
  ~ScaledFrame();
  ScaledFrame(const ScaledFrame&) = delete;
  ScaledFrame& operator=(const ScaledFrame&) = delete;

  // Makes the target `size` (reallocating only when it changes) and binds it
  // as the framebuffer to draw into; the frame's own clear clears it. False
  // where the GL refuses a target of that size.
  bool BindForDrawing(FrameSize size);
  // Covers the window, bound as the draw framebuffer again, with the last
  // picture drawn. The scene's blending and multisampling are off for the
  // copy and on after it.
  void StretchTo(FrameSize window);

 private:
  ScaledFrame() = default;
  bool BuildStretchProgram();
  bool Allocate(FrameSize size);

  GLuint framebuffer_ = 0;
  GLuint texture_ = 0;
  GLuint program_ = 0;
  FrameSize size_;
  bool complete_ = false;
};

// Whether the GL has what ScaledFrame needs.
bool HasFramebufferEntryPoints();
