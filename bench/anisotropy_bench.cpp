// What anisotropic filtering costs on this renderer: one marched frame of
// bench/sampling_frame.h at 320x180, textured with the ground chain at a
// given maximum anisotropy. On llvmpipe anything above 1 leaves the fast
// sampling path, which is why software renderers are held to 1.
#include <benchmark/benchmark.h>

#include "assets/mip_texture.h"
#include "assets/shader_program.h"
#include "bench/sampling_frame.h"
#include "tests/support/egl_context.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;
const int kChain256[] = {121, 120, 119, 118, 117, 116, 115, 103, 135};

void BM_SamplingFrame(benchmark::State& state) {
  EglSurfacelessContext context;
  if (!context.ok()) {
    state.SkipWithError(context.error().c_str());
    return;
  }
  FramebufferTarget target(kWidth, kHeight);
  MipTexture ground(kChain256, 9);
  GLfloat deviceMaximum = 0;
  glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &deviceMaximum);
  const float anisotropy = static_cast<float>(state.range(0));
  if (anisotropy > deviceMaximum) {
    state.SkipWithError("the device offers less anisotropy");
    return;
  }
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);

  ShaderProgram program(kSamplingVertexShader, kSamplingFragmentShader);
  program.Use();
  const float quad[] = {-1, -1, 1, -1, 1, 1, -1, 1};
  GLuint buffer = 0;
  glGenBuffers(1, &buffer);
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
  const GLint position = program.AttribLocation("position");
  glEnableVertexAttribArray(position);
  glVertexAttribPointer(position, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glViewport(0, 0, kWidth, kHeight);
  glUniform2f(program.UniformLocation("iResolution"), kWidth, kHeight);
  glUniform1f(program.UniformLocation("iTime"), 3.0f);

  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    glFinish();
  }
  glDeleteBuffers(1, &buffer);
  state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}
// A few frames each: at 2x and above one frame takes about a third of a
// second on llvmpipe.
BENCHMARK(BM_SamplingFrame)
    ->ArgName("anisotropy")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(16)
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);

}  // namespace
