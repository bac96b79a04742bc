#include "about/about_fonts_gtk.h"

#include <algorithm>

namespace {

PangoWeight PangoWeightFor(int weight) { return static_cast<PangoWeight>(std::clamp(weight, 100, 1000)); }

PangoFontDescription* NewDescriptionAt(const AboutFont& font, double pixelSize) {
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, font.face);
  pango_font_description_set_weight(description, PangoWeightFor(font.weight));
  pango_font_description_set_style(description, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(description, pixelSize * PANGO_SCALE);
  return description;
}

}  // namespace

double AboutFontPixelSize(const AboutFont& font, PangoContext* context) {
  // Measured at a large size so that hinting and rounding of the metrics do
  // not show in the ratio.
  constexpr int kProbeSize = 1000;
  PangoFontDescription* probe = NewDescriptionAt(font, kProbeSize);
  PangoFontMetrics* metrics = pango_context_get_metrics(context, probe, nullptr);
  const int cell = pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics);
  pango_font_metrics_unref(metrics);
  pango_font_description_free(probe);
  if (cell <= 0) return font.height;
  return static_cast<double>(font.height) * kProbeSize * PANGO_SCALE / cell;
}

PangoFontDescription* NewAboutFontDescription(const AboutFont& font, PangoContext* context) {
  return NewDescriptionAt(font, AboutFontPixelSize(font, context));
}

// Pango has no free horizontal scale, so the requested average width is left
// to the face itself; its cell height, weight and decorations are kept.
PangoAttrList* NewAboutFontAttributes(const AboutFont& font, PangoContext* context) {
  PangoAttrList* attributes = pango_attr_list_new();
  PangoFontDescription* description = NewAboutFontDescription(font, context);
  pango_attr_list_insert(attributes, pango_attr_font_desc_new(description));
  pango_font_description_free(description);
  if (font.underline) pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.strikeOut) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
  return attributes;
}
