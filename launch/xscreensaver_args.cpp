#include "launch/xscreensaver_args.h"

#include <cstdint>
#include <cstring>

namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Both spellings: XScreenSaver's own hacks take one dash, its docs show two.
bool IsOption(const char* argument, const char* name) {
  if (argument[0] != '-') return false;
  if (argument[1] == '-') ++argument;
  return std::strcmp(argument + 1, name) == 0;
}

// "--window-id=ID" or "-window-id=ID": the text after '=', else null.
const char* AttachedValue(const char* argument, const char* name) {
  if (argument[0] != '-') return nullptr;
  if (argument[1] == '-') ++argument;
  size_t length = std::strlen(name);
  if (std::strncmp(argument + 1, name, length) != 0 || argument[1 + length] != '=') return nullptr;
  return argument + 2 + length;
}

NativeWindowHandle WindowOrNone(const char* text) {
  NativeWindowHandle window = 0;
  return text != nullptr && ParseWindowId(text, &window) ? window : 0;
}

}  // namespace

bool ParseWindowId(const char* text, NativeWindowHandle* window) {
  int base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  }
  if (*text == '\0') return false;
  uint64_t value = 0;
  for (; *text != '\0'; ++text) {
    int digit = DigitValue(*text, base);
    if (digit < 0) return false;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > UINT32_MAX) return false;
  }
  *window = static_cast<NativeWindowHandle>(value);
  return true;
}

bool ParseDaemonArguments(int count, const char* const* arguments, const char* windowVariable, DaemonRun* run) {
  bool root = false;
  bool named = false;
  NativeWindowHandle window = 0;
  for (int i = 0; i < count; ++i) {
    const char* argument = arguments[i];
    if (IsOption(argument, "root")) {
      root = true;
    } else if (IsOption(argument, "window-id")) {
      named = true;
      // A missing value names no window; the attach then fails cleanly.
      window = WindowOrNone(i + 1 < count ? arguments[++i] : nullptr);
    } else if (const char* value = AttachedValue(argument, "window-id")) {
      named = true;
      window = WindowOrNone(value);
    }
  }
  if (!root && !named) return false;

  *run = DaemonRun{};
  if (named) {
    run->window = window;
  } else if (windowVariable != nullptr) {
    run->window = WindowOrNone(windowVariable);
  } else {
    run->target = DaemonRun::Target::RootWindow;
  }
  return true;
}
