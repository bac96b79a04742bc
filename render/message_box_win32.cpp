#include <windows.h>

#include <cstdio>

#include "render/message_box.h"

namespace {

MessageSink messageSink = nullptr;

UINT IconStyle(MessageIcon icon) { return icon == MessageIcon::Warning ? MB_ICONWARNING : MB_ICONINFORMATION; }

}  // namespace

void WriteMessageToStandardError(const char* text, const char* caption, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
}

MessageSink SetMessageSink(MessageSink sink) {
  MessageSink previous = messageSink;
  messageSink = sink;
  return previous;
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon) {
  if (messageSink != nullptr) {
    messageSink(text, caption, icon);
    return;
  }
  MessageBoxA(nullptr, text, caption, IconStyle(icon) | MB_OK);
}
