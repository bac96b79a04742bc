#pragma once

#include <string>

// Where a windowless OpenGL context comes from. Mesa's surfaceless platform
// needs nothing but the driver; other EGL implementations (NVIDIA's) lack it
// and offer their GPUs as EGL devices instead.
enum class OffscreenPlatform { None, Surfaceless, Device };

// The platform to use, given EGL's client extensions: surfaceless where it is
// offered, else the device platform, else none.
OffscreenPlatform ChooseOffscreenPlatform(const std::string& clientExtensions);

const char* OffscreenPlatformName(OffscreenPlatform platform);
