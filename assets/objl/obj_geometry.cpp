#include "assets/objl/obj_geometry.h"

#include <string>

#include "assets/objl/obj_text.h"

namespace objl {

namespace {

// 180 / 3.14159265359: the corner angles in degrees are compared against 0
// and 180 with this factor, which decides whether a straight corner counts.
constexpr double kDegreesPerRadian = 57.29577951307855;

// Fills the members of `vertex` that the corner names; the rest keep what the
// previous corner left. Ignored corners leave `ignored` set.
bool ReadCorner(const std::vector<Vector3>& positions, const std::vector<Vector2>& texCoords,
                const std::vector<Vector3>& normals, const std::string& field, Vertex* vertex, bool* ignored,
                bool* missingNormal) {
  std::vector<std::string> parts = SplitFields(field, "/");
  *ignored = parts.empty() || parts.size() > 3;
  if (*ignored) return true;
  if (!ResolveIndex(positions, parts[0], &vertex->position)) return false;
  vertex->texCoord = Vector2();
  bool hasTexCoord = parts.size() >= 2 && !parts[1].empty();
  if (parts.size() == 2 || (parts.size() == 3 && hasTexCoord)) {
    if (!ResolveIndex(texCoords, parts[1], &vertex->texCoord)) return false;
  }
  if (parts.size() == 3) return ResolveIndex(normals, parts[2], &vertex->normal);
  *missingNormal = true;
  return true;
}

// Appends every face index whose position is one of the triangle's, in face
// order; the winding therefore follows the face, not the clip.
void EmitTriangle(const std::vector<Vertex>& face, const Vector3& a, const Vector3& b, const Vector3& c,
                  std::vector<uint32_t>* indices) {
  for (size_t j = 0; j < face.size(); ++j) {
    const Vector3& p = face[j].position;
    if (p == a) indices->push_back(static_cast<uint32_t>(j));
    if (p == b) indices->push_back(static_cast<uint32_t>(j));
    if (p == c) indices->push_back(static_cast<uint32_t>(j));
  }
}

double CornerDegrees(const Vector3& prev, const Vector3& cur, const Vector3& next) {
  return static_cast<double>(AngleBetween(prev - cur, next - cur)) * kDegreesPerRadian;
}

bool IsCornerBlocked(const std::vector<Vertex>& face, const Vector3& prev, const Vector3& cur, const Vector3& next) {
  for (const Vertex& v : face) {
    const Vector3& p = v.position;
    if (p != prev && p != cur && p != next && IsInsideTriangle(p, prev, cur, next)) return true;
  }
  return false;
}

// The last four corners always split along the diagonal next-prev.
void SplitQuad(const std::vector<Vertex>& face, const std::vector<Vertex>& remaining, std::vector<uint32_t>* indices) {
  const Vector3& prev = remaining[3].position;
  const Vector3& cur = remaining[0].position;
  const Vector3& next = remaining[1].position;
  EmitTriangle(face, cur, prev, next, indices);
  Vector3 fourth;
  for (const Vertex& v : remaining) {
    if (v.position != cur && v.position != prev && v.position != next) {
      fourth = v.position;
      break;
    }
  }
  EmitTriangle(face, prev, next, fourth, indices);
}

// Removes the clipped corner. It goes by position, so of repeated positions
// the first goes; a position with a NaN matches nothing, and then the corner
// itself goes, or the clip would repeat for ever.
void RemoveCorner(std::vector<Vertex>* remaining, size_t corner) {
  const Vector3 position = (*remaining)[corner].position;
  for (size_t j = 0; j < remaining->size(); ++j) {
    if ((*remaining)[j].position == position) {
      corner = j;
      break;
    }
  }
  remaining->erase(remaining->begin() + static_cast<std::ptrdiff_t>(corner));
}

// Clips ears until the last four corners are split. After each clip the
// search starts over at the first corner. Every clip removes one corner, so
// this ends; a polygon in which no corner can be clipped is left as it is
// (with what was emitted so far), where searching again would find the same
// nothing for ever.
void ClipEars(const std::vector<Vertex>& face, std::vector<Vertex>* remaining, std::vector<uint32_t>* indices) {
  size_t i = 0;
  while (i < remaining->size()) {
    size_t count = remaining->size();
    if (count == 4) {
      SplitQuad(face, *remaining, indices);
      remaining->clear();
      return;
    }
    const Vector3 prev = (*remaining)[i == 0 ? count - 1 : i - 1].position;
    const Vector3 cur = (*remaining)[i].position;
    const Vector3 next = (*remaining)[i + 1 == count ? 0 : i + 1].position;
    double degrees = CornerDegrees(prev, cur, next);
    // A NaN angle passes both tests and is clipped.
    if (degrees <= 0.0 || degrees >= 180.0 || IsCornerBlocked(face, prev, cur, next)) {
      ++i;
      continue;
    }
    EmitTriangle(face, cur, prev, next, indices);
    RemoveCorner(remaining, i);
    i = 0;
  }
}

}  // namespace

bool BuildFaceVertices(const std::vector<Vector3>& positions, const std::vector<Vector2>& texCoords,
                       const std::vector<Vector3>& normals, std::string_view line, std::vector<Vertex>* face) {
  face->clear();
  bool missingNormal = false;
  Vertex vertex;
  for (const std::string& field : SplitFields(RestOfLine(line), " ")) {
    bool ignored = false;
    if (!ReadCorner(positions, texCoords, normals, field, &vertex, &ignored, &missingNormal)) return false;
    if (!ignored) face->push_back(vertex);
  }
  // Fewer than three corners make no triangle and span no plane: their
  // normals stay as read.
  if (missingNormal && face->size() >= 3) {
    Vector3 normal = Cross((*face)[0].position - (*face)[1].position, (*face)[2].position - (*face)[1].position);
    for (Vertex& v : *face) v.normal = normal;
  }
  return true;
}

std::vector<uint32_t> TriangulateFace(const std::vector<Vertex>& face) {
  std::vector<uint32_t> indices;
  if (face.size() < 3) return indices;
  if (face.size() == 3) return {0, 1, 2};
  std::vector<Vertex> remaining = face;
  ClipEars(face, &remaining, &indices);
  return indices;
}

bool IsInsideTriangle(const Vector3& point, const Vector3& t1, const Vector3& t2, const Vector3& t3) {
  Vector3 u = t2 - t1;
  Vector3 v = t3 - t1;
  Vector3 w = point - t1;
  Vector3 n = Cross(u, v);
  float nn = Dot(n, n);
  float gamma = Dot(Cross(u, w), n) / nn;
  float beta = Dot(Cross(w, v), n) / nn;
  float alpha = 1.0f - gamma - beta;
  auto inUnit = [](float x) { return x >= 0.0f && x <= 1.0f; };
  return inUnit(alpha) && inUnit(beta) && inUnit(gamma);
}

}  // namespace objl
