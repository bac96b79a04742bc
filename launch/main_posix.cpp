#include <cstdio>
#include <cstdlib>
#include <string>

#include "launch/entry_point.h"
#include "launch/usage.h"
#include "launch/xscreensaver_args.h"
#include "platform/display_loss.h"

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

int main(int argc, char** argv) {
  switch (FindTextRequest(argc - 1, argv + 1)) {
    case TextRequest::Usage: return WriteText(stdout, UsageText());
    case TextRequest::Version: return WriteText(stdout, VersionText());
    case TextRequest::None: break;
  }
  EndQuietlyWhenTheDisplayIsLost();
  DaemonRun run;
  if (ParseDaemonArguments(argc - 1, argv + 1, std::getenv("XSCREENSAVER_WINDOW"), &run)) return RunForDaemon(run);
  return RunScreensaver(JoinArguments(argc, argv).c_str());
}
