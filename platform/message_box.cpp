#include "platform/message_box.h"

#include <cstdio>

namespace {

MessageSink messageSink = nullptr;

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
  ShowNativeMessageBox(text, caption, icon);
}
