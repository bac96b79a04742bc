#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <string>

#include "about/about_fonts_gtk.h"
#include "about/about_layout.h"
#include "about/about_window.h"

namespace {

// Pango through fontconfig, as the window's labels draw; no display needed.
class AboutFonts : public testing::Test {
 protected:
  void SetUp() override { context = pango_font_map_create_context(pango_cairo_font_map_get_default()); }
  void TearDown() override { g_object_unref(context); }

  // Pixel size of `text` laid out in `font`, without wrapping.
  PangoRectangle Measure(const char* text, const AboutFont& font, int* lines = nullptr) {
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_text(layout, text, -1);
    PangoAttrList* attributes = NewAboutFontAttributes(font, context);
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    if (lines != nullptr) *lines = pango_layout_get_line_count(layout);
    g_object_unref(layout);
    return logical;
  }

  PangoContext* context = nullptr;
};

// Arial and its metric-compatible stand-ins put 1854/2048 em above the
// baseline and 434/2048 below it, so a cell of h pixels is an em of
// h * 2048 / 2288. Another face (one that fontconfig picked because no
// Arial-compatible one is installed) or a slip in the units misses this.
TEST_F(AboutFonts, CellHeightBecomesTheArialEmSize) {
  EXPECT_NEAR(AboutFontPixelSize(kTextFont, context), 16.0 * 2048 / 2288, 0.05);
  EXPECT_NEAR(AboutFontPixelSize(kTitleFont, context), 18.0 * 2048 / 2288, 0.05);
}

TEST_F(AboutFonts, DescriptionKeepsFaceWeightAndSlant) {
  PangoFontDescription* text = NewAboutFontDescription(kTextFont, context);
  PangoFontDescription* title = NewAboutFontDescription(kTitleFont, context);
  EXPECT_STREQ(pango_font_description_get_family(text), "Arial");
  EXPECT_EQ(pango_font_description_get_weight(text), PANGO_WEIGHT_NORMAL);
  EXPECT_EQ(pango_font_description_get_weight(title), PANGO_WEIGHT_BOLD);
  EXPECT_EQ(pango_font_description_get_style(title), PANGO_STYLE_NORMAL);
  EXPECT_TRUE(pango_font_description_get_size_is_absolute(title));
  EXPECT_NEAR(pango_font_description_get_size(title) / double(PANGO_SCALE), 18.0 * 2048 / 2288, 0.05);
  pango_font_description_free(text);
  pango_font_description_free(title);
}

// Finds an attribute of `type` in the list; only the title asks for underline.
bool HasAttribute(const AboutFont& font, PangoContext* context, PangoAttrType type) {
  PangoAttrList* attributes = NewAboutFontAttributes(font, context);
  PangoAttrIterator* it = pango_attr_list_get_iterator(attributes);
  PangoAttribute* found = pango_attr_iterator_get(it, type);
  const bool singleUnderline =
      found != nullptr &&
      (type != PANGO_ATTR_UNDERLINE || reinterpret_cast<PangoAttrInt*>(found)->value == PANGO_UNDERLINE_SINGLE);
  pango_attr_iterator_destroy(it);
  pango_attr_list_unref(attributes);
  return singleUnderline;
}

TEST_F(AboutFonts, OnlyTheTitleIsUnderlinedAndNothingIsStruckOut) {
  EXPECT_TRUE(HasAttribute(kTitleFont, context, PANGO_ATTR_UNDERLINE));
  EXPECT_FALSE(HasAttribute(kTextFont, context, PANGO_ATTR_UNDERLINE));
  EXPECT_FALSE(HasAttribute(kTitleFont, context, PANGO_ATTR_STRIKETHROUGH));
  EXPECT_FALSE(HasAttribute(kTextFont, context, PANGO_ATTR_STRIKETHROUGH));
}

// The texts at their fonts must fit their boxes, or the labels clip or wrap
// differently from the window as designed.
TEST_F(AboutFonts, TextsFitTheirBoxes) {
  const PangoRectangle title = Measure(AboutWindow::productTitle, kTitleFont);
  EXPECT_LE(title.width, kTitleRect.width);
  EXPECT_LE(title.height, kTitleRect.height);
  EXPECT_GT(title.width, kTitleRect.width / 2) << "a font that small is not the title font";

  int lines = 0;
  const PangoRectangle notice = Measure(AboutWindow::noticeText, kTextFont, &lines);
  EXPECT_EQ(lines, 3) << "each CR LF pair is one line break";
  EXPECT_LE(notice.width, AboutNoticeWidthFor(kAboutWindowWidth - 2)) << "no line wraps inside a thin frame";
  EXPECT_LE(notice.height, kNoticeRect.height);

  const PangoRectangle button = Measure(AboutWindow::buttonText, kTextFont);
  EXPECT_LE(button.width, kWebsiteButtonRect.width - 8) << "room for the button's own padding";
  EXPECT_LE(button.height, kWebsiteButtonRect.height);
}

TEST(AboutTexts, NameOnlyTheMakerAndNoRealSite) {
  const std::string notice = AboutWindow::noticeText;
  EXPECT_NE(notice.find("Vantaluxe"), std::string::npos);
  EXPECT_NE(notice.find("@vantaluxe.example"), std::string::npos) << "support address";
  EXPECT_EQ(std::string(kWebsiteAddress), "https://www.vantaluxe.example/?utm_source=About");
  EXPECT_STREQ(AboutWindow::title, "About");
}

}  // namespace
