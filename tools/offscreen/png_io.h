#pragma once

#include <string>

#include "tools/offscreen/rgba_image.h"

// Eight-bit RGBA PNG files, top row first.
bool WritePng(const std::string& path, const RgbaImage& image, std::string* error);
bool ReadPng(const std::string& path, RgbaImage* image, std::string* error);
