#include "tools/offscreen/offscreen_platform.h"

#include "platform/extension_list.h"

OffscreenPlatform ChooseOffscreenPlatform(const std::string& clientExtensions) {
  // Both platforms are reached through eglGetPlatformDisplayEXT.
  if (!ListsExtension(clientExtensions, "EGL_EXT_platform_base")) return OffscreenPlatform::None;
  if (ListsExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) return OffscreenPlatform::Surfaceless;
  // EGL_EXT_device_base is the older name for enumeration and query together.
  const bool canEnumerate = ListsExtension(clientExtensions, "EGL_EXT_device_enumeration") ||
                            ListsExtension(clientExtensions, "EGL_EXT_device_base");
  if (canEnumerate && ListsExtension(clientExtensions, "EGL_EXT_platform_device")) return OffscreenPlatform::Device;
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
