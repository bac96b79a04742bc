#pragma once

#include <cstddef>

// The two kinds of resource the program carries inside itself.
enum class ResourceType { TextFile, Bitmap };

struct ResourceBytes {
  const unsigned char* data = nullptr;
  size_t size = 0;
};

// The raw bytes of an embedded resource, no terminator added, as the
// executable's resource section gives them. False when there is none of that
// type and id.
bool FindResourceBytes(ResourceType type, int id, ResourceBytes* out);

// The generated table behind the lookup, sorted by type, then id.
struct EmbeddedResource {
  ResourceType type;
  int id;
  const unsigned char* data;
  size_t size;
};
extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;
