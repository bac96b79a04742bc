#include "tools/snapshot/scene_snapshot.h"

#include "platform/gl.h"
#include "render/render_app.h"
#include "scene/main_loop.h"
#include "scene/scene_time.h"
#include "tools/offscreen/framebuffer_target.h"

bool SceneSnapshot::Open(std::string* error) {
  if (sceneBuilt_) return true;
  if (!context_.Create(error)) return false;
  return BuildScene();
}

bool SceneSnapshot::OpenOn(OffscreenPlatform platform, std::string* error) {
  if (sceneBuilt_) return true;
  if (!context_.CreateOn(platform, error)) return false;
  return BuildScene();
}

bool SceneSnapshot::BuildScene() {
  ApplyFrameGlState();
  SetUpScene();
  sceneBuilt_ = true;
  return true;
}

SceneSnapshot::~SceneSnapshot() {
  if (sceneBuilt_) TearDownScene();
}

bool SceneSnapshot::Render(double time, int width, int height, RgbaImage* image, std::string* error) {
  FramebufferTarget target(width, height);
  if (!target.IsComplete(error)) return false;
  target.Bind();
  viewportWidth = width;
  viewportHeight = height;
  RenderFrame(SceneTime(time));
  *image = target.ReadPixels();
  return true;
}
