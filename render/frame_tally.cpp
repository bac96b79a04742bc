#include "render/frame_tally.h"

#include <algorithm>

void FrameTally::Open(int serial, int rung, int parts) {
  if (parts <= 0) return;
  frames_.push_back(Frame{serial, rung, parts, 0.0});
  if (frames_.size() > kFramesKept) frames_.pop_front();
}

void FrameTally::Add(int serial, double seconds) {
  for (Frame& frame : frames_) {
    if (frame.serial != serial || frame.partsLeft == 0) continue;
    frame.seconds += seconds;
    --frame.partsLeft;
    return;
  }
}

bool FrameTally::TakeComplete(double* seconds, int* rung) {
  const auto complete = std::find_if(frames_.begin(), frames_.end(), [](const Frame& f) { return f.partsLeft == 0; });
  if (complete == frames_.end()) return false;
  *seconds = complete->seconds;
  *rung = complete->rung;
  frames_.erase(frames_.begin(), complete + 1);
  return true;
}
