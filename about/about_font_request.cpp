#include "about/about_font_request.h"

AboutFontRequest AboutFontRequestFor(const AboutFont& font) {
  AboutFontRequest request{};
  request.height = font.height;
  request.width = font.width;
  request.escapement = 0;
  request.orientation = 0;
  request.weight = font.weight;
  request.italic = font.italic ? 1u : 0u;
  request.underline = font.underline ? 1u : 0u;
  request.strikeOut = font.strikeOut ? 1u : 0u;
  request.charSet = kDefaultCharset;
  request.outPrecision = kOutlinePrecision;
  request.clipPrecision = kDefaultClipPrecision;
  request.quality = kClearTypeQuality;
  request.pitchAndFamily = kVariablePitch;
  request.face = font.face;
  return request;
}
