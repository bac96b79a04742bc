#include "render/render_window.h"

RenderWindow* RenderWindow::current_ = nullptr;

RenderWindow::~RenderWindow() {
  if (current_ == this) current_ = nullptr;
}

void RenderWindow::SetCallbacks(const WindowCallbacks& callbacks) {
  events_.SetCallbacks(callbacks);
  if (events_.WantsInput()) ListenForInput();
}

void RenderWindow::MakeContextCurrent() {
  current_ = this;
  MakeCurrent();
}
