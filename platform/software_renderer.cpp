#include "platform/software_renderer.h"

#include "platform/gl.h"

bool IsSoftwareRenderer(std::string_view renderer) {
  for (std::string_view name : {"llvmpipe", "softpipe", "swrast"})
    if (renderer.find(name) != std::string_view::npos) return true;
  return false;
}

bool CurrentRendererIsSoftware() {
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  return renderer != nullptr && IsSoftwareRenderer(renderer);
}
