// The model reader on arbitrary text. The input is the model text, a NUL byte
// and the material text that its "mtllib" lines read; without a NUL there is
// no material text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "assets/objl/obj_loader.h"

namespace {

// Whatever the text, every index the reader hands out names a vertex that
// exists, so the mesh arrays built from it never read past their ends.
void CheckIndices(const objl::ModelReader& reader) {
  for (uint32_t index : reader.allIndices) {
    if (index >= reader.allVertices.size()) abort();
  }
  size_t meshVertices = 0;
  for (const objl::Mesh& mesh : reader.meshes) {
    for (uint32_t index : mesh.indices) {
      if (index >= mesh.vertices.size()) abort();
    }
    meshVertices += mesh.vertices.size();
  }
  if (meshVertices > reader.allVertices.size()) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t separator = input.find('\0');
  std::string_view model = input.substr(0, separator);
  std::string_view material = separator == std::string_view::npos ? std::string_view() : input.substr(separator + 1);

  objl::ModelReader reader;
  std::ostringstream progress;
  bool ok = reader.ReadModelText(model, material, progress);
  CheckIndices(reader);
  if (ok && reader.meshes.empty() && reader.allVertices.empty() && reader.allIndices.empty()) abort();
  return 0;
}
