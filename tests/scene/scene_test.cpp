#include <gtest/gtest.h>

#include "scene/scale_matrix.h"

namespace {

TEST(ScaleMatrix, PutsTheFactorsOnTheDiagonalInColumnOrder) {
  Matrix4 m = ScaleMatrix(2, 3, 4);
  const float expected[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], expected[i]) << "element " << i;
}

TEST(ScaleMatrix, OfOnesIsTheIdentity) {
  Matrix4 m = ScaleMatrix(1, 1, 1);
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) EXPECT_EQ(m.m[column * 4 + row], column == row ? 1.0f : 0.0f);
}

}  // namespace
