// Two versions of the scene fragment shader, drawn with the program's own
// ground texture and fixed GL state, compared pixel by pixel and timed in
// turns: for changing the shader's wording without changing its picture.
//   gloamery-shader-compare OLD.frag NEW.frag [WIDTHxHEIGHT] [--frames N] [--save PREFIX] [SECONDS...]
// Prints, per time, how many pixels differ, by how much at most, and with
// --frames the median frame time of each, and with --save writes both
// pictures and a map of where they differ (PREFIX-old-tT.png, -new-, -diff-)
// for a person to look at. Exit status 1 when any channel differs by more
// than one step or more than a handful of pixels differ.

#include <glad/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/resources.h"
#include "bench/quad_host.h"
#include "tools/offscreen/frame_options.h"
#include "tools/offscreen/framebuffer_target.h"
#include "tools/offscreen/png_io.h"
#include "tools/offscreen/texture_probe.h"
#include "tools/snapshot/scene_snapshot.h"

namespace {

constexpr int kMaxStep = 1;
constexpr int kMaxDifferingPixels = 8;

struct Options {
  std::string oldPath, newPath;
  int width = 320, height = 180;
  int frames = 0;
  std::string savePrefix;
  std::vector<float> times;
};

struct Difference {
  int pixels = 0;
  int maxStep = 0;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      options->frames = std::atoi(argv[++i]);
      if (options->frames < 1) return false;
    } else if (std::strcmp(argv[i], "--save") == 0 && i + 1 < argc) {
      options->savePrefix = argv[++i];
    } else {
      positional.push_back(argv[i]);
    }
  }
  if (positional.size() < 2) return false;
  options->oldPath = positional[0];
  options->newPath = positional[1];
  size_t next = 2;
  if (next < positional.size() && positional[next].find('x') != std::string::npos) {
    if (!ParseFrameSize(positional[next].c_str(), &options->width, &options->height)) return false;
    ++next;
  }
  for (; next < positional.size(); ++next) {
    double time = 0;
    if (!ParseFrameTime(positional[next].c_str(), &time)) return false;
    options->times.push_back(static_cast<float>(time));
  }
  if (options->times.empty()) options->times = {0.5f, 1.0f, 2.5f, 6.0f, 9.5f, 13.0f, 20.0f};
  return true;
}

std::string EmbeddedVertexShader() {
  ResourceBytes bytes;
  if (!FindResourceBytes(ResourceType::TextFile, 105, &bytes)) return {};
  std::string text(reinterpret_cast<const char*>(bytes.data), bytes.size);
  return text.substr(0, text.find('~'));
}

// The largest difference between the channels of the pixel at byte i.
int PixelStep(const RgbaImage& a, const RgbaImage& b, size_t i) {
  int step = 0;
  for (size_t c = 0; c < 4; ++c) step = std::max(step, std::abs(a.pixels[i + c] - b.pixels[i + c]));
  return step;
}

Difference Compare(const RgbaImage& a, const RgbaImage& b) {
  Difference difference;
  for (size_t i = 0; i < a.pixels.size(); i += 4) {
    const int step = PixelStep(a, b, i);
    if (step > 0) ++difference.pixels;
    difference.maxStep = std::max(difference.maxStep, step);
  }
  return difference;
}

// Differing pixels in red, brighter the larger the step, over a dimmed
// grey copy of the old picture so that they can be placed.
RgbaImage DifferenceImage(const RgbaImage& a, const RgbaImage& b) {
  RgbaImage out = a;
  for (size_t i = 0; i < a.pixels.size(); i += 4) {
    const int step = PixelStep(a, b, i);
    const int grey = (a.pixels[i] + a.pixels[i + 1] + a.pixels[i + 2]) / 12;
    out.pixels[i] = static_cast<unsigned char>(step > 0 ? std::min(255, 128 + 16 * step) : grey);
    out.pixels[i + 1] = static_cast<unsigned char>(step > 0 ? 0 : grey);
    out.pixels[i + 2] = static_cast<unsigned char>(step > 0 ? 0 : grey);
    out.pixels[i + 3] = 255;
  }
  return out;
}

bool SavePictures(const std::string& prefix, float time, const RgbaImage& a, const RgbaImage& b, std::string* error) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "-t%g.png", time);
  return WritePng(prefix + "-old" + suffix, a, error) && WritePng(prefix + "-new" + suffix, b, error) &&
         WritePng(prefix + "-diff" + suffix, DifferenceImage(a, b), error);
}

RgbaImage Draw(const QuadHost& host, const FramebufferTarget& target, float time) {
  target.Bind();
  host.Draw(time, target.width(), target.height());
  return target.ReadPixels();
}

double FrameMs(const QuadHost& host, const FramebufferTarget& target, float time) {
  target.Bind();
  auto start = std::chrono::steady_clock::now();
  host.Draw(time, target.width(), target.height());
  glFinish();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: %s OLD.frag NEW.frag [WIDTHxHEIGHT] [--frames N] [--save PREFIX] [SECONDS...]\n",
                 argv[0]);
    return 2;
  }
  std::string oldSource, newSource, error;
  if (!ReadShaderText(options.oldPath, &oldSource) || !ReadShaderText(options.newPath, &newSource)) {
    std::fprintf(stderr, "cannot read the shader files\n");
    return 2;
  }
  SceneSnapshot scene;
  RgbaImage ignored;
  if (!scene.Open(&error) || !scene.Render(1.0f, 16, 16, &ignored, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const unsigned groundTexture = TextureBoundOnUnit(0);
  QuadHost oldHost, newHost;
  if (!oldHost.Build(EmbeddedVertexShader(), oldSource, &error) ||
      !newHost.Build(EmbeddedVertexShader(), newSource, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  oldHost.SetTexture(groundTexture);
  newHost.SetTexture(groundTexture);
  FramebufferTarget target(options.width, options.height);
  if (!target.IsComplete(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  std::printf("renderer: %s; %dx%d\n", glGetString(GL_RENDERER), options.width, options.height);
  bool withinTolerance = true;
  for (float time : options.times) {
    const RgbaImage oldImage = Draw(oldHost, target, time);
    const RgbaImage newImage = Draw(newHost, target, time);
    Difference difference = Compare(oldImage, newImage);
    if (!options.savePrefix.empty() && !SavePictures(options.savePrefix, time, oldImage, newImage, &error)) {
      std::fprintf(stderr, "cannot write the pictures at %s: %s\n", options.savePrefix.c_str(), error.c_str());
      return 1;
    }
    std::printf("t=%6.2f s: %d pixels differ, by at most %d", time, difference.pixels, difference.maxStep);
    if (difference.maxStep > kMaxStep || difference.pixels > kMaxDifferingPixels) withinTolerance = false;
    if (options.frames > 0) {
      // In turns, so that load elsewhere on the machine slows both alike.
      std::vector<double> oldMs, newMs;
      for (int i = 0; i < options.frames; ++i) {
        oldMs.push_back(FrameMs(oldHost, target, time));
        newMs.push_back(FrameMs(newHost, target, time));
      }
      const double pixels = static_cast<double>(options.width) * options.height;
      std::printf("; median frame %.1f ms -> %.1f ms (%.1f -> %.1f ns/px, x%.3f)", Median(oldMs), Median(newMs),
                  Median(oldMs) * 1e6 / pixels, Median(newMs) * 1e6 / pixels, Median(newMs) / Median(oldMs));
    }
    std::printf("\n");
  }
  std::printf("%s\n", withinTolerance ? "within one step on a handful of pixels" : "DIFFERENT");
  return withinTolerance ? 0 : 1;
}
