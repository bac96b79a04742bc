#include <string>

#include "launch/entry_point.h"

// The Windows host hands us one command-line string; rebuild it from argv so
// both platforms run the same scan over the same text.
static std::string JoinArguments(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

int main(int argc, char** argv) { return RunScreensaver(JoinArguments(argc, argv).c_str()); }
