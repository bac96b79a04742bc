#pragma once

#include <cstddef>

class RenderWindow;

constexpr int kWindowIconSize = 64;
constexpr size_t kWindowIconBytes = kWindowIconSize * kWindowIconSize * 4;

// RGBA, non-premultiplied, stored column by column from the top-left pixel.
extern const unsigned char kWindowIconColumns[kWindowIconBytes];

// Rewrites a column-major square RGBA image into the row-major, top-row-first
// layout that windowing systems take.
void ConvertIconColumnsToRows(const unsigned char* columns, unsigned char* rows);

void SetWindowIcon(RenderWindow* window);
