#pragma once

#include <memory>

// Whether the display is powered on. A screensaver's frames into a screen
// the system's power management has switched off are seen by nobody, all
// night: X11's DPMS standby, suspend and off, and Windows' console display
// off, all count as off (a dimmed display is still seen). Where the system
// cannot say, the display counts as on.
class DisplayPower {
 public:
  // Made with the windowing library running: on Windows the news arrives as
  // a message to a window of ours, handled whenever the thread's messages are.
  static std::unique_ptr<DisplayPower> Watch();
  virtual ~DisplayPower() = default;

  // Asks the system on X11 (a round trip to the server); on Windows reads
  // the last notification.
  virtual bool IsOn() = 0;
};
