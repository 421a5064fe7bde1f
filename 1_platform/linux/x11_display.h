// The connection of the program to the X display, shared by the desktop
// queries, the automation back end and the clipboard.
//
// The display is opened on first use and kept in the platform state
// (platform.h) as its desktop connection, which closes it when the state
// goes. Its descriptor is watched by the event loop, so that events
// addressed to us (selection requests from other programs, property
// changes) are handled on the loop's thread while the program waits;
// handlers register for them here. X errors (a window that vanished between
// two calls) are ignored instead of ending the program.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "1_platform/automation.h"
#include "1_platform/desktop_clipboard.h"
#include "1_platform/desktop_connection.h"

namespace kal {
class EventLoop;
struct Platform;
}

namespace kal::x11 {

// Called for every event read from the connection; returns true when it
// took the event.
using EventHandler = std::function<bool(XEvent&)>;

// The display connection of one platform state and what lives as long as
// it does.
class Connection : public DesktopConnection {
 public:
  // The connection of that platform state, whose loop watches the
  // display's descriptor and which names the console's window when a front
  // end did.
  explicit Connection(Platform& platform);
  // Gives back the spare keycodes, then closes the display.
  ~Connection() override;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens the display on the first call; nullptr when there is none.
  Display* Open();
  // Handles every event already read or waiting, without blocking.
  void Drain();
  // The loop's task that looks at Xlib's queue once more has run.
  void PostedDrainRan() { drain_posted_ = false; }
  EventLoop& loop() { return loop_; }
  Platform& platform() { return platform_; }

  std::vector<EventHandler> handlers;
  Window at_start = 0;  // the active window when the program started
  // Counts the changes of the keyboard mapping seen on the connection.
  unsigned keyboard_generation = 0;
  // Spare keycodes the automation bound to a keysym during the run.
  std::vector<int> bound_spares;
  // The CLIPBOARD selection's owner: it answers other programs for as
  // long as the connection is open (x11_clipboard.cpp).
  std::unique_ptr<DesktopClipboard> clipboard;

 private:
  Platform& platform_;
  EventLoop& loop_;
  // Points at this connection while it lives: a task posted to the loop,
  // which may run after the connection has gone, looks here first.
  std::shared_ptr<Connection*> self_;
  bool tried_ = false;
  bool drain_posted_ = false;
  Display* display_ = nullptr;
};

// The platform state's connection, made when there is none yet (the
// display is opened by its first use, Open).
Connection& TheConnection(Platform& platform);

// The calls below work on the connection they are given, opening its
// display on first use; a display that cannot be opened makes them answer
// "none".
DesktopAvailability Availability(Connection& c);

Atom Intern(Connection& c, const char* name);

// A property as raw items (8, 16 or 32-bit; 32-bit items are longs as Xlib
// gives them); empty when absent. At most max_items are read.
struct Property {
  Atom type = None;
  int format = 0;
  std::string bytes;  // the items as Xlib returns them
  unsigned long count = 0;
  long Long(unsigned long i) const { return reinterpret_cast<const long*>(bytes.data())[i]; }
};
bool ReadProperty(Connection& c, Window w, Atom property, Atom type, long max_items, Property* out);

// _NET_WM_NAME (UTF-8), else WM_NAME; as Latin-1.
std::string WindowTitle(Connection& c, Window w);
// _NET_ACTIVE_WINDOW, or the window holding the input focus when the window
// manager does not tell; 0 when neither is known.
Window ActiveWindow(Connection& c);
// The console's window: the one a front end named, WINDOWID, or (when
// allow_guess) the window that was active at start; 0 when unknown.
Window ConsoleWindow(Connection& c, bool allow_guess);
// Sends a client message to the root window, as EWMH asks of requests to
// the window manager.
void SendRootMessage(Connection& c, Window w, const char* type, long l0, long l1 = 0, long l2 = 0, long l3 = 0);

}  // namespace kal::x11
