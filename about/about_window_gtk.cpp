#include "about/about_window.h"

// Nothing is shown yet; a configuration start ends at once.
AboutWindow::AboutWindow() = default;
