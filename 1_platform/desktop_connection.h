// The back end's connection to the desktop, held in the platform state
// (platform.h) for the run.
//
// On X11 it is the display connection with what must live exactly as long
// as it does: the event handlers, the clipboard's owner, the keycodes the
// automation bound (1_platform/linux/x11_display.h). It is opened on first
// use and closed when the platform state goes. The other hosts keep none.
#pragma once

namespace kal {

class DesktopConnection {
 public:
  virtual ~DesktopConnection() = default;
};

}  // namespace kal
