#pragma once

#include <cstddef>
#include <deque>

// Sums each frame's GPU time over the windows it was drawn into. Every
// context times its own part with its own queries, and the answers come back
// one by one, a frame or two late; a frame counts once all of its parts are
// in. A part that was never timed (its context's queries all still busy)
// leaves its frame incomplete, and it is dropped once a later one completes.
class FrameTally {
 public:
  // A frame of `parts` timed parts, drawn at `rung`.
  void Open(int serial, int rung, int parts);
  void Add(int serial, double seconds);
  // The oldest complete frame's summed seconds and rung; false when none.
  bool TakeComplete(double* seconds, int* rung);

 private:
  // Frames in flight at most: as many as a timer has queries, and a margin.
  static constexpr size_t kFramesKept = 8;

  struct Frame {
    int serial = 0;
    int rung = 0;
    int partsLeft = 0;
    double seconds = 0;
  };
  std::deque<Frame> frames_;
};
