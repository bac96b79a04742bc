#pragma once

#include <string>

// What one offscreen frame is: the scene time, the frame size and the file it
// goes to, as given on a command line
//   --time T --size WxH --out FILE.png
struct FrameOptions {
  double time = 0;
  int width = 0;
  int height = 0;
  std::string outPath;
};

// The largest frame side accepted; the GL may allow less.
constexpr int kMaxFrameSide = 16384;

enum class ParseResult { Ok, Help, Error };

// Reads argv[1..argc-1]. Every option takes one value and all three are
// needed; --help asks for the usage text. On Error, *error says what was wrong.
ParseResult ParseFrameOptions(int argc, const char* const* argv, FrameOptions* options, std::string* error);

// "WxH" with both sides 1 to kMaxFrameSide.
bool ParseFrameSize(const std::string& text, int* width, int* height);

// The longest run a frame time may name: three centuries, where a double
// still holds microseconds.
constexpr double kMaxFrameSeconds = 1e10;

// A finite number of seconds from 0 to kMaxFrameSeconds, kept in double
// precision: a float would hold only quarter seconds after a month.
bool ParseFrameTime(const std::string& text, double* time);

std::string FrameUsage(const char* program);
