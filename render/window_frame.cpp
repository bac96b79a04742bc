#include "render/window_frame.h"

#include "platform/gl.h"
#include "render/gpu_frame_timer.h"
#include "render/render_window.h"
#include "render/scaled_frame.h"

void ApplyFrameGlState() {
  glCullFace(GL_FRONT_AND_BACK);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_MULTISAMPLE);
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_POLYGON_SMOOTH);
}

WindowFrame::WindowFrame(RenderWindow& window) : window_(window), timer_(GpuFrameTimer::Create()) {}

WindowFrame::~WindowFrame() = default;

FrameSize WindowFrame::Begin(FrameSize size, FrameSize window, int tag) {
  drawingScaled_ = size != window && BindScaledTarget(size);
  // The window itself, where the probes or a larger picture left the
  // picture's target bound.
  if (!drawingScaled_ && scaledFrame_) glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (timer_) timer_->Begin(tag);
  return drawingScaled_ ? size : window;
}

void WindowFrame::End(FrameSize window) {
  if (drawingScaled_) scaledFrame_->StretchTo(window);
  if (timer_) timer_->End();
}

bool WindowFrame::BindScaledTarget(FrameSize size) {
  if (!scaledFrame_ && !scaledFrameRefused_) {
    scaledFrame_ = ScaledFrame::Create();
    scaledFrameRefused_ = !scaledFrame_;
  }
  if (scaledFrame_ && scaledFrame_->BindForDrawing(size)) return true;
  scaledFrame_.reset();
  scaledFrameRefused_ = true;
  return false;
}

bool WindowFrame::TakeTime(double* seconds, int* tag) { return timer_ && timer_->TakeResult(seconds, tag); }
