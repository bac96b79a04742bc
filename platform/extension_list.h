#pragma once

#include <string_view>

// Whether a space-separated extension string (GL, GLX, WGL and EGL all give
// them so) names the extension exactly: "X_a" is not in "X_ab".
bool ListsExtension(std::string_view list, std::string_view name);
