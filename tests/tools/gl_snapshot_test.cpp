#include <glad/gl.h>
#include <gtest/gtest.h>

#include <string>

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
