#include "about/about_layout.h"

#include <algorithm>

AboutPoint AboutWindowOrigin(int screenWidth, int screenHeight) {
  // Double precision, then truncation: 399 spare pixels give 199, -1 gives 0.
  const double x = (screenWidth - kAboutWindowWidth) * 0.5;
  const double y = (screenHeight - kAboutWindowHeight) * 0.5;
  return {static_cast<int>(x), static_cast<int>(y)};
}

bool AboutClientSizeFor(int frameWidth, int frameHeight, AboutSize* client) {
  if (frameWidth < 0 || frameHeight < 0 || frameWidth >= kAboutWindowWidth / 2 ||
      frameHeight >= kAboutWindowHeight / 2) {
    return false;
  }
  *client = {kAboutWindowWidth - frameWidth, kAboutWindowHeight - frameHeight};
  return true;
}

int AboutNoticeWidthFor(int clientWidth) {
  return std::max(0, std::min(kNoticeRect.width, clientWidth - kNoticeRect.x));
}
