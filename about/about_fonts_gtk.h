#pragma once

#include <pango/pango.h>

#include "about/about_layout.h"

// The About window's fonts as Pango sees them. `context` supplies the font
// map the text will be drawn with, so the size fits the face actually chosen.

// The absolute size in pixels (not Pango units) at which the face's ascent plus
// descent fills `font.height` pixels, which is what a positive height asks of
// the Windows font mapper.
double AboutFontPixelSize(const AboutFont& font, PangoContext* context);

// Face, weight, slant and size of `font`; the caller frees it.
PangoFontDescription* NewAboutFontDescription(const AboutFont& font, PangoContext* context);

// The description plus underline and strike-out, for a label's text; the
// caller unrefs it.
PangoAttrList* NewAboutFontAttributes(const AboutFont& font, PangoContext* context);
