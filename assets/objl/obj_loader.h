#pragma once

// Reads the embedded Wavefront model and its material library into meshes:
// one vertex per face corner, polygons cut into triangles by ear clipping,
// a face normal for faces that give none, and one mesh per object, group or
// material change.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace objl {

struct Vector2 {
  float x = 0.0f;
  float y = 0.0f;
};

struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Exact float comparison of all three components (a NaN equals nothing).
bool operator==(const Vector3& a, const Vector3& b);
bool operator!=(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);

Vector3 Cross(const Vector3& a, const Vector3& b);
float Dot(const Vector3& a, const Vector3& b);
float Length(const Vector3& a);
// Radians, single precision, unclamped: a zero-length vector gives NaN.
float AngleBetween(const Vector3& a, const Vector3& b);

struct Vertex {
  Vector3 position;
  Vector3 normal;
  Vector2 texCoord;
};

struct Material {
  std::string name;
  Vector3 ambient;
  Vector3 diffuse;
  Vector3 specular;
  float specularExponent = 0.0f;
  float opticalDensity = 0.0f;
  float dissolve = 0.0f;
  int32_t illumination = 0;
  std::string ambientMap;
  std::string diffuseMap;
  std::string specularMap;
  std::string specularExponentMap;
  std::string dissolveMap;
  std::string bumpMap;
};

struct Mesh {
  std::string name;
  std::vector<Vertex> vertices;
  std::vector<uint32_t> indices;  // three per triangle, into `vertices`
  Material material;
};

class ModelReader {
 public:
  ModelReader();
  ~ModelReader();

  // Reads the TEXTFILE resource `modelResourceId`; an "mtllib" line reads the
  // TEXTFILE resource `materialResourceId` (the file name on the line is not
  // used). Only the low 16 bits of each id count. Writes the progress report
  // to standard output. True when the model gave at least one mesh, vertex or
  // index; false for a model that gives nothing and for one that cannot be
  // read: a malformed or out-of-range number, a face reference outside the
  // data read so far, a "v", "vt" or "vn" line with too few values.
  bool ReadModel(int modelResourceId, int materialResourceId);

  // Appends the materials of the TEXTFILE resource `materialResourceId`.
  // False when a number in it cannot be read.
  bool ReadMaterials(int materialResourceId);

  // The same reads on texts in memory: "mtllib" reads `materialText`, and the
  // progress report goes to `progress`.
  bool ReadModelText(std::string_view modelText, std::string_view materialText, std::ostream& progress);
  bool ReadMaterialsText(std::string_view materialText);

  std::vector<Mesh> meshes;          // in the order they were closed
  std::vector<Vertex> allVertices;   // every face vertex, across meshes
  std::vector<uint32_t> allIndices;  // the meshes' triangles, into allVertices
  std::vector<Material> materials;   // kept across reads, in reading order
};

}  // namespace objl
