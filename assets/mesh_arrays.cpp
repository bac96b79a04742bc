#include "assets/mesh_arrays.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/gl.h"
#include "platform/message_box.h"

namespace {

struct Float3 {
  float x, y, z;
};

Float3 Minus(Float3 a, Float3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(Float3 a, Float3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Float3 Cross(Float3 a, Float3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Unit length, or the zero vector where there is no direction to keep (a zero,
// infinite or NaN length), so that no NaN reaches a vertex buffer.
Float3 Normalized(Float3 v) {
  float sum = 0.0f;
  sum += v.x * v.x;
  sum += v.y * v.y;
  sum += v.z * v.z;
  const float length = static_cast<float>(std::sqrt(static_cast<double>(sum)));
  if (!(length > 0.0f) || !std::isfinite(length)) return {0.0f, 0.0f, 0.0f};
  return {v.x / length, v.y / length, v.z / length};
}

Float3 Load3(const std::vector<float>& array, uint32_t vertex) {
  const float* p = &array[3 * static_cast<size_t>(vertex)];
  return {p[0], p[1], p[2]};
}

void Store3(std::vector<float>& array, uint32_t vertex, Float3 v) {
  float* p = &array[3 * static_cast<size_t>(vertex)];
  p[0] = v.x;
  p[1] = v.y;
  p[2] = v.z;
}

struct Frame {
  Float3 tangent, bitangent;
};

// Where the texture coordinates give no direction (a zero determinant, or
// positions that are not finite), any unit pair across the normal serves.
Frame FrameAcross(Float3 normal) {
  if (Dot(normal, normal) == 0.0f) return {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
  const Float3 helper = std::fabs(normal.x) < 0.9f ? Float3{1.0f, 0.0f, 0.0f} : Float3{0.0f, 1.0f, 0.0f};
  const Float3 tangent = Normalized(Cross(helper, normal));
  return {tangent, Normalized(Cross(normal, tangent))};
}

// The frame the texture coordinates of one triangle give its positions.
Frame TriangleFrame(Float3 p0, Float3 p1, Float3 p2, const float* t0, const float* t1, const float* t2, Float3 normal) {
  const Float3 e1 = Minus(p1, p0);
  const Float3 e2 = Minus(p2, p0);
  const float d1u = t1[0] - t0[0], d1v = t1[1] - t0[1];
  const float d2u = t2[0] - t0[0], d2v = t2[1] - t0[1];
  const float determinant = d1u * d2v - d2u * d1v;
  if (determinant == 0.0f) return FrameAcross(normal);
  const float f = 1.0f / determinant;
  const Float3 tangent =
      Normalized({(d2v * e1.x - d1v * e2.x) * f, (d2v * e1.y - d1v * e2.y) * f, (d2v * e1.z - d1v * e2.z) * f});
  const Float3 bitangent = Normalized(
      {((-d2u) * e1.x + d1u * e2.x) * f, ((-d2u) * e1.y + d1u * e2.y) * f, ((-d2u) * e1.z + d1u * e2.z) * f});
  if (Dot(tangent, tangent) == 0.0f || Dot(bitangent, bitangent) == 0.0f) return FrameAcross(normal);
  return {tangent, bitangent};
}

[[noreturn]] void FailToLoadMesh() {
  ShowDebugMessage("Failed to load mesh");
  glfwTerminate();
  std::exit(0);
}

// A model can read without a mesh (faces that give no triangle); there is
// nothing to draw then either.
std::vector<objl::Mesh> ReadMeshesOrExit(int modelResourceId) {
  objl::ModelReader reader;
  if (!reader.ReadModel(modelResourceId, kMaterialResourceId)) FailToLoadMesh();
  return std::move(reader.meshes);
}

}  // namespace

MeshArrays::MeshArrays(int modelResourceId) : MeshArrays(ReadMeshesOrExit(modelResourceId)) {}

MeshArrays::MeshArrays(const std::vector<objl::Mesh>& meshes) {
  if (meshes.empty()) FailToLoadMesh();
  TakeMesh(meshes.back());
  ComputeTangentFrames();
}

// Only the last mesh is drawn: each mesh of a model would replace the arrays
// of the one before it.
void MeshArrays::TakeMesh(const objl::Mesh& mesh) {
  vertexCount = static_cast<int32_t>(mesh.vertices.size());
  const size_t count = mesh.vertices.size();
  positions.assign(3 * count, 0.0f);
  texCoords.assign(2 * count, 0.0f);
  normals.assign(3 * count, 0.0f);
  tangents.assign(3 * count, 0.0f);
  bitangents.assign(3 * count, 0.0f);
  for (size_t i = 0; i < count; ++i) {
    const objl::Vertex& v = mesh.vertices[i];
    Store3(positions, static_cast<uint32_t>(i), {v.position.x, v.position.y, v.position.z});
    Store3(normals, static_cast<uint32_t>(i), Normalized({v.normal.x, v.normal.y, v.normal.z}));
    texCoords[2 * i] = v.texCoord.x;
    texCoords[2 * i + 1] = v.texCoord.y;
  }
  // Whole triangles only, and only those whose corners exist: the draw reads
  // three indices a triangle, and the GL reads vertex data at each of them.
  indices.clear();
  for (size_t k = 0; k + 2 < mesh.indices.size(); k += 3) {
    const uint32_t* corner = &mesh.indices[k];
    if (corner[0] >= count || corner[1] >= count || corner[2] >= count) continue;
    indices.insert(indices.end(), corner, corner + 3);
  }
  indexCount = static_cast<int32_t>(indices.size());
}

// A vertex shared by several triangles keeps the frame of the last of them.
void MeshArrays::ComputeTangentFrames() {
  for (size_t k = 0; k + 2 < indices.size(); k += 3) {
    const uint32_t i0 = indices[k], i1 = indices[k + 1], i2 = indices[k + 2];
    const Frame frame = TriangleFrame(Load3(positions, i0), Load3(positions, i1), Load3(positions, i2),
                                      &texCoords[2 * static_cast<size_t>(i0)], &texCoords[2 * static_cast<size_t>(i1)],
                                      &texCoords[2 * static_cast<size_t>(i2)], Load3(normals, i0));
    for (uint32_t vertex : {i0, i1, i2}) {
      Store3(tangents, vertex, frame.tangent);
      Store3(bitangents, vertex, frame.bitangent);
    }
  }
}
