#include "tools/snapshot/scene_snapshot.h"

#include "render/gl.h"
#include "render/render_app.h"
#include "scene/main_loop.h"
#include "tools/offscreen/framebuffer_target.h"

namespace {

// The state the render window sets once its context exists; the frame's
// additive blend onto black depends on it. Swap interval and cursor have no
// meaning without a window.
void ApplyWindowGlState() {
  glCullFace(GL_FRONT_AND_BACK);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_MULTISAMPLE);
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_POLYGON_SMOOTH);
}

}  // namespace

bool SceneSnapshot::Open(std::string* error) {
  if (sceneBuilt_) return true;
  if (!context_.Create(error)) return false;
  ApplyWindowGlState();
  SetUpScene();
  sceneBuilt_ = true;
  return true;
}

SceneSnapshot::~SceneSnapshot() {
  if (sceneBuilt_) TearDownScene();
}

bool SceneSnapshot::Render(float time, int width, int height, RgbaImage* image, std::string* error) {
  FramebufferTarget target(width, height);
  if (!target.IsComplete(error)) return false;
  target.Bind();
  viewportWidth = width;
  viewportHeight = height;
  RenderFrame(time);
  *image = target.ReadPixels();
  return true;
}
