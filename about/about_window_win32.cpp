// PLACEHOLDER until the Win32 About window lands: the /c start shows nothing
// and returns at once, so the program still ends with status 0.
#include "about/about_window.h"

AboutWindow::AboutWindow() {}
