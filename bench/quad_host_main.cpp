// Draws one frame of a shader pair with the smallest possible host and writes
// it as a PNG: for working on the shaders without rebuilding the program.
//   gloamery-quad-host VERTEX.glsl FRAGMENT.glsl SECONDS WIDTHxHEIGHT OUT.png

#include <glad/gl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/quad_host.h"
#include "tools/offscreen/frame_options.h"
#include "tools/offscreen/framebuffer_target.h"
#include "tools/offscreen/offscreen_context.h"
#include "tools/offscreen/png_io.h"

int main(int argc, char** argv) {
  double time = 0;
  int width = 0, height = 0;
  if (argc != 6 || !ParseFrameTime(argv[3], &time) || !ParseFrameSize(argv[4], &width, &height)) {
    std::fprintf(stderr, "usage: %s VERTEX FRAGMENT SECONDS WIDTHxHEIGHT OUT.png\n", argv[0]);
    return 2;
  }
  std::string vertex, fragment, error;
  if (!ReadShaderText(argv[1], &vertex) || !ReadShaderText(argv[2], &fragment)) {
    std::fprintf(stderr, "cannot read the shader files\n");
    return 1;
  }
  OffscreenContext context;
  if (!context.Create(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  FramebufferTarget target(width, height);
  QuadHost host;
  if (!target.IsComplete(&error) || !host.Build(vertex, fragment, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  auto start = std::chrono::steady_clock::now();
  target.Bind();
  host.Draw(static_cast<float>(time), width, height);
  glFinish();
  auto drawn = std::chrono::steady_clock::now();
  RgbaImage image = target.ReadPixels();
  std::fprintf(stderr, "%s: %.1f ms (first frame, includes the renderer's shader compile)\n", glGetString(GL_RENDERER),
               std::chrono::duration<double, std::milli>(drawn - start).count());
  if (!WritePng(argv[5], image, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}
