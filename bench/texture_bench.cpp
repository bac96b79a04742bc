// Start-up cost of the two textures: decoding every level of both bitmap
// chains, and decoding plus uploading them as the scene set-up does.
#include <benchmark/benchmark.h>

#include <vector>

#include "assets/mip_texture.h"
#include "tests/support/egl_context.h"

namespace {

const int kChain256[] = {121, 120, 119, 118, 117, 116, 115, 103, 135};
const int kChain128[] = {127, 128, 129, 130, 131, 132, 133, 134};

void DecodeChain(const int* ids, int count) {
  int size = 1;
  for (int i = 0; i < count; ++i, size *= 2) {
    std::vector<float> texels(static_cast<size_t>(size) * size * 4);
    ReadBitmapPixels(texels.data(), ids[i], size, size, true);
    benchmark::DoNotOptimize(texels.data());
  }
}

void BM_DecodeBothChains(benchmark::State& state) {
  for (auto _ : state) {
    DecodeChain(kChain256, 9);
    DecodeChain(kChain128, 8);
  }
}
BENCHMARK(BM_DecodeBothChains)->Unit(benchmark::kMillisecond);

// glFinish makes the upload count: the GL may otherwise defer it.
void BM_DecodeAndUploadBothTextures(benchmark::State& state) {
  EglSurfacelessContext context;
  if (!context.ok()) {
    state.SkipWithError(context.error().c_str());
    return;
  }
  for (auto _ : state) {
    MipTexture first(kChain256, 9);
    MipTexture second(kChain128, 8);
    glFinish();
  }
  state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}
BENCHMARK(BM_DecodeAndUploadBothTextures)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
