#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "assets/mip_texture.h"
#include "assets/shader_program.h"
#include "render/render_app.h"
#include "scene/main_loop.h"
#include "tests/support/egl_context.h"

namespace {

GLint Integer(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

GLuint TextureOnUnit(int unit) {
  const GLint active = Integer(GL_ACTIVE_TEXTURE);
  glActiveTexture(GL_TEXTURE0 + unit);
  const GLuint bound = static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D));
  glActiveTexture(active);
  return bound;
}

// The scene in a windowless context, as the snapshot tool draws it.
class SceneTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.ok()) << context_.error();
    std::string error;
    ASSERT_TRUE(target_.IsComplete(&error)) << error;
    viewportWidth = target_.width();
    viewportHeight = target_.height();
    SetUpScene();
  }
  void TearDown() override {
    if (shaderProgram) TearDownScene();
  }

  EglSurfacelessContext context_;
  FramebufferTarget target_{64, 36};
};

TEST_F(SceneTest, SetUpLeavesUnitZeroWithTheLastTextureAndTheIndexBufferBound) {
  ASSERT_NE(shaderProgram, nullptr);
  ASSERT_NE(meshArrays, nullptr);
  ASSERT_NE(texture256, nullptr);
  ASSERT_NE(texture128, nullptr);
  EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
  EXPECT_EQ(TextureOnUnit(0), texture128->Texture());
  EXPECT_NE(Integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
}

TEST_F(SceneTest, FrameBindsTheTexturesAndSetsViewportAndUniforms) {
  RenderFrame(5.0f);
  EXPECT_EQ(static_cast<GLuint>(Integer(GL_CURRENT_PROGRAM)), shaderProgram->program());
  EXPECT_EQ(TextureOnUnit(0), texture256->Texture());
  EXPECT_EQ(TextureOnUnit(1), texture128->Texture());
  EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);

  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 64, 36}));
  GLfloat resolution[2] = {0, 0}, time = 0, matrix[16];
  const GLuint program = shaderProgram->program();
  glGetUniformfv(program, shaderProgram->UniformLocation("iResolution"), resolution);
  glGetUniformfv(program, shaderProgram->UniformLocation("iTime"), &time);
  glGetUniformfv(program, shaderProgram->UniformLocation("model_view"), matrix);
  EXPECT_EQ(resolution[0], 64.0f);
  EXPECT_EQ(resolution[1], 36.0f);
  EXPECT_EQ(time, 5.0f);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(matrix[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}

TEST_F(SceneTest, FollowsANewViewportSize) {
  RenderFrame(5.0f);
  viewportWidth = 32;
  viewportHeight = 20;
  RenderFrame(5.0f);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 32);
  EXPECT_EQ(viewport[3], 20);
  GLfloat resolution[2] = {0, 0};
  glGetUniformfv(shaderProgram->program(), shaderProgram->UniformLocation("iResolution"), resolution);
  EXPECT_EQ(resolution[0], 32.0f);
  EXPECT_EQ(resolution[1], 20.0f);
}

// Once faded in, a frame that is still mostly black means the quad, the
// buffers or the time went missing. (The black frame at time 0 is among the
// pixel tests.)
TEST_F(SceneTest, DrawsAPictureOverTheViewportOnceFadedIn) {
  RenderFrame(5.0f);
  const std::vector<unsigned char> pixels = target_.ReadPixels().pixels;
  size_t lit = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
  EXPECT_GT(lit, pixels.size() / 4 / 2) << "the quad covers the whole viewport";
}

TEST_F(SceneTest, TearDownDeletesEverythingAndClearsThePointers) {
  const GLuint program = shaderProgram->program();
  const GLuint textures[] = {texture256->Texture(), texture128->Texture()};
  TearDownScene();
  EXPECT_FALSE(glIsProgram(program));
  for (GLuint texture : textures) EXPECT_FALSE(glIsTexture(texture));
  EXPECT_EQ(shaderProgram, nullptr);
  EXPECT_EQ(meshArrays, nullptr);
  EXPECT_EQ(texture256, nullptr);
  EXPECT_EQ(texture128, nullptr);
}

}  // namespace
