#include "render/window_icon.h"

#include <cstring>

#include "render/render_window.h"

void ConvertIconColumnsToRows(const unsigned char* columns, unsigned char* rows) {
  constexpr size_t kColumnBytes = kWindowIconSize * 4;
  for (int row = 0; row < kWindowIconSize; ++row) {
    for (int column = 0; column < kWindowIconSize; ++column) {
      std::memcpy(rows, columns + kColumnBytes * column + 4 * row, 4);
      rows += 4;
    }
  }
}

void SetWindowIcon(RenderWindow* window) {
  unsigned char rows[kWindowIconBytes];  // GLFW copies the pixels
  ConvertIconColumnsToRows(kWindowIconColumns, rows);
  GLFWimage image{kWindowIconSize, kWindowIconSize, rows};
  window->SetIcon(image);
}
