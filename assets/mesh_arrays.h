#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/objl/obj_loader.h"
#include "resources/resource_ids.h"

// The material library that the model's "mtllib" line stands for.
constexpr int kMaterialResourceId = resource_id::kQuadMaterials;

// The last mesh of a model as flat per-vertex arrays for the vertex buffers,
// with unit normals and a tangent frame per vertex. Complete when the
// constructor returns; never changed afterwards.
class MeshArrays {
 public:
  // Reads the model resource (with kMaterialResourceId). A model that does not
  // read, or reads without a mesh, ends the process with status 0 after
  // telling the user.
  explicit MeshArrays(int modelResourceId);
  // From meshes already read; none ends the process the same way.
  explicit MeshArrays(const std::vector<objl::Mesh>& meshes);

  size_t PositionBytes() const { return static_cast<size_t>(vertexCount) * 12; }
  size_t TexCoordBytes() const { return static_cast<size_t>(vertexCount) * 8; }
  size_t NormalBytes() const { return static_cast<size_t>(vertexCount) * 12; }
  size_t TangentBytes() const { return static_cast<size_t>(vertexCount) * 12; }
  size_t BitangentBytes() const { return static_cast<size_t>(vertexCount) * 12; }
  size_t IndexBytes() const { return static_cast<size_t>(indexCount) * 4; }
  int32_t IndexCount() const { return indexCount; }

  std::vector<float> positions;   // x, y, z per vertex
  std::vector<float> texCoords;   // u, v per vertex
  std::vector<float> normals;     // unit, or zero where the model's is zero
  std::vector<float> tangents;    // unit; zero for a vertex no triangle uses
  std::vector<float> bitangents;  // unit; zero for a vertex no triangle uses
  std::vector<uint32_t> indices;  // three per triangle, each below vertexCount
  int32_t vertexCount = 0;
  int32_t indexCount = 0;

 private:
  void TakeMesh(const objl::Mesh& mesh);
  void ComputeTangentFrames();
};
