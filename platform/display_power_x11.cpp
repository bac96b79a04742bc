#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include "platform/display_power.h"

namespace {

// A connection of our own, so that the question never waits behind, or
// mixes with, the windowing library's requests.
class DpmsPower final : public DisplayPower {
 public:
  explicit DpmsPower(Display* display) : display_(display) {}
  ~DpmsPower() override { XCloseDisplay(display_); }

  bool IsOn() override {
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display_, &level, &enabled)) return true;
    return !enabled || level == DPMSModeOn;
  }

 private:
  Display* display_;
};

// Xvfb and most virtual servers have no DPMS: their display is always on.
class AlwaysOn final : public DisplayPower {
 public:
  bool IsOn() override { return true; }
};

}  // namespace

std::unique_ptr<DisplayPower> DisplayPower::Watch() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return std::make_unique<AlwaysOn>();
  int eventBase = 0, errorBase = 0;
  if (!DPMSQueryExtension(display, &eventBase, &errorBase) || !DPMSCapable(display)) {
    XCloseDisplay(display);
    return std::make_unique<AlwaysOn>();
  }
  return std::make_unique<DpmsPower>(display);
}
