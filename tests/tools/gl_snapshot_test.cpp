#include <EGL/egl.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/snapshot/scene_snapshot.h"

namespace {

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
