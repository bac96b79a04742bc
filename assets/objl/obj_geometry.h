#pragma once

// Turning one "f" line into face vertices and those into triangles.

#include <cstdint>
#include <string_view>
#include <vector>

#include "assets/objl/obj_loader.h"

namespace objl {

// The face's corners as vertices, in line order, looked up in the pools read
// so far. A corner field that splits at "/" into no part or more than three
// is no corner. A face with a corner that gives no normal gets the unscaled
// face normal of its first three corners at every corner. False when a
// reference is no number or lies outside its pool.
bool BuildFaceVertices(const std::vector<Vector3>& positions, const std::vector<Vector2>& texCoords,
                       const std::vector<Vector3>& normals, std::string_view line, std::vector<Vertex>* face);

// Ear clipping: three indices into `face` per triangle. Corners are matched
// by position, so every corner sharing a clipped position is emitted. Stops
// when a pass finds no corner left to clip.
std::vector<uint32_t> TriangulateFace(const std::vector<Vertex>& face);

// Whether the projection of `point` onto the triangle's plane lies inside the
// triangle or on its edges; false for a degenerate triangle.
bool IsInsideTriangle(const Vector3& point, const Vector3& t1, const Vector3& t2, const Vector3& t3);

}  // namespace objl
