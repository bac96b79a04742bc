#include "tools/offscreen/frame_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool ParseSide(const std::string& text, int* side) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  long value = std::strtol(text.c_str(), nullptr, 10);
  if (value < 1 || value > kMaxFrameSide) return false;
  *side = static_cast<int>(value);
  return true;
}

}  // namespace

bool ParseFrameSize(const std::string& text, int* width, int* height) {
  size_t x = text.find('x');
  if (x == std::string::npos) return false;
  return ParseSide(text.substr(0, x), width) && ParseSide(text.substr(x + 1), height);
}

bool ParseFrameTime(const std::string& text, double* time) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(begin, &end);
  if (end != begin + text.size() || errno == ERANGE || !std::isfinite(value) || value < 0) return false;
  if (value > kMaxFrameSeconds) return false;
  *time = value;
  return true;
}

ParseResult ParseFrameOptions(int argc, const char* const* argv, FrameOptions* options, std::string* error) {
  bool haveTime = false, haveSize = false, haveOut = false;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") return ParseResult::Help;
    if (name != "--time" && name != "--size" && name != "--out") {
      *error = "unknown argument '" + name + "'";
      return ParseResult::Error;
    }
    if (i + 1 >= argc) {
      *error = name + " needs a value";
      return ParseResult::Error;
    }
    const std::string value = argv[++i];
    if (name == "--time") {
      if (!ParseFrameTime(value, &options->time)) {
        *error = "--time needs a number of seconds, 0 or more, not '" + value + "'";
        return ParseResult::Error;
      }
      haveTime = true;
    } else if (name == "--size") {
      if (!ParseFrameSize(value, &options->width, &options->height)) {
        *error = "--size needs WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxFrameSide) + ", not '" + value + "'";
        return ParseResult::Error;
      }
      haveSize = true;
    } else {
      if (value.empty()) {
        *error = "--out needs a file name";
        return ParseResult::Error;
      }
      options->outPath = value;
      haveOut = true;
    }
  }
  if (!haveTime || !haveSize || !haveOut) {
    *error = "--time, --size and --out are all needed";
    return ParseResult::Error;
  }
  return ParseResult::Ok;
}

std::string FrameUsage(const char* program) {
  return std::string("usage: ") + program +
         " --time SECONDS --size WIDTHxHEIGHT --out FILE.png\n"
         "Renders one frame of the scene at the given time without a display and writes it as a PNG.\n";
}
