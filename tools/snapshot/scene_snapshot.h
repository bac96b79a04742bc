#pragma once

#include <string>

#include "tools/offscreen/offscreen_context.h"
#include "tools/offscreen/rgba_image.h"

// Frames of the real scene without a window: the program's own scene set-up
// and frame drawing, into a framebuffer object of any size, read back as a
// picture. One at a time per process, since the scene objects are the
// program's process-wide ones.
class SceneSnapshot {
 public:
  SceneSnapshot() = default;
  ~SceneSnapshot();
  SceneSnapshot(const SceneSnapshot&) = delete;
  SceneSnapshot& operator=(const SceneSnapshot&) = delete;

  // Makes the context, sets the program's fixed GL state and builds the scene
  // once. False, with the reason in *error, when there is no context to be
  // had. A scene that cannot be built ends the process as the program does.
  bool Open(std::string* error);

  // The same with the context taken from a given EGL platform.
  bool OpenOn(OffscreenPlatform platform, std::string* error);

  // One frame at the given scene time and size. False, with the reason in
  // *error, when the GL cannot make a framebuffer of that size.
  // `time` is the clock's seconds since start, as the live window counts it.
  bool Render(double time, int width, int height, RgbaImage* image, std::string* error);

 private:
  bool BuildScene();

  OffscreenContext context_;
  bool sceneBuilt_ = false;
};
