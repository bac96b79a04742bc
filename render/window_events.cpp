#include "render/window_events.h"

void WindowEvents::InputKey(int key, int scancode, int action, int mods) {
  if (callbacks_.key != nullptr) callbacks_.key(source_, key, scancode, action, mods);
}

void WindowEvents::InputMouseButton(int button, int action, int mods) {
  if (callbacks_.button != nullptr) callbacks_.button(source_, button, action, mods);
}

void WindowEvents::InputCursorPos(double x, double y) {
  if (callbacks_.cursorPos != nullptr) callbacks_.cursorPos(source_, x, y);
}

void WindowEvents::InputScroll(double x, double y) {
  if (callbacks_.scroll != nullptr) callbacks_.scroll(source_, x, y);
}

void WindowEvents::InputWindowSize(int width, int height) {
  width_ = width;
  height_ = height;
  if (callbacks_.size != nullptr) callbacks_.size(source_, width, height);
}

void WindowEvents::InputConcealment(Concealment how, bool concealed) {
  const auto bit = static_cast<unsigned>(how);
  concealment_ = concealed ? concealment_ | bit : concealment_ & ~bit;
}
