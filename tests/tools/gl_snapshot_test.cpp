#include <EGL/egl.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene/scene_time.h"
#include "tools/snapshot/scene_snapshot.h"

namespace {

// The mean difference of two frames of one size, over every colour channel.
double MeanDifference(const RgbaImage& a, const RgbaImage& b) {
  double sum = 0;
  size_t channels = 0;
  for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
    if (i % 4 == 3) continue;
    sum += std::abs(static_cast<int>(a.pixels[i]) - static_cast<int>(b.pixels[i]));
    ++channels;
  }
  return channels > 0 ? sum / static_cast<double>(channels) : 0;
}

// After a month or a year of running the scene moves as it did in its first
// seconds, and where its time drops back by the period of its motions, two
// frames either side differ no more than frames a 60th of a second apart do
// elsewhere.
TEST(SceneSnapshot, MovesAtAnyAgeAndGoesOnSmoothlyWhereItsTimeDropsBack) {
  constexpr double kDay = 86400.0;
  constexpr double kFrame = 1.0 / 60;
  SceneSnapshot snapshot;
  std::string error;
  ASSERT_TRUE(snapshot.Open(&error)) << error;
  auto frame = [&](double seconds) {
    RgbaImage image;
    EXPECT_TRUE(snapshot.Render(seconds, 160, 90, &image, &error)) << error;
    return image;
  };
  const double young = MeanDifference(frame(6.0), frame(6.1));
  ASSERT_GT(young, 1.0);
  for (double age : {30 * kDay, 365 * kDay}) {
    const double old = MeanDifference(frame(age), frame(age + 0.1));
    std::printf("0.1 s apart at %.0f days: %.2f (at 6 s: %.2f)\n", age / kDay, old, young);
    EXPECT_GE(old, young / 3) << age / kDay << " days";
  }
  const double drop = kSceneTimeKeptSeconds + kSceneTimePeriodSeconds;
  const double across = MeanDifference(frame(drop - kFrame / 2), frame(drop + kFrame / 2));
  double elsewhere = 0;
  for (double t : {6.0, drop - 10, 30 * kDay + 3})
    elsewhere = std::max(elsewhere, MeanDifference(frame(t), frame(t + kFrame)));
  std::printf("a 60th apart across the drop: %.2f, elsewhere at most %.2f\n", across, elsewhere);
  EXPECT_LE(across, elsewhere);
}

// The snapshot tool ends with status 1 and this message when the size it was
// given passes its own limit but not the GL's.
TEST(SceneSnapshot, RefusesAFrameBeyondTheGlsLargestAndRendersOnAfterwards) {
  SceneSnapshot snapshot;
  std::string error;
  ASSERT_TRUE(snapshot.Open(&error)) << error;
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  ASSERT_GT(largest, 0);
  const std::string limit = "the frame size must be 1 to " + std::to_string(largest) + " pixels each way";

  RgbaImage image;
  image.width = -7;
  EXPECT_FALSE(snapshot.Render(6.0f, largest + 1, 4, &image, &error));
  EXPECT_EQ(error, limit);
  error.clear();
  EXPECT_FALSE(snapshot.Render(6.0f, 4, largest + 1, &image, &error));
  EXPECT_EQ(error, limit);
  EXPECT_EQ(image.width, -7) << "no picture handed out";
  // The refused size never reached the GL, so no error waits for the next caller.
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // Nothing of the refused framebuffer is left bound to draw into.
  error.clear();
  ASSERT_TRUE(snapshot.Render(6.0f, 8, 6, &image, &error)) << error;
  EXPECT_EQ(image.width, 8);
  EXPECT_EQ(image.height, 6);
  EXPECT_EQ(image.pixels.size(), 8u * 6u * 4u);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

namespace {

std::vector<RgbaImage> FramesOn(OffscreenPlatform platform, std::string* renderer) {
  SceneSnapshot snapshot;
  std::string error;
  std::vector<RgbaImage> frames;
  if (!snapshot.OpenOn(platform, &error)) {
    ADD_FAILURE() << OffscreenPlatformName(platform) << ": " << error;
    return frames;
  }
  *renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  for (float time : {1.0f, 6.0f, 13.0f}) {
    RgbaImage image;
    EXPECT_TRUE(snapshot.Render(time, 64, 36, &image, &error)) << error;
    frames.push_back(image);
  }
  return frames;
}

// Drivers without the surfaceless platform get their context from the first
// EGL device; Mesa offers both, so both can be made to draw the same frames.
TEST(SceneSnapshot, TheDevicePlatformDrawsTheSameFramesAsSurfaceless) {
  std::string surfacelessRenderer, deviceRenderer;
  std::vector<RgbaImage> surfaceless = FramesOn(OffscreenPlatform::Surfaceless, &surfacelessRenderer);
  std::vector<RgbaImage> device = FramesOn(OffscreenPlatform::Device, &deviceRenderer);
  ASSERT_EQ(surfaceless.size(), 3u);
  ASSERT_EQ(device.size(), 3u);
  EXPECT_EQ(deviceRenderer, surfacelessRenderer);
  for (size_t i = 0; i < surfaceless.size(); ++i) {
    EXPECT_EQ(device[i].width, 64);
    EXPECT_EQ(device[i].pixels, surfaceless[i].pixels) << "frame " << i;
    // A lit frame, not an empty one that would match anything empty.
    int bright = 0;
    for (size_t p = 0; p < device[i].pixels.size(); p += 4) bright += device[i].pixels[p] > 64;
    EXPECT_GT(bright, 50) << "frame " << i;
  }
}

TEST(OffscreenContext, ReportsThePlatformItCameFromAndNoneOnceReleased) {
  std::string error;
  {
    OffscreenContext context;
    ASSERT_TRUE(context.CreateOn(OffscreenPlatform::Device, &error)) << error;
    EXPECT_EQ(context.platform(), OffscreenPlatform::Device);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
  }
  OffscreenContext context;
  EXPECT_FALSE(context.CreateOn(OffscreenPlatform::None, &error));
  EXPECT_FALSE(context.IsCurrent());
  EXPECT_EQ(context.platform(), OffscreenPlatform::None);
  ASSERT_TRUE(context.Create(&error)) << error;
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  ASSERT_NE(clientExtensions, nullptr);
  EXPECT_EQ(context.platform(), ChooseOffscreenPlatform(clientExtensions));
}

}  // namespace
