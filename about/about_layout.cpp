#include "about/about_layout.h"

AboutPoint AboutWindowOrigin(int screenWidth, int screenHeight) {
  // Double precision, then truncation: 399 spare pixels give 199, -1 gives 0.
  const double x = (screenWidth - kAboutWindowWidth) * 0.5;
  const double y = (screenHeight - kAboutWindowHeight) * 0.5;
  return {static_cast<int>(x), static_cast<int>(y)};
}
