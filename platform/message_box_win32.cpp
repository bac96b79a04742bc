#include <windows.h>

#include "platform/message_box.h"

namespace {

UINT IconStyle(MessageIcon icon) { return icon == MessageIcon::Warning ? MB_ICONWARNING : MB_ICONINFORMATION; }

}  // namespace

void ShowNativeMessageBox(const char* text, const char* caption, MessageIcon icon) {
  MessageBoxA(nullptr, text, caption, IconStyle(icon) | MB_OK);
}
