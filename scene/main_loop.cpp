#include "scene/main_loop.h"

#include "assets/gpu_buffer.h"
#include "assets/mesh_arrays.h"
#include "assets/mip_texture.h"
#include "assets/shader_program.h"
#include "launch/launch_options.h"
#include "platform/gl.h"
#include "platform/owned_global.h"
#include "platform/stop_signal.h"
#include "render/render_app.h"
#include "render/render_window.h"
#include "resources/resource_ids.h"
#include "scene/scene_time.h"

ShaderProgram* shaderProgram = nullptr;
MeshArrays* meshArrays = nullptr;
MipTexture* texture256 = nullptr;
MipTexture* texture128 = nullptr;
Matrix4 modelView{};

namespace {

using namespace resource_id;

// Smallest level first.
const int kTexture256Ids[] = {kGravel1,  kGravel2,  kGravel4,   kGravel8,  kGravel16,
                              kGravel32, kGravel64, kGravel128, kGravel256};
const int kTexture128Ids[] = {kSkin1, kSkin2, kSkin4, kSkin8, kSkin16, kSkin32, kSkin64, kSkin128};

}  // namespace

void SetUpScene() {
  shaderProgram = new ShaderProgram(kSceneVertexShader, kSceneFragmentShader);
  meshArrays = new MeshArrays(kQuadModel);
  texture256 = new MipTexture(kTexture256Ids, sizeof kTexture256Ids / sizeof *kTexture256Ids);
  texture128 = new MipTexture(kTexture128Ids, sizeof kTexture128Ids / sizeof *kTexture128Ids);
  CreateBuffers();
  // Leaves the index buffer bound as the element array for every later draw.
  UploadBuffers(*meshArrays, *shaderProgram);
}

// Not the reverse of the set-up: the mesh arrays go last.
void TearDownScene() {
  DeleteGlobal(shaderProgram);
  DeleteGlobal(texture256);
  DeleteGlobal(texture128);
  DeleteBuffers();
  DeleteGlobal(meshArrays);
}

// The shader samples through iChannel0 and iChannel1, which are never
// assigned; "s" and "r" find no sampler, so both channels read unit 0. The
// textures are bound all the same.
void RenderFrame(float time) { RenderFrameAt(time, viewportWidth, viewportHeight); }

void RenderFrameAt(float time, int width, int height) {
  shaderProgram->Use();
  shaderProgram->BindTexture("s", 0, texture256->Texture());
  shaderProgram->BindTexture("r", 1, texture128->Texture());
  glViewport(0, 0, width, height);
  modelView = ScaleMatrix(1, 1, 1);
  glUniformMatrix4fv(shaderProgram->UniformLocation("model_view"), 1, GL_FALSE, modelView.m);
  glUniform2f(shaderProgram->UniformLocation("iResolution"), static_cast<float>(width), static_cast<float>(height));
  glUniform1f(shaderProgram->UniformLocation("iTime"), time);
  glClear(GL_COLOR_BUFFER_BIT);
  glDrawElements(GL_TRIANGLES, meshArrays->IndexCount(), GL_UNSIGNED_INT, nullptr);
}

// The clock counts from library initialisation, so the first frame already
// sees the time spent opening the window and loading the scene.
void Tick() {
  // After a GPU reset nothing drawn shows: everything is made again, in the
  // order of the start, and the scene's clock goes on.
  if (renderApp->ContextWasReset()) {
    TearDownScene();
    renderApp->RebuildAfterReset();
    SetUpScene();
  }
  // One time for every monitor's window: the same moment everywhere.
  const float time = SceneTime(glfwGetTime());
  SceneDrawing scene;
  scene.prepare = [] { BindBuffers(*shaderProgram); };
  scene.draw = [time](FrameSize size) { RenderFrameAt(time, size.width, size.height); };
  renderApp->DrawFrame(scene);
}

void RunMainLoop() {
  SetUpScene();
  // Only now: a failure dialog before this point waits for its OK and must
  // not outlive the signal that asked us to go.
  InstallStopSignalHandlers();
  for (;;) {
    Tick();
    renderApp->PresentFrame();
    renderApp->window->PollEvents();
    if (launchOptions->mode == LaunchMode::Preview && !renderApp->window->IsHostEnabled()) break;
    // A stop signal is the system's close request on POSIX.
    if (renderApp->window->ShouldClose() || StopSignalReceived()) break;
  }
  TearDownScene();
}
