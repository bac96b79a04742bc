#include "assets/mesh_arrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

objl::Vertex MakeVertex(float x, float y, float z, float u, float v, float nx = 0, float ny = 0, float nz = 1) {
  objl::Vertex vertex;
  vertex.position.x = x;
  vertex.position.y = y;
  vertex.position.z = z;
  vertex.normal.x = nx;
  vertex.normal.y = ny;
  vertex.normal.z = nz;
  vertex.texCoord.x = u;
  vertex.texCoord.y = v;
  return vertex;
}

objl::Mesh MakeMesh(std::vector<objl::Vertex> vertices, std::vector<unsigned int> indices) {
  objl::Mesh mesh;
  mesh.vertices = std::move(vertices);
  mesh.indices = std::move(indices);
  return mesh;
}

// The embedded model's square: corners from (-1,-1) to (1,1), texture
// coordinates from (0,0) to (1,1), and the face normal the reader gives it.
std::vector<objl::Vertex> Square() {
  return {MakeVertex(-1, -1, 0, 0, 0, 0, 0, -4), MakeVertex(1, -1, 0, 1, 0, 0, 0, -4),
          MakeVertex(1, 1, 0, 1, 1, 0, 0, -4), MakeVertex(-1, 1, 0, 0, 1, 0, 0, -4)};
}

struct Triple {
  float x, y, z;
};

Triple At(const std::vector<float>& array, int vertex) {
  return {array[3 * vertex], array[3 * vertex + 1], array[3 * vertex + 2]};
}

void ExpectTriple(const std::vector<float>& array, int vertex, Triple expected, const char* what) {
  Triple got = At(array, vertex);
  EXPECT_FLOAT_EQ(got.x, expected.x) << what << " of vertex " << vertex;
  EXPECT_FLOAT_EQ(got.y, expected.y) << what << " of vertex " << vertex;
  EXPECT_FLOAT_EQ(got.z, expected.z) << what << " of vertex " << vertex;
}

bool AllFinite(const std::vector<float>& array) {
  for (float v : array)
    if (!std::isfinite(v)) return false;
  return true;
}

float Length(Triple t) { return std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z); }

class SquareSplit : public testing::TestWithParam<std::vector<unsigned int>> {};

// However the square is cut into two triangles, u runs along x and v along y.
TEST_P(SquareSplit, GivesTheSameFrameAtEveryVertex) {
  MeshArrays arrays({MakeMesh(Square(), GetParam())});
  EXPECT_EQ(arrays.vertexCount, 4);
  EXPECT_EQ(arrays.IndexCount(), 6);
  EXPECT_EQ(arrays.indices, GetParam());
  for (int v = 0; v < 4; ++v) {
    ExpectTriple(arrays.tangents, v, {1, 0, 0}, "tangent");
    ExpectTriple(arrays.bitangents, v, {0, 1, 0}, "bitangent");
    ExpectTriple(arrays.normals, v, {0, 0, -1}, "normal");
  }
}

INSTANTIATE_TEST_SUITE_P(Splits, SquareSplit,
                         testing::Values(std::vector<unsigned int>{0, 1, 3, 1, 2, 3},
                                         std::vector<unsigned int>{0, 1, 2, 0, 2, 3},
                                         std::vector<unsigned int>{3, 1, 0, 3, 2, 1},
                                         std::vector<unsigned int>{2, 3, 0, 0, 1, 2}));

TEST(MeshArrays, StoresPositionsAndTextureCoordinatesUnchangedAndNormalsAtUnitLength) {
  std::vector<objl::Vertex> vertices = {MakeVertex(0.5f, -2, 7, 0.25f, 0.75f, 0, 0, 2),
                                        MakeVertex(3, 4, 5, 1, 0, 3, 0, 4), MakeVertex(-1, 0, 0, 0, 1, 0, -0.5f, 0)};
  MeshArrays arrays({MakeMesh(vertices, {0, 1, 2})});
  EXPECT_EQ(arrays.positions, (std::vector<float>{0.5f, -2, 7, 3, 4, 5, -1, 0, 0}));
  EXPECT_EQ(arrays.texCoords, (std::vector<float>{0.25f, 0.75f, 1, 0, 0, 1}));
  ExpectTriple(arrays.normals, 0, {0, 0, 1}, "normal");
  ExpectTriple(arrays.normals, 1, {0.6f, 0, 0.8f}, "normal");
  ExpectTriple(arrays.normals, 2, {0, -1, 0}, "normal");
}

TEST(MeshArrays, SizesItsBuffersFromTheCounts) {
  MeshArrays arrays({MakeMesh(Square(), {0, 1, 3, 1, 2, 3})});
  EXPECT_EQ(arrays.PositionBytes(), 48u);
  EXPECT_EQ(arrays.TexCoordBytes(), 32u);
  EXPECT_EQ(arrays.NormalBytes(), 48u);
  EXPECT_EQ(arrays.TangentBytes(), 48u);
  EXPECT_EQ(arrays.BitangentBytes(), 48u);
  EXPECT_EQ(arrays.IndexBytes(), 24u);
  EXPECT_EQ(arrays.positions.size() * sizeof(float), arrays.PositionBytes());
  EXPECT_EQ(arrays.texCoords.size() * sizeof(float), arrays.TexCoordBytes());
  EXPECT_EQ(arrays.indices.size() * sizeof(uint32_t), arrays.IndexBytes());
}

TEST(MeshArrays, TakesTheLastMeshOnly) {
  objl::Mesh first = MakeMesh(Square(), {0, 1, 3, 1, 2, 3});
  objl::Mesh second =
      MakeMesh({MakeVertex(0, 0, 0, 0, 0), MakeVertex(2, 0, 0, 1, 0), MakeVertex(0, 2, 0, 0, 1)}, {0, 1, 2});
  MeshArrays arrays({first, second});
  EXPECT_EQ(arrays.vertexCount, 3);
  EXPECT_EQ(arrays.IndexCount(), 3);
  EXPECT_EQ(arrays.positions, (std::vector<float>{0, 0, 0, 2, 0, 0, 0, 2, 0}));
}

// Vertex 1 and 2 are shared; the second triangle's texture runs against x.
TEST(MeshArrays, ASharedVertexKeepsTheFrameOfTheLaterTriangle) {
  std::vector<objl::Vertex> vertices = {MakeVertex(0, 0, 0, 0, 0), MakeVertex(1, 0, 0, 1, 0), MakeVertex(0, 1, 0, 0, 1),
                                        MakeVertex(1, 1, 0, 0, 0)};
  MeshArrays arrays({MakeMesh(vertices, {0, 1, 2, 1, 3, 2})});
  ExpectTriple(arrays.tangents, 0, {1, 0, 0}, "tangent");
  ExpectTriple(arrays.bitangents, 0, {0, 1, 0}, "bitangent");
  // The later triangle (1, 3, 2) has u falling along y and v falling along x.
  for (int shared : {1, 2, 3}) {
    ExpectTriple(arrays.tangents, shared, {0, -1, 0}, "tangent");
    ExpectTriple(arrays.bitangents, shared, {-1, 0, 0}, "bitangent");
  }
}

struct DegenerateCase {
  const char* name;
  std::vector<objl::Vertex> vertices;
};

class DegenerateTextureCoordinates : public testing::TestWithParam<DegenerateCase> {};

// No NaN or infinity may reach a buffer, and the frame still lies across the
// normal.
TEST_P(DegenerateTextureCoordinates, LeaveAFiniteFrameAcrossTheNormal) {
  MeshArrays arrays({MakeMesh(GetParam().vertices, {0, 1, 2})});
  EXPECT_TRUE(AllFinite(arrays.tangents));
  EXPECT_TRUE(AllFinite(arrays.bitangents));
  EXPECT_TRUE(AllFinite(arrays.normals));
  for (int v = 0; v < 3; ++v) {
    Triple t = At(arrays.tangents, v), b = At(arrays.bitangents, v), n = At(arrays.normals, v);
    EXPECT_NEAR(Length(t), 1.0f, 1e-5f) << v;
    EXPECT_NEAR(Length(b), 1.0f, 1e-5f) << v;
    if (Length(n) > 0) {
      EXPECT_NEAR(t.x * n.x + t.y * n.y + t.z * n.z, 0.0f, 1e-5f) << v;
      EXPECT_NEAR(b.x * n.x + b.y * n.y + b.z * n.z, 0.0f, 1e-5f) << v;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DegenerateTextureCoordinates,
    testing::Values(
        DegenerateCase{
            "RepeatedCoordinates",
            {MakeVertex(0, 0, 0, 0.5f, 0.5f), MakeVertex(1, 0, 0, 0.5f, 0.5f), MakeVertex(0, 1, 0, 0.5f, 0.5f)}},
        DegenerateCase{"CollinearCoordinates",
                       {MakeVertex(0, 0, 0, 0, 0), MakeVertex(1, 0, 0, 1, 1), MakeVertex(0, 1, 0, 2, 2)}},
        DegenerateCase{"NormalAlongX",
                       {MakeVertex(0, 0, 0, 0, 0, 1, 0, 0), MakeVertex(0, 1, 0, 0, 0, 1, 0, 0),
                        MakeVertex(0, 0, 1, 0, 0, 1, 0, 0)}},
        DegenerateCase{"ZeroNormal",
                       {MakeVertex(0, 0, 0, 0, 0, 0, 0, 0), MakeVertex(1, 0, 0, 0, 0, 0, 0, 0),
                        MakeVertex(0, 1, 0, 0, 0, 0, 0, 0)}},
        DegenerateCase{"RepeatedPositions",
                       {MakeVertex(1, 1, 1, 0, 0), MakeVertex(1, 1, 1, 1, 0), MakeVertex(1, 1, 1, 0, 1)}},
        DegenerateCase{"InfinitePosition",
                       {MakeVertex(INFINITY, 0, 0, 0, 0), MakeVertex(1, 0, 0, 1, 0), MakeVertex(0, 1, 0, 0, 1)}},
        DegenerateCase{"NotANumberCoordinate",
                       {MakeVertex(0, 0, 0, NAN, 0), MakeVertex(1, 0, 0, 1, 0), MakeVertex(0, 1, 0, 0, 1)}},
        DegenerateCase{"DeterminantUnderflows",
                       {MakeVertex(0, 0, 0, 0, 0), MakeVertex(1, 0, 0, 1e-30f, 0), MakeVertex(0, 1, 0, 0, 1e-30f)}},
        DegenerateCase{"ReciprocalOverflows",
                       {MakeVertex(0, 0, 0, 0, 0), MakeVertex(1, 0, 0, 1e-20f, 0), MakeVertex(0, 1, 0, 0, 1e-20f)}}),
    [](const testing::TestParamInfo<DegenerateCase>& info) { return info.param.name; });

TEST(MeshArrays, AZeroNormalStaysZeroRatherThanNotANumber) {
  MeshArrays arrays({MakeMesh({MakeVertex(0, 0, 0, 0, 0, 0, 0, 0)}, {})});
  ExpectTriple(arrays.normals, 0, {0, 0, 0}, "normal");
}

struct IndexCase {
  const char* name;
  std::vector<unsigned int> given;
  std::vector<unsigned int> kept;
};

class IndexChecking : public testing::TestWithParam<IndexCase> {};

// Only whole triangles whose corners exist are kept (ASan sees any read past
// the arrays); vertices no kept triangle uses have a zero frame.
TEST_P(IndexChecking, KeepsWholeTrianglesWithinTheVertices) {
  MeshArrays arrays({MakeMesh(Square(), GetParam().given)});
  EXPECT_EQ(arrays.indices, GetParam().kept);
  EXPECT_EQ(arrays.IndexCount(), static_cast<int32_t>(GetParam().kept.size()));
  std::vector<bool> used(4, false);
  for (unsigned int i : GetParam().kept) used[i] = true;
  for (int v = 0; v < 4; ++v) {
    if (used[v]) {
      ExpectTriple(arrays.tangents, v, {1, 0, 0}, "tangent");
    } else {
      ExpectTriple(arrays.tangents, v, {0, 0, 0}, "tangent");
      ExpectTriple(arrays.bitangents, v, {0, 0, 0}, "bitangent");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, IndexChecking,
                         testing::Values(IndexCase{"OneLeftOver", {0, 1, 2, 3}, {0, 1, 2}},
                                         IndexCase{"TwoLeftOver", {0, 1, 2, 0, 3}, {0, 1, 2}},
                                         IndexCase{"FewerThanATriangle", {0, 1}, {}}, IndexCase{"None", {}, {}},
                                         IndexCase{"BeyondTheVertices", {0, 1, 4, 0, 2, 3}, {0, 2, 3}},
                                         IndexCase{"FarBeyond", {0xFFFFFFFFu, 0, 1, 1, 2, 3}, {1, 2, 3}}),
                         [](const testing::TestParamInfo<IndexCase>& info) { return info.param.name; });

class MeshLoadFailure : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void WithoutDisplay() {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
}

TEST_F(MeshLoadFailure, AModelThatDoesNotReadEndsWithTheMessage) {
  EXPECT_EXIT(
      {
        WithoutDisplay();
        MeshArrays arrays(9999);
        std::exit(3);
      },
      testing::ExitedWithCode(0), "Debug: Failed to load mesh\n");
}

TEST_F(MeshLoadFailure, AModelWithoutAMeshEndsWithTheSameMessage) {
  EXPECT_EXIT(
      {
        WithoutDisplay();
        MeshArrays arrays(std::vector<objl::Mesh>{});
        std::exit(3);
      },
      testing::ExitedWithCode(0), "Debug: Failed to load mesh\n");
}

TEST(EmbeddedModel, IsTheSquareInTwoTriangles) {
  MeshArrays arrays(104);
  EXPECT_EQ(arrays.vertexCount, 4);
  EXPECT_EQ(arrays.indices, (std::vector<uint32_t>{0, 1, 3, 1, 2, 3}));
  EXPECT_EQ(arrays.positions, (std::vector<float>{-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}));
  for (int v = 0; v < 4; ++v) {
    ExpectTriple(arrays.normals, v, {0, 0, -1}, "normal");
    ExpectTriple(arrays.tangents, v, {1, 0, 0}, "tangent");
    ExpectTriple(arrays.bitangents, v, {0, 1, 0}, "bitangent");
  }
}

}  // namespace
