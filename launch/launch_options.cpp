#include "launch/launch_options.h"

#include <climits>

LaunchOptions* launchOptions = nullptr;

namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool SwitchModeFor(char letter, LaunchMode* mode) {
  switch (letter) {
    case 'p': *mode = LaunchMode::Preview; return true;
    case 's': *mode = LaunchMode::Fullscreen; return true;
    case 'c': *mode = LaunchMode::Config; return true;
    default: return false;
  }
}

// The handle follows a switch after exactly one separator ("/p 1234",
// "/c:1234"), so it starts at the third character after the slash. Running
// off the end of the text before that reads as no number.
int HandleNumberAfterSlash(const char* slash) {
  if (slash[1] == '\0' || slash[2] == '\0') return 0;
  return ParseAtoi(slash + 3);
}

// Windows converts the int to a handle by sign extension; do the same so both
// builds name the same window for the same text.
NativeWindowHandle HandleFromNumber(int number) {
  return static_cast<NativeWindowHandle>(static_cast<intptr_t>(number));
}

}  // namespace

int ParseAtoi(const char* text) {
  while (IsCSpace(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = (*text++ == '-');
  // Accumulate toward the sign so INT_MIN is reachable without overflow.
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    int digit = *text - '0';
    value = value * 10 + (negative ? -digit : digit);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
  }
  return static_cast<int>(value);
}

LaunchOptions::LaunchOptions(const char* commandLine) {
  for (const char* at = commandLine; *at != '\0'; ++at) {
    if (*at != '/') continue;
    SwitchModeFor(at[1], &mode);
    if (mode != LaunchMode::Default) parentWindow = HandleFromNumber(HandleNumberAfterSlash(at));
  }
}
