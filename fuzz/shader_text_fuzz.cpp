// The shader-text loader on arbitrary resource bytes and capacities. The first
// two input bytes choose the capacity, the rest is the resource. The copy must
// stop at the first `~` or at the capacity, never write past capacity plus the
// terminator, and report the marker exactly when it lay within reach.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "assets/resources.h"
#include "assets/text_resource.h"

namespace {

constexpr int kFuzzedTextId = 105;
ResourceBytes currentText;

}  // namespace

// Stands in for the embedded table so the loader reads the fuzzer's bytes as
// its resource; every other id is missing.
bool FindResourceBytes(ResourceType type, int id, ResourceBytes* out) {
  if (type != ResourceType::TextFile || id != kFuzzedTextId) return false;
  *out = currentText;
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t capacity = static_cast<size_t>(data[0] | data[1] << 8);
  currentText = ResourceBytes{data + 2, size - 2};

  // Exactly the promised size, so any overrun lands outside the allocation.
  const size_t bufferBytes = capacity + kTextTerminatorBytes;
  std::unique_ptr<char[]> destination(new char[bufferBytes]);
  const bool found = LoadTextResource(kFuzzedTextId, destination.get(), capacity);

  const size_t reach = currentText.size < capacity + 1 ? currentText.size : capacity + 1;
  const void* marker = reach > 0 ? std::memchr(currentText.data, kTextEndMarker, reach) : nullptr;
  if (found != (marker != nullptr)) abort();

  size_t expectedLength = currentText.size < capacity ? currentText.size : capacity;
  if (marker != nullptr) expectedLength = static_cast<size_t>(static_cast<const uint8_t*>(marker) - currentText.data);
  if (expectedLength > 0 && std::memcmp(destination.get(), currentText.data, expectedLength) != 0) abort();
  for (size_t i = 0; i < kTextTerminatorBytes; ++i) {
    if (destination[expectedLength + i] != 0) abort();
  }

  if (LoadTextResource(kFuzzedTextId + 1, destination.get(), capacity)) abort();
  if (destination[0] != 0) abort();
  return 0;
}
