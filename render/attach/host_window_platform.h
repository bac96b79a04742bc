#pragma once

#include <memory>

#include "render/render_window.h"

// What each platform keeps of a host's window: its handles, our child window
// and context in it, and what we changed, to be put back. Defined by each
// platform's file on this base; destroying it leaves the host as it was found.
struct HostWindowState;

// The part of every platform's state that the shared code gives it: where
// the window's events go.
struct HostWindowStateBase {
  explicit HostWindowStateBase(WindowEvents& sink) : events(sink) {}
  HostWindowStateBase(const HostWindowStateBase&) = delete;
  HostWindowStateBase& operator=(const HostWindowStateBase&) = delete;

  WindowEvents& events;
};

// A host's window as the program sees it: one declaration, the platform API
// that the X11 and Win32 files each define, in the way GLFW keeps one
// declaration of its platform calls. The platform reports the window's events
// through events() and never calls the program's callbacks itself.
class HostWindow final : public RenderWindow {
 public:
  // An empty state of the platform's, wired to events().
  HostWindow();
  ~HostWindow() override;

  HostWindowState& state() { return *state_; }

  // The host's window keeps its own icon.
  void SetIcon(const GLFWimage&) override {}
  GlProcLoader ProcAddressLoader() const override;
  void SetSwapInterval(int interval) override;
  void HideCursor() override;
  void SwapBuffers() override;
  void PollEvents() override;
  void WaitEvents(double seconds) override;
  bool ShouldClose() const override;
  bool IsHostEnabled() const override;

 protected:
  void MakeCurrent() override;
  void ListenForInput() override;

 private:
  std::unique_ptr<HostWindowState> state_;
};
