// The executable's own resources, as the resource script put them there.
#include <windows.h>

#include "assets/resources.h"

namespace {

const char* TypeName(ResourceType type) {
  // RT_BITMAP is an integer resource type; its entries hold the bitmap's
  // information header and pixels, without the file header of a .bmp.
  return type == ResourceType::TextFile ? "TEXTFILE" : MAKEINTRESOURCEA(2);
}

}  // namespace

bool FindResourceBytes(ResourceType type, int id, ResourceBytes* out) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), TypeName(type));
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return false;
  // Resource memory stays mapped for the life of the module; nothing to free.
  out->data = static_cast<const unsigned char*>(LockResource(loaded));
  out->size = SizeofResource(module, found);
  return out->data != nullptr;
}
