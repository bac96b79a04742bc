#include "scene/main_loop.h"

#include "assets/gpu_buffer.h"
#include "assets/mesh_arrays.h"
#include "assets/mip_texture.h"
#include "assets/shader_program.h"
#include "launch/launch_options.h"
#include "launch/stop_signal.h"
#include "render/gl.h"
#include "render/render_app.h"
#include "render/render_window.h"

ShaderProgram* shaderProgram = nullptr;
MeshArrays* meshArrays = nullptr;
MipTexture* texture256 = nullptr;
MipTexture* texture128 = nullptr;
Matrix4 modelView{};

namespace {

constexpr int kVertexShaderId = 105;
constexpr int kFragmentShaderId = 106;
constexpr int kModelId = 104;
// Smallest level first.
const int kTexture256Ids[] = {121, 120, 119, 118, 117, 116, 115, 103, 135};
const int kTexture128Ids[] = {127, 128, 129, 130, 131, 132, 133, 134};

template <typename T>
void Delete(T*& object) {
  delete object;
  object = nullptr;
}

}  // namespace

void SetUpScene() {
  shaderProgram = new ShaderProgram(kVertexShaderId, kFragmentShaderId);
  meshArrays = new MeshArrays(kModelId);
  texture256 = new MipTexture(kTexture256Ids, sizeof kTexture256Ids / sizeof *kTexture256Ids);
  texture128 = new MipTexture(kTexture128Ids, sizeof kTexture128Ids / sizeof *kTexture128Ids);
  CreateBuffers();
  // Leaves the index buffer bound as the element array for every later draw.
  UploadBuffers(*meshArrays, *shaderProgram);
}

// Not the reverse of the set-up: the mesh arrays go last.
void TearDownScene() {
  Delete(shaderProgram);
  Delete(texture256);
  Delete(texture128);
  DeleteBuffers();
  Delete(meshArrays);
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
  const FrameSize size = renderApp->BeginFrame();
  RenderFrameAt(static_cast<float>(glfwGetTime()), size.width, size.height);
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
