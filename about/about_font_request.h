#pragma once

#include "about/about_layout.h"

// Every argument CreateFontA takes, in its order, for one of the About
// window's fonts. Kept free of <windows.h> so the values can be checked on
// any platform; the numbers are the published values of the Windows
// constants named beside them.
struct AboutFontRequest {
  int height;
  int width;
  int escapement;
  int orientation;
  int weight;
  unsigned italic;
  unsigned underline;
  unsigned strikeOut;
  unsigned charSet;
  unsigned outPrecision;
  unsigned clipPrecision;
  unsigned quality;
  unsigned pitchAndFamily;
  const char* face;
};

constexpr unsigned kDefaultCharset = 1;        // DEFAULT_CHARSET
constexpr unsigned kOutlinePrecision = 8;      // OUT_OUTLINE_PRECIS
constexpr unsigned kDefaultClipPrecision = 0;  // CLIP_DEFAULT_PRECIS
constexpr unsigned kClearTypeQuality = 5;      // CLEARTYPE_QUALITY
constexpr unsigned kVariablePitch = 2;         // VARIABLE_PITCH

// Upright (no escapement or orientation), any character set, outline faces
// preferred, ClearType-smoothed, proportional; the rest from `font`.
AboutFontRequest AboutFontRequestFor(const AboutFont& font);
