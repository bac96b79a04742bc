// The Linux build has no resource section: the resources are the generated
// table of embedded bytes, searched by type and id.
#include "assets/resources.h"

#include <algorithm>
#include <tuple>

bool FindResourceBytes(ResourceType type, int id, ResourceBytes* out) {
  const EmbeddedResource* end = kEmbeddedResources + kEmbeddedResourceCount;
  const EmbeddedResource* found =
      std::lower_bound(kEmbeddedResources, end, std::make_tuple(type, id),
                       [](const EmbeddedResource& r, const auto& key) { return std::make_tuple(r.type, r.id) < key; });
  if (found == end || found->type != type || found->id != id) return false;
  out->data = found->data;
  out->size = found->size;
  return true;
}
