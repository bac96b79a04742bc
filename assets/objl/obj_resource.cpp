#include <iostream>

#include "assets/objl/obj_loader.h"
#include "assets/resources.h"

namespace objl {

namespace {

// Resource ids are 16-bit; a missing resource reads as an empty text.
std::string_view TextResource(int id) {
  ResourceBytes bytes;
  if (!FindResourceBytes(ResourceType::TextFile, id & 0xFFFF, &bytes)) return std::string_view();
  return std::string_view(reinterpret_cast<const char*>(bytes.data), bytes.size);
}

}  // namespace

bool ModelReader::ReadModel(int modelResourceId, int materialResourceId) {
  return ReadModelText(TextResource(modelResourceId), TextResource(materialResourceId), std::cout);
}

bool ModelReader::ReadMaterials(int materialResourceId) { return ReadMaterialsText(TextResource(materialResourceId)); }

}  // namespace objl
