#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "assets/objl/obj_geometry.h"

namespace objl {
namespace {

using Indices = std::vector<uint32_t>;
using Points = std::vector<Vector3>;

std::vector<Vertex> FaceOf(const Points& points) {
  std::vector<Vertex> face(points.size());
  for (size_t i = 0; i < points.size(); ++i) face[i].position = points[i];
  return face;
}

struct ClipCase {
  const char* name;
  Points corners;
  Indices indices;
};

std::ostream& operator<<(std::ostream& out, const ClipCase& c) { return out << c.name; }

class Triangulation : public testing::TestWithParam<ClipCase> {};

TEST_P(Triangulation, GivesTrianglesInFaceOrder) {
  EXPECT_EQ(TriangulateFace(FaceOf(GetParam().corners)), GetParam().indices);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, Triangulation,
    testing::Values(
        ClipCase{"no_corner", {}, {}}, ClipCase{"two_corners", {{0, 0, 0}, {1, 0, 0}}, {}},
        ClipCase{"triangle_as_given", {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, {0, 1, 2}},
        ClipCase{"square_along_next_prev", {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, {0, 1, 3, 1, 2, 3}},
        ClipCase{"concave_quad_same_diagonal", {{0, 0, 0}, {4, 0, 0}, {1, 1, 0}, {0, 4, 0}}, {0, 1, 3, 1, 2, 3}},
        ClipCase{
            "convex_pentagon", {{0, 0, 0}, {2, 0, 0}, {3, 2, 0}, {1, 3, 0}, {-1, 2, 0}}, {0, 1, 4, 1, 2, 4, 2, 3, 4}},
        ClipCase{
            "concave_pentagon", {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 1, 0}, {0, 4, 0}}, {1, 2, 3, 0, 1, 4, 1, 3, 4}},
        ClipCase{"straight_first_corner",
                 {{1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 0}},
                 {0, 1, 2, 0, 2, 4, 2, 3, 4}},
        // A repeated position is emitted at every corner that carries it.
        ClipCase{"repeated_corner", {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0}}, {0, 1, 2, 3, 0, 1, 2, 3}},
        // Every corner on one line: all angles are 0 or 180, nothing is clipped.
        ClipCase{"all_in_a_line", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}, {}},
        // One ear, then every corner is straight or blocked by a corner already
        // clipped away: the search stops with the one triangle.
        ClipCase{"stuck_after_one_ear", {{1, 4, 0}, {0, 1, 0}, {2, 1, 0}, {3, 3, 0}, {1, 1, 0}, {3, 1, 0}}, {2, 3, 4}}),
    [](const testing::TestParamInfo<ClipCase>& info) { return std::string(info.param.name); });

TEST(Triangulation, EndsWhenPositionsAreNaN) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Points corners(7, Vector3{nan, 0, 0});
  // NaN angles are clipped and NaN positions match nothing, so no index comes
  // out; what matters is that every clip still removes a corner.
  EXPECT_EQ(TriangulateFace(FaceOf(corners)), Indices());
}

TEST(Triangulation, SamePositionEverywhereEmitsEveryCornerPerTriangle) {
  Indices indices = TriangulateFace(FaceOf(Points(6, Vector3{1, 1, 1})));
  // Two clips down to four corners and the split's first triangle match all
  // six corners three times each; the split's second triangle has the
  // origin as its fourth corner and matches each corner twice.
  EXPECT_EQ(indices.size(), 3u * 6u * 3u + 6u * 2u);
}

struct InsideCase {
  Vector3 point;
  bool inside;
};

class InsideTriangle : public testing::TestWithParam<InsideCase> {};

TEST_P(InsideTriangle, UsesProjectionAndClosedEdges) {
  EXPECT_EQ(IsInsideTriangle(GetParam().point, {0, 0, 0}, {4, 0, 0}, {0, 4, 0}), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Points, InsideTriangle,
                         testing::Values(InsideCase{{1, 1, 0}, true}, InsideCase{{1, 1, 7}, true},
                                         InsideCase{{2, 0, 0}, true}, InsideCase{{0, 0, 0}, true},
                                         InsideCase{{2, 2, 0}, true}, InsideCase{{3, 3, 0}, false},
                                         InsideCase{{-1, 1, 0}, false}, InsideCase{{1, -0.5f, 0}, false}));

TEST(InsideTriangle, DegenerateTriangleContainsNothing) {
  EXPECT_FALSE(IsInsideTriangle({1, 0, 0}, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}));
}

const Points kPositions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const std::vector<Vector2> kTexCoords = {{0.25f, 0.5f}, {0.75f, 1}};
const Points kNormals = {{0, 0, 2}, {0, 1, 0}};

std::vector<Vertex> Build(const char* line) {
  std::vector<Vertex> face;
  EXPECT_TRUE(BuildFaceVertices(kPositions, kTexCoords, kNormals, line, &face)) << line;
  return face;
}

void ExpectVector(const Vector3& actual, const Vector3& expected) {
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.y, expected.y);
  EXPECT_EQ(actual.z, expected.z);
}

TEST(FaceVertices, PositionsOnlyGetTheUnscaledFaceNormal) {
  std::vector<Vertex> face = Build("f 1 2 3");
  ASSERT_EQ(face.size(), 3u);
  for (const Vertex& v : face) {
    ExpectVector(v.normal, {0, 0, -1});
    EXPECT_EQ(v.texCoord.x, 0.0f);
    EXPECT_EQ(v.texCoord.y, 0.0f);
  }
  ExpectVector(face[2].position, {1, 1, 0});
}

TEST(FaceVertices, GivenNormalsAndTexCoordsAreKept) {
  std::vector<Vertex> face = Build("f 1/2/1 2//2 3/1/1");
  ASSERT_EQ(face.size(), 3u);
  ExpectVector(face[0].normal, {0, 0, 2});
  ExpectVector(face[1].normal, {0, 1, 0});
  EXPECT_EQ(face[0].texCoord.x, 0.75f);
  EXPECT_EQ(face[1].texCoord.x, 0.0f);  // v//vn has no texture coordinate
  EXPECT_EQ(face[2].texCoord.y, 0.5f);
}

TEST(FaceVertices, OneCornerWithoutNormalGivesEveryCornerTheFaceNormal) {
  std::vector<Vertex> face = Build("f 1//1 2 3//1");
  ASSERT_EQ(face.size(), 3u);
  for (const Vertex& v : face) ExpectVector(v.normal, {0, 0, -1});
}

TEST(FaceVertices, NegativeReferencesCountFromTheEnd) {
  std::vector<Vertex> face = Build("f -4/-2 -3/-1 -1/1");
  ASSERT_EQ(face.size(), 3u);
  ExpectVector(face[0].position, {0, 0, 0});
  ExpectVector(face[2].position, {0, 1, 0});
  EXPECT_EQ(face[0].texCoord.x, 0.25f);
  EXPECT_EQ(face[1].texCoord.x, 0.75f);
}

TEST(FaceVertices, UnusableCornerFieldsAreNoCorners) {
  EXPECT_EQ(Build("f 1 2 3 ").size(), 3u);
  EXPECT_EQ(Build("f 1  2 3").size(), 3u);
  EXPECT_EQ(Build("f 1 2/1/1/1 3 4").size(), 3u);
  EXPECT_EQ(Build("f").size(), 0u);
}

TEST(FaceVertices, TwoCornersWithoutNormalsKeepZeroNormals) {
  std::vector<Vertex> face = Build("f 1 2");
  ASSERT_EQ(face.size(), 2u);
  for (const Vertex& v : face) ExpectVector(v.normal, {0, 0, 0});
}

class BadFace : public testing::TestWithParam<const char*> {};

TEST_P(BadFace, IsRejected) {
  std::vector<Vertex> face;
  EXPECT_FALSE(BuildFaceVertices(kPositions, kTexCoords, kNormals, GetParam(), &face));
}

INSTANTIATE_TEST_SUITE_P(OutOfRange, BadFace,
                         testing::Values("f 0 1 2", "f 1 2 5", "f -5 1 2", "f 1/3 2/1 3/1", "f 1//3 2//1 3//1",
                                         "f 1/-3 2 3"));
INSTANTIATE_TEST_SUITE_P(Malformed, BadFace,
                         testing::Values("f a 2 3", "f 1 2 3/x", "f /1 2 3", "f 1// 2 3", "f 1//x 2 3",
                                         "f 99999999999 1 2"));

}  // namespace
}  // namespace objl
