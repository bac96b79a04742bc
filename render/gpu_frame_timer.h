#pragma once

#include <memory>

#include "platform/gl.h"

// Times each frame's drawing on the GPU itself, with timer queries
// (ARB_timer_query, or EXT_timer_query where that is what the driver has):
// the CPU's clock sees only how long it took to hand the work over, which on
// hardware says little about the GPU's load. A query's answer is read a few
// frames later, when it is there, so that nothing ever waits for the GPU.
// Made, used and destroyed with one context current; timer queries belong
// to their context.
class GpuFrameTimer {
 public:
  // Null where the GL has no timer queries; the caller times on the CPU then.
  static std::unique_ptr<GpuFrameTimer> Create();
  ~GpuFrameTimer();
  GpuFrameTimer(const GpuFrameTimer&) = delete;
  GpuFrameTimer& operator=(const GpuFrameTimer&) = delete;

  // Around everything a frame draws; `tag` comes back with its time (what
  // the frame was drawn at, since the answer comes when later frames are
  // drawn). A frame begun while every query still waits for its answer goes
  // untimed.
  void Begin(int tag);
  void End();

  // The GPU seconds and tag of the oldest timed frame whose answer is in;
  // false when none is.
  bool TakeResult(double* seconds, int* tag);

 private:
  // Frames in flight at most: answers come back one or two frames late.
  static constexpr int kQueries = 4;

  GpuFrameTimer() = default;
  GLuint queries_[kQueries] = {};
  int tags_[kQueries] = {};
  int oldest_ = 0;
  int pending_ = 0;
  bool timing_ = false;
};
