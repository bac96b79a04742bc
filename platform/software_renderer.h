#pragma once

#include <string_view>

// Whether GL_RENDERER names a renderer that rasterises on the CPU (Mesa's
// llvmpipe, softpipe and swrast, which Wine's OpenGL runs on too). Such a
// renderer pays for every pixel and every texture tap in CPU time, which
// decides the texture filtering and the size of the picture shaded.
bool IsSoftwareRenderer(std::string_view renderer);

// The same for the context current now; false where it names no renderer.
bool CurrentRendererIsSoftware();
