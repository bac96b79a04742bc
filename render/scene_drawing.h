#pragma once

#include <functional>

#include "render/frame_budget.h"

// What the scene does in each window's context. GL contexts share programs,
// buffers and textures, but each keeps its own vertex attribute pointers,
// element-array binding and texture bindings: `prepare` sets those up once in
// a context other than the one the scene was made in, before its first
// draw; `draw` draws one frame at the size given, into whatever is bound.
struct SceneDrawing {
  std::function<void()> prepare;
  std::function<void(FrameSize)> draw;
};
