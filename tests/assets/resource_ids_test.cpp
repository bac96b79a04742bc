#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include "assets/resources.h"

namespace {

using namespace resource_id;

// The ids are the executable's interface: a screensaver host, the resource
// script and older builds all know resources by these numbers, so a renamed
// or renumbered manifest line must not move them.
TEST(ResourceIds, NameTheIdsTheExecutableHasAlwaysCarried) {
  EXPECT_EQ(kQuadModel, 104);
  EXPECT_EQ(kSceneVertexShader, 105);
  EXPECT_EQ(kSceneFragmentShader, 106);
  EXPECT_EQ(kQuadMaterials, 139);
  EXPECT_EQ(kAboutLogo, 101);
  const int gravel[] = {kGravel1,  kGravel2,  kGravel4,   kGravel8,  kGravel16,
                        kGravel32, kGravel64, kGravel128, kGravel256};
  const int gravelIds[] = {121, 120, 119, 118, 117, 116, 115, 103, 135};
  const int skin[] = {kSkin1, kSkin2, kSkin4, kSkin8, kSkin16, kSkin32, kSkin64, kSkin128};
  for (size_t i = 0; i < sizeof gravel / sizeof *gravel; ++i) EXPECT_EQ(gravel[i], gravelIds[i]) << i;
  for (size_t i = 0; i < sizeof skin / sizeof *skin; ++i) EXPECT_EQ(skin[i], 127 + static_cast<int>(i)) << i;
}

// Each name finds an embedded resource of the type its use needs.
TEST(ResourceIds, EveryNameFindsAResourceOfItsType) {
  ResourceBytes bytes;
  for (int id : {kQuadModel, kSceneVertexShader, kSceneFragmentShader, kQuadMaterials}) {
    EXPECT_TRUE(FindResourceBytes(ResourceType::TextFile, id, &bytes)) << id;
    EXPECT_FALSE(FindResourceBytes(ResourceType::Bitmap, id, &bytes)) << id;
  }
  for (int id : {kAboutLogo, kGravel1, kGravel256, kSkin1, kSkin128}) {
    EXPECT_TRUE(FindResourceBytes(ResourceType::Bitmap, id, &bytes)) << id;
    EXPECT_GT(bytes.size, 54u) << "a bitmap's headers at least";
  }
}

}  // namespace
