// gloamery-snapshot: one frame of the screensaver's scene at a given time,
// rendered without a display, written as a PNG.
//   gloamery-snapshot --time SECONDS --size WIDTHxHEIGHT --out FILE.png

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/message_box.h"
#include "tools/offscreen/frame_options.h"
#include "tools/offscreen/png_io.h"
#include "tools/snapshot/scene_snapshot.h"

namespace {

bool pictureWritten = false;

// The scene's own failures (a shader that does not compile, say) end the
// process with status 0, which is right for a screensaver and wrong for a
// tool whose caller waits for a file: turn any exit before the picture was
// written into a failure.
void FailUnlessPictureWritten() {
  if (!pictureWritten) _exit(1);
}

void PrintMessage(const char* text, const char* caption, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

int Fail(const std::string& error) {
  std::fprintf(stderr, "gloamery-snapshot: %s\n", error.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  FrameOptions options;
  std::string error;
  switch (ParseFrameOptions(argc, argv, &options, &error)) {
    case ParseResult::Help: std::fputs(FrameUsage("gloamery-snapshot").c_str(), stdout); return 0;
    case ParseResult::Error:
      std::fprintf(stderr, "gloamery-snapshot: %s\n%s", error.c_str(), FrameUsage("gloamery-snapshot").c_str());
      return 2;
    case ParseResult::Ok: break;
  }

  SetMessageSink(PrintMessage);
  std::atexit(FailUnlessPictureWritten);

  RgbaImage image;
  {
    SceneSnapshot snapshot;
    if (!snapshot.Open(&error)) return Fail(error);
    if (!snapshot.Render(options.time, options.width, options.height, &image, &error)) return Fail(error);
  }
  if (!WritePng(options.outPath, image, &error)) return Fail(error);
  pictureWritten = true;
  return 0;
}
