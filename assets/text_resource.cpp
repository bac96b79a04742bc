#include "assets/text_resource.h"

#include <algorithm>
#include <cstring>

#include "assets/resources.h"

bool CopyTextUpToMarker(const unsigned char* text, size_t size, char* destination, size_t capacity) {
  // A text of exactly the capacity may still have its marker right behind it.
  const size_t searched = std::min(size, capacity + 1);
  const void* marker = searched > 0 ? std::memchr(text, kTextEndMarker, searched) : nullptr;
  const size_t length = marker != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(marker) - text)
                                          : std::min(size, capacity);
  if (length > 0) std::memcpy(destination, text, length);
  std::memset(destination + length, 0, kTextTerminatorBytes);
  return marker != nullptr;
}

bool LoadTextResource(int id, char* destination, size_t capacity) {
  ResourceBytes bytes;
  if (!FindResourceBytes(ResourceType::TextFile, id, &bytes)) {
    std::memset(destination, 0, kTextTerminatorBytes);
    return false;
  }
  return CopyTextUpToMarker(bytes.data, bytes.size, destination, capacity);
}
