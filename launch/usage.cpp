#include "launch/usage.h"

#include <cstring>

namespace {

bool IsNamed(const char* argument, const char* name) {
  if (argument[0] != '-') return false;
  if (argument[1] == '-') ++argument;
  return std::strcmp(argument + 1, name) == 0;
}

}  // namespace

TextRequest FindTextRequest(int count, const char* const* arguments) {
  for (int i = 0; i < count; ++i) {
    if (IsNamed(arguments[i], "help")) return TextRequest::Usage;
    if (IsNamed(arguments[i], "version")) return TextRequest::Version;
  }
  return TextRequest::None;
}

const char* UsageText() {
  return "Usage: gloamery [START]\n"
         "A carved gourd lantern lit from inside, drawn with OpenGL. A full-screen\n"
         "run ends on any key or mouse button.\n"
         "\n"
         "Starts:\n"
         "  /s                 full screen on the primary monitor, the others black\n"
         "  /p WINDOW          preview inside the host's window (a decimal X window id)\n"
         "  /c                 the About window\n"
         "  (none of these)    full screen, but only one such start or preview at a time\n"
         "  --root             XScreenSaver's start: into the window named by\n"
         "                     XSCREENSAVER_WINDOW, or the root window\n"
         "  --window-id ID     into that window (hex like 0x60000C, or decimal)\n"
         "  --help             print this text and exit\n"
         "  --version          print the version and exit\n"
         "\n"
         "XScreenSaver's starts end on SIGTERM or when their window goes away.\n"
         "Every run exits with status 0; --help and --version exit with 1 only\n"
         "when their text cannot be written.\n"
         "On a software renderer (Mesa llvmpipe) large windows draw slowly.\n"
         "See gloamery(6).\n";
}

const char* VersionText() { return "gloamery " GLOAMERY_VERSION "\n"; }

int WriteText(std::FILE* stream, const char* text) {
  size_t length = std::strlen(text);
  bool written = std::fwrite(text, 1, length, stream) == length;
  // The flush is where a full or closed output shows up.
  bool flushed = std::fflush(stream) == 0;
  return written && flushed ? 0 : 1;
}
