// Frame time of the scene on this machine's GL, drawn by the program's own
// frame code against the smallest possible host drawing the same shader.
//   gloamery-frame-bench [FRAMES]
// Prints, per frame size, the median time of FRAMES frames (after one warm-up
// frame) and the cost per pixel, and the ratio of the hosts. Every frame
// is waited for with glFinish, so the time is the renderer's, not the queue's.

#include <glad/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "assets/resources.h"
#include "bench/quad_host.h"
#include "render/render_app.h"
#include "scene/main_loop.h"
#include "tools/offscreen/framebuffer_target.h"
#include "tools/offscreen/texture_probe.h"
#include "tools/snapshot/scene_snapshot.h"

namespace {

constexpr float kSceneTime = 6.0f;

struct Size {
  int width, height;
};
const Size kSizes[] = {{320, 180}, {640, 360}, {1280, 720}};

double FrameMs(const std::function<void()>& drawFrame) {
  auto start = std::chrono::steady_clock::now();
  drawFrame();
  glFinish();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The machine is shared, so the hosts take turns frame by frame: a burst of
// load elsewhere then slows all of them alike instead of one.
std::vector<double> MedianFrameMsInTurns(int frames, const std::vector<std::function<void()>>& hosts) {
  std::vector<std::vector<double>> times(hosts.size());
  for (const auto& draw : hosts) FrameMs(draw);  // warm-up: the renderer compiles shader variants on first use
  for (int i = 0; i < frames; ++i)
    for (size_t h = 0; h < hosts.size(); ++h) times[h].push_back(FrameMs(hosts[h]));
  std::vector<double> medians;
  for (const auto& t : times) medians.push_back(Median(t));
  return medians;
}

std::string EmbeddedText(int id) {
  ResourceBytes bytes;
  if (!FindResourceBytes(ResourceType::TextFile, id, &bytes)) return {};
  std::string text(reinterpret_cast<const char*>(bytes.data), bytes.size);
  return text.substr(0, text.find('~'));
}

void PrintRow(const char* host, Size size, double ms, double baselineMs) {
  double nsPerPixel = ms * 1e6 / (static_cast<double>(size.width) * size.height);
  std::printf("%-34s %5dx%-4d %9.1f ms %7.1f ns/px", host, size.width, size.height, ms, nsPerPixel);
  if (baselineMs > 0) std::printf("   x%.3f of the bare host", ms / baselineMs);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 5;
  if (frames < 1) {
    std::fprintf(stderr, "usage: %s [FRAMES]\n", argv[0]);
    return 2;
  }
  std::string error;
  SceneSnapshot scene;
  if (!scene.Open(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("renderer: %s; scene time %.1f s; median of %d frames\n", glGetString(GL_RENDERER), kSceneTime, frames);

  // The program's frame binds its ground texture on unit 0; the bare host
  // draws with that very texture object, and once with a plain trilinear one
  // of its own, which shows what the texture's filtering costs.
  RgbaImage ignored;
  scene.Render(kSceneTime, 16, 16, &ignored, &error);
  const unsigned groundTexture = TextureBoundOnUnit(0);
  QuadHost bareHost, bareHostOwnTexture;
  if (!bareHost.Build(EmbeddedText(105), EmbeddedText(106), &error) ||
      !bareHostOwnTexture.Build(EmbeddedText(105), EmbeddedText(106), &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  bareHost.SetTexture(groundTexture);

  for (Size size : kSizes) {
    FramebufferTarget target(size.width, size.height);
    if (!target.IsComplete(&error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    target.Bind();
    std::vector<double> ms =
        MedianFrameMsInTurns(frames, {[&] { bareHost.Draw(kSceneTime, size.width, size.height); },
                                      [&] {
                                        viewportWidth = size.width;
                                        viewportHeight = size.height;
                                        RenderFrame(kSceneTime);
                                      },
                                      [&] { bareHostOwnTexture.Draw(kSceneTime, size.width, size.height); }});
    const double bare = ms[0], program = ms[1], own = ms[2];
    PrintRow("bare host, program's texture", size, bare, 0);
    PrintRow("program (ShaderProgram, meshes)", size, program, bare);
    PrintRow("bare host, trilinear texture", size, own, bare);
  }
  return 0;
}
