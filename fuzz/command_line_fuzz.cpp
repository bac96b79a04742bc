// The command-line scan on arbitrary text: it must give one of the four modes
// for any text, and its number reading must agree with the C library's. The
// same bytes, cut at every zero, are also an argv for XScreenSaver's
// arguments, the last piece standing for XSCREENSAVER_WINDOW.

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "launch/launch_options.h"
#include "launch/xscreensaver_args.h"

namespace {

int ClampedStrtol(const char* text) {
  long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The scan reads up to the terminating zero, as the host's command line has one.
  std::string text(reinterpret_cast<const char*>(data), size);
  LaunchOptions options(text.c_str());
  auto mode = static_cast<int32_t>(options.mode);
  if (mode < static_cast<int32_t>(LaunchMode::Preview) || mode > static_cast<int32_t>(LaunchMode::Default)) abort();
  if (options.mode == LaunchMode::Default && options.parentWindow != 0) abort();
  if (ParseAtoi(text.c_str()) != ClampedStrtol(text.c_str())) abort();

  std::vector<std::string> pieces(1);
  for (char c : text) {
    if (c == '\0') {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  std::vector<const char*> arguments;
  for (size_t i = 0; i + 1 < pieces.size(); ++i) arguments.push_back(pieces[i].c_str());
  DaemonRun run;
  if (ParseDaemonArguments(static_cast<int>(arguments.size()), arguments.data(), pieces.back().c_str(), &run)) {
    if (run.window > UINT32_MAX) abort();
    if (run.target == DaemonRun::Target::RootWindow) abort();  // the variable is always given here
  }
  return 0;
}
