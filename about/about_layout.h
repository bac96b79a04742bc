#pragma once

// Geometry, colours and fonts of the About window, in pixels of the screen.
// Every toolkit that draws the window takes its layout from here.

struct AboutColour {
  unsigned char red, green, blue;
};

struct AboutRect {
  int x, y, width, height;
};

struct AboutPoint {
  int x, y;
};

struct AboutSize {
  int width, height;
};

// A font asked for the way the Windows font mapper reads it: `height` is the
// character cell (ascent plus descent), `width` the average character width.
struct AboutFont {
  int height;
  int width;
  int weight;
  bool italic;
  bool underline;
  bool strikeOut;
  const char* face;
};

constexpr AboutColour kBackgroundColour = {177, 232, 179};
constexpr AboutColour kTitleColour = {0, 0, 0};
constexpr AboutColour kNoticeColour = {0, 51, 255};

constexpr AboutFont kTextFont = {16, 6, 400, false, false, false, "Arial"};
constexpr AboutFont kTitleFont = {18, 8, 700, false, true, false, "Arial"};

// The outer size, frame included; the rest are in the client area.
constexpr int kAboutWindowWidth = 400;
constexpr int kAboutWindowHeight = 300;
constexpr AboutRect kNoticeRect = {20, 150, 380, 80};
constexpr AboutRect kTitleRect = {80, 20, 280, 20};
constexpr AboutRect kWebsiteButtonRect = {150, 210, 100, 32};
constexpr AboutPoint kLogoPosition = {142, 55};

constexpr const char* kWebsiteAddress = "https://www.vantaluxe.example/?utm_source=About";

// Top-left corner of the window's frame that centres it on a screen of the
// given size in pixels: half the spare room, truncated toward zero (a screen
// smaller than the window gives a negative corner).
AboutPoint AboutWindowOrigin(int screenWidth, int screenHeight);

// The client area that a frame `frameWidth` wider and `frameHeight` taller
// than it turns into the outer size. False for a frame that no window manager
// draws (negative, or half the window or more): the client then stays as it is.
bool AboutClientSizeFor(int frameWidth, int frameHeight, AboutSize* client);

// The notice's box reaches the outer edge; cut at the client's edge, it never
// widens the window (its text ends well before that).
int AboutNoticeWidthFor(int clientWidth);
