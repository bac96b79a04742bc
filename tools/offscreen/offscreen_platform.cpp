#include "tools/offscreen/offscreen_platform.h"

#include <sstream>

bool HasEglExtension(const std::string& extensions, const std::string& name) {
  std::istringstream words(extensions);
  std::string word;
  while (words >> word)
    if (word == name) return true;
  return false;
}

OffscreenPlatform ChooseOffscreenPlatform(const std::string& clientExtensions) {
  // Both platforms are reached through eglGetPlatformDisplayEXT.
  if (!HasEglExtension(clientExtensions, "EGL_EXT_platform_base")) return OffscreenPlatform::None;
  if (HasEglExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) return OffscreenPlatform::Surfaceless;
  // EGL_EXT_device_base is the older name for enumeration and query together.
  const bool canEnumerate = HasEglExtension(clientExtensions, "EGL_EXT_device_enumeration") ||
                            HasEglExtension(clientExtensions, "EGL_EXT_device_base");
  if (canEnumerate && HasEglExtension(clientExtensions, "EGL_EXT_platform_device")) return OffscreenPlatform::Device;
  return OffscreenPlatform::None;
}

const char* OffscreenPlatformName(OffscreenPlatform platform) {
  switch (platform) {
    case OffscreenPlatform::Surfaceless: return "surfaceless";
    case OffscreenPlatform::Device: return "device";
    case OffscreenPlatform::None: break;
  }
  return "none";
}
