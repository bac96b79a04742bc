#include <X11/Xlib.h>
#include <unistd.h>

#include "platform/display_loss.h"

namespace {

// Xlib requires that this never returns. Nothing else may run either: every
// further X call would come back here.
int OnConnectionLost(Display*) {
  static const char kMessage[] = "gloamery: the X server went away\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  _exit(0);
}

}  // namespace

void EndQuietlyWhenTheDisplayIsLost() { XSetIOErrorHandler(OnConnectionLost); }
