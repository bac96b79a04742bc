#include "scene/main_loop.h"

#include "launch/launch_options.h"
#include "render/gl.h"
#include "render/render_app.h"

Matrix4 modelView{};

void SetUpScene() {}

void TearDownScene() {}

void RenderFrame(float) {
  glViewport(0, 0, viewportWidth, viewportHeight);
  modelView = ScaleMatrix(1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

// The clock counts from library initialisation, so the first frame already
// sees the time spent opening the window and loading the scene.
void Tick() { RenderFrame(static_cast<float>(glfwGetTime())); }

void RunMainLoop() {
  SetUpScene();
  for (;;) {
    Tick();
    renderApp->PresentFrame();
    renderApp->PollEvents();
    if (launchOptions->mode == LaunchMode::Preview && !renderApp->IsParentWindowEnabled()) break;
    if (renderApp->ShouldClose()) break;
  }
  TearDownScene();
}
