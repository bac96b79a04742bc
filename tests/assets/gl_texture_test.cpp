#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assets/mip_texture.h"
#include "assets/resources.h"
#include "tests/support/egl_context.h"

namespace {

const int kChain256[] = {121, 120, 119, 118, 117, 116, 115, 103, 135};
const int kChain128[] = {127, 128, 129, 130, 131, 132, 133, 134};

struct ChainCase {
  const char* name;
  const int* ids;
  int count;
};

class MipTextureTest : public testing::TestWithParam<ChainCase> {
 protected:
  void SetUp() override { ASSERT_TRUE(context_.ok()) << context_.error(); }
  EglSurfacelessContext context_;
};

GLint LevelSide(int level, GLenum which) {
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
  return value;
}

// Each level, read back from the GL, holds the bitmap that its place in the
// chain names, bottom row first; the comparison decodes the bitmap on its
// own here rather than through the texture code.
TEST_P(MipTextureTest, LevelsHoldTheirBitmapsSmallestIdLast) {
  const ChainCase& chain = GetParam();
  MipTexture texture(chain.ids, chain.count);
  glBindTexture(GL_TEXTURE_2D, texture.Texture());
  for (int level = 0; level < chain.count; ++level) {
    const int side = 1 << (chain.count - 1 - level);
    EXPECT_EQ(LevelSide(level, GL_TEXTURE_WIDTH), side) << "level " << level;
    EXPECT_EQ(LevelSide(level, GL_TEXTURE_HEIGHT), side) << "level " << level;

    std::vector<float> texels(static_cast<size_t>(side) * side * 4, -1.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_FLOAT, texels.data());

    ResourceBytes bytes;
    const int id = chain.ids[chain.count - 1 - level];
    ASSERT_TRUE(FindResourceBytes(ResourceType::Bitmap, id, &bytes)) << id;
    const unsigned char* pixels = bytes.data + 54;
    const size_t stride = (static_cast<size_t>(side) * 3 + 3) / 4 * 4;
    for (int row = 0; row < side; ++row)
      for (int column = 0; column < side; ++column) {
        // The file stores the bottom row first, which is texel row 0.
        const unsigned char* bgr = pixels + row * stride + column * 3;
        const float* t = &texels[4 * (static_cast<size_t>(row) * side + column)];
        ASSERT_NEAR(t[0], bgr[2] / 255.0, 0.5 / 255) << "id " << id << " row " << row << " column " << column;
        ASSERT_NEAR(t[1], bgr[1] / 255.0, 0.5 / 255) << "id " << id << " row " << row << " column " << column;
        ASSERT_NEAR(t[2], bgr[0] / 255.0, 0.5 / 255) << "id " << id << " row " << row << " column " << column;
        ASSERT_EQ(t[3], 1.0f);
      }
  }
  EXPECT_EQ(LevelSide(chain.count, GL_TEXTURE_WIDTH), 0) << "no level below 1x1";
}

TEST_P(MipTextureTest, FiltersTrilinearlyAndRepeats) {
  const ChainCase& chain = GetParam();
  MipTexture texture(chain.ids, chain.count);
  glBindTexture(GL_TEXTURE_2D, texture.Texture());
  auto parameter = [](GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
  };
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
  EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);

  GLfloat deviceMaximum = 0, anisotropy = 0;
  glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &deviceMaximum);
  if (deviceMaximum == 0) GTEST_SKIP() << "this GL has no anisotropic filtering";
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
  // Mesa's CPU rasterisers filter without anisotropy; any other device gets
  // all that it offers.
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const bool mesaSoftware = renderer.find("llvmpipe") != std::string::npos || renderer == "softpipe";
  EXPECT_EQ(anisotropy, mesaSoftware ? 1.0f : deviceMaximum) << renderer << ", device maximum " << deviceMaximum;
}

INSTANTIATE_TEST_SUITE_P(Chains, MipTextureTest,
                         testing::Values(ChainCase{"Of256", kChain256, 9}, ChainCase{"Of128", kChain128, 8}),
                         [](const testing::TestParamInfo<ChainCase>& info) { return info.param.name; });

TEST(MipTextureUnits, BothAreBuiltOnUnitZeroWhichKeepsTheLastOneBound) {
  EglSurfacelessContext context;
  ASSERT_TRUE(context.ok()) << context.error();
  glActiveTexture(GL_TEXTURE3);
  MipTexture first(kChain256, 9);
  MipTexture second(kChain128, 8);
  EXPECT_NE(first.Texture(), second.Texture());
  GLint active = 0, bound = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(active, GL_TEXTURE0);
  EXPECT_EQ(static_cast<GLuint>(bound), second.Texture());
}

TEST(MipTextureUnits, DeletingReleasesTheName) {
  EglSurfacelessContext context;
  ASSERT_TRUE(context.ok()) << context.error();
  auto* texture = new MipTexture(kChain128, 8);
  const GLuint name = texture->Texture();
  EXPECT_TRUE(glIsTexture(name));
  delete texture;
  EXPECT_FALSE(glIsTexture(name));
}

TEST(MipTextureUnits, AMissingBitmapGivesAWhiteLevel) {
  EglSurfacelessContext context;
  ASSERT_TRUE(context.ok()) << context.error();
  const int ids[] = {121, 4242};
  MipTexture texture(ids, 2);
  std::vector<float> texels(2 * 2 * 4, 0.0f);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
  for (float v : texels) EXPECT_EQ(v, 1.0f);
}

}  // namespace
