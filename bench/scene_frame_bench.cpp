// One frame of the embedded scene in a windowless context, with the textures'
// anisotropy as the program sets it and, for comparison, at the device's
// maximum. The maximum is timed on a tiny frame only: on llvmpipe it makes
// the scene's frame take minutes at 320x180.
#include <benchmark/benchmark.h>

#include "assets/mip_texture.h"
#include "render/render_app.h"
#include "scene/main_loop.h"
#include "tests/support/egl_context.h"

namespace {

void SetAnisotropy(const MipTexture* texture, float anisotropy) {
  glBindTexture(GL_TEXTURE_2D, texture->Texture());
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
}

void BM_SceneFrame(benchmark::State& state) {
  EglSurfacelessContext context;
  if (!context.ok()) {
    state.SkipWithError(context.error().c_str());
    return;
  }
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const bool deviceMaximum = state.range(2) != 0;
  FramebufferTarget target(width, height);
  viewportWidth = width;
  viewportHeight = height;
  SetUpScene();
  GLfloat anisotropy = 0;
  glBindTexture(GL_TEXTURE_2D, texture256->Texture());
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
  if (deviceMaximum) {
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    SetAnisotropy(texture256, anisotropy);
    SetAnisotropy(texture128, anisotropy);
  }
  for (auto _ : state) {
    RenderFrame(5.0f);
    glFinish();
  }
  TearDownScene();
  state.counters["anisotropy"] = anisotropy;
  state.counters["s_per_Mpixel"] = benchmark::Counter(static_cast<double>(width) * height * state.iterations() / 1e6,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}
BENCHMARK(BM_SceneFrame)
    ->ArgNames({"width", "height", "device_max"})
    ->Args({320, 180, 0})
    ->Args({32, 18, 0})
    ->Args({32, 18, 1})
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
