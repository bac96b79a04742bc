#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "about/about_fonts_gtk.h"
#include "about/about_layout.h"
#include "about/about_window.h"
#include "about/open_address.h"
#include "assets/resources.h"
#include "platform/display_loss.h"
#include "platform/message_box.h"
#include "resources/resource_ids.h"

namespace {

// Shared by the constructor and the handlers that do the window procedure's work.
GtkWidget* mainWindow = nullptr;
GdkPixbuf* logoBitmap = nullptr;
GtkWidget* noticeLabel = nullptr;
GtkWidget* titleLabel = nullptr;
GtkWidget* websiteButton = nullptr;
cairo_pattern_t* backgroundBrush = nullptr;  // made on first use, kept for the process

cairo_pattern_t* BackgroundBrush() {
  if (backgroundBrush == nullptr) {
    backgroundBrush = cairo_pattern_create_rgb(kBackgroundColour.red / 255.0, kBackgroundColour.green / 255.0,
                                               kBackgroundColour.blue / 255.0);
  }
  return backgroundBrush;
}

// --- What the window procedure does, one handler per message kind ---------

// Painting: the background over the whole client area, then the logo at its
// own size. The labels and the button draw themselves on top.
gboolean PaintAboutWindow(GtkWidget* clientArea, cairo_t* cr, gpointer) {
  cairo_set_source(cr, BackgroundBrush());
  cairo_rectangle(cr, 0, 0, gtk_widget_get_allocated_width(clientArea), gtk_widget_get_allocated_height(clientArea));
  cairo_fill(cr);
  if (logoBitmap != nullptr) {
    gdk_cairo_set_source_pixbuf(cr, logoBitmap, kLogoPosition.x, kLogoPosition.y);
    cairo_rectangle(cr, kLogoPosition.x, kLogoPosition.y, gdk_pixbuf_get_width(logoBitmap),
                    gdk_pixbuf_get_height(logoBitmap));
    cairo_fill(cr);
  }
  return FALSE;
}

// The colour a static text is drawn in: the title black, every other blue.
AboutColour StaticTextColour(GtkWidget* label) { return label == titleLabel ? kTitleColour : kNoticeColour; }

void OnWebsiteButtonClicked(GtkButton*, gpointer) { OpenAddressInBrowser(kWebsiteAddress); }

// The close button or the window menu: destroy, which ends the run below.
gboolean OnAboutWindowDeleteEvent(GtkWidget*, GdkEvent*, gpointer) {
  gtk_widget_destroy(mainWindow);
  return TRUE;
}

void OnAboutWindowDestroy(GtkWidget*, gpointer) {
  g_clear_object(&logoBitmap);
  mainWindow = noticeLabel = titleLabel = websiteButton = nullptr;
  gtk_main_quit();
}

// --- Outer size ------------------------------------------------------------

void SetClientSize(AboutSize client) {
  gtk_widget_set_size_request(gtk_bin_get_child(GTK_BIN(mainWindow)), client.width, client.height);
  gtk_widget_set_size_request(noticeLabel, AboutNoticeWidthFor(client.width), kNoticeRect.height);
}

// A window manager announces its frame only once it manages the window, so
// the client is resized to fit each time the frame becomes known or changes.
gboolean FitOuterSize(GtkWidget* window, GdkEvent*, gpointer) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  if (gdkWindow == nullptr) return FALSE;
  GdkRectangle frame;
  gdk_window_get_frame_extents(gdkWindow, &frame);
  AboutSize client;
  if (!AboutClientSizeFor(frame.width - gdk_window_get_width(gdkWindow),
                          frame.height - gdk_window_get_height(gdkWindow), &client)) {
    return FALSE;
  }
  int width = 0, height = 0;
  gtk_widget_get_size_request(gtk_bin_get_child(GTK_BIN(window)), &width, &height);
  if (width != client.width || height != client.height) SetClientSize(client);
  return FALSE;
}

// A window with only a system menu has a caption and a close box: no
// minimise or maximise box and no sizing border. Window managers read the
// same wish from the Motif hints that GDK writes here.
void OfferOnlyMoveAndClose(GtkWidget* window, gpointer) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  gdk_window_set_decorations(gdkWindow,
                             static_cast<GdkWMDecoration>(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
  gdk_window_set_functions(gdkWindow, static_cast<GdkWMFunction>(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
}

// --- Screen, fonts, logo ---------------------------------------------------

// Lays the window out in device pixels whatever scale the desktop asks for,
// as a DPI-aware program does; positions and sizes are then real pixels.
void UseDevicePixels() {
  GdkDisplay* display = gdk_display_get_default();
  if (GDK_IS_X11_DISPLAY(display)) gdk_x11_display_set_window_scale(display, 1);
}

GdkRectangle PrimaryScreenArea() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area = {0, 0, kAboutWindowWidth, kAboutWindowHeight};
  if (monitor != nullptr) gdk_monitor_get_geometry(monitor, &area);
  return area;
}

void SetLabelFont(GtkWidget* label, const AboutFont& font, const AboutColour* colour) {
  PangoAttrList* attributes = NewAboutFontAttributes(font, gtk_widget_get_pango_context(label));
  if (colour != nullptr) {
    pango_attr_list_insert(attributes,
                           pango_attr_foreground_new(colour->red * 257, colour->green * 257, colour->blue * 257));
  }
  gtk_label_set_attributes(GTK_LABEL(label), attributes);
  pango_attr_list_unref(attributes);
}

// Bitmap 101 as the executable carries it; null when it is missing or does
// not decode, and the window then shows no logo.
GdkPixbuf* LoadLogoBitmap() {
  ResourceBytes bytes;
  if (!FindResourceBytes(ResourceType::Bitmap, resource_id::kAboutLogo, &bytes)) return nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
  if (loader == nullptr) return nullptr;
  const bool written = gdk_pixbuf_loader_write(loader, bytes.data, bytes.size, nullptr);
  const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* pixbuf = written && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pixbuf != nullptr) g_object_ref(pixbuf);
  g_object_unref(loader);
  return pixbuf;
}

// --- Window and controls ---------------------------------------------------

GtkWidget* CreateMainWindow(const char* caption, AboutPoint origin) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), caption);
  gtk_window_set_icon_name(GTK_WINDOW(window), "application-x-executable");
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_gravity(GTK_WINDOW(window), GDK_GRAVITY_NORTH_WEST);
  gtk_window_move(GTK_WINDOW(window), origin.x, origin.y);
  GtkWidget* clientArea = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), clientArea);
  g_signal_connect(clientArea, "draw", G_CALLBACK(PaintAboutWindow), nullptr);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnAboutWindowDeleteEvent), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(OnAboutWindowDestroy), nullptr);
  g_signal_connect(window, "configure-event", G_CALLBACK(FitOuterSize), nullptr);
  g_signal_connect(window, "realize", G_CALLBACK(OfferOnlyMoveAndClose), nullptr);
  return window;
}

void PlaceControl(GtkWidget* control, const AboutRect& rect) {
  gtk_widget_set_size_request(control, rect.width, rect.height);
  gtk_fixed_put(GTK_FIXED(gtk_bin_get_child(GTK_BIN(mainWindow))), control, rect.x, rect.y);
}

// A static text: left-aligned from the top-left corner, wrapped at words,
// on the window's background.
GtkWidget* CreateStaticControl(const AboutRect& rect) {
  GtkWidget* label = gtk_label_new(nullptr);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD);
  PlaceControl(label, rect);
  return label;
}

void SetStaticText(GtkWidget* label, const char* text, const AboutFont& font) {
  gtk_label_set_text(GTK_LABEL(label), text);
  const AboutColour colour = StaticTextColour(label);
  SetLabelFont(label, font, &colour);
}

// The theme's button, held to exactly its box: themes give buttons minimum
// sizes that would otherwise grow it past 32 pixels.
void KeepButtonToItsBox(GtkWidget* button) {
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, "button { min-height: 0; min-width: 0; padding: 0 4px; }", -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(button), GTK_STYLE_PROVIDER(css),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

GtkWidget* CreateWebsiteButton(const char* text, const AboutFont& font) {
  GtkWidget* button = gtk_button_new_with_label(text);
  KeepButtonToItsBox(button);
  SetLabelFont(gtk_bin_get_child(GTK_BIN(button)), font, nullptr);
  PlaceControl(button, kWebsiteButtonRect);
  g_signal_connect(button, "clicked", G_CALLBACK(OnWebsiteButtonClicked), nullptr);
  return button;
}

void ReportCreationFailure() { ShowMessageBox("Window Creation Failed!", "Error!", MessageIcon::Warning); }

}  // namespace

AboutWindow::AboutWindow() {
  if (!gtk_init_check(nullptr, nullptr)) {
    // No window could end a message loop now, so the About run ends here.
    ReportCreationFailure();
    return;
  }
  EndQuietlyWhenTheDisplayIsLost();
  // The X window class names the window to the window manager, as the
  // registered class does on Windows; set after start-up, which sets its own.
  gdk_set_program_class(windowClassName);
  UseDevicePixels();
  const GdkRectangle screen = PrimaryScreenArea();
  const AboutPoint centre = AboutWindowOrigin(screen.width, screen.height);
  mainWindow = CreateMainWindow(title, {screen.x + centre.x, screen.y + centre.y});
  logoBitmap = LoadLogoBitmap();

  noticeLabel = CreateStaticControl(kNoticeRect);
  SetStaticText(noticeLabel, noticeText, kTextFont);
  titleLabel = CreateStaticControl(kTitleRect);
  SetStaticText(titleLabel, productTitle, kTitleFont);
  websiteButton = CreateWebsiteButton(buttonText, kTextFont);
  SetClientSize({kAboutWindowWidth, kAboutWindowHeight});

  gtk_widget_show_all(mainWindow);
  gtk_main();
}
