// The one connection of the program to the X display, shared by the desktop
// queries, the automation back end and the clipboard.
//
// The display is opened on first use and kept. Its descriptor is watched by
// the event loop, so that events addressed to us (selection requests from
// other programs, property changes) are handled on the loop's thread while
// the program waits; handlers register for them here. X errors (a window
// that vanished between two calls) are ignored instead of ending the
// program.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>

#include "1_platform/automation.h"

namespace kal::x11 {

// nullptr when there is no display.
Display* TheDisplay();
DesktopAvailability Availability();

// Called for every event read from the connection; returns true when it
// took the event.
using EventHandler = std::function<bool(XEvent&)>;
void AddEventHandler(EventHandler handler);
// Handles every event already read or waiting on the connection, without
// blocking.
void DrainEvents();

Atom Intern(const char* name);

// A property as raw items (8, 16 or 32-bit; 32-bit items are longs as Xlib
// gives them); empty when absent. At most max_items are read.
struct Property {
  Atom type = None;
  int format = 0;
  std::string bytes;  // the items as Xlib returns them
  unsigned long count = 0;
  long Long(unsigned long i) const { return reinterpret_cast<const long*>(bytes.data())[i]; }
};
bool ReadProperty(Window w, Atom property, Atom type, long max_items, Property* out);

// _NET_WM_NAME (UTF-8), else WM_NAME; as Latin-1.
std::string WindowTitle(Window w);
// _NET_ACTIVE_WINDOW, or the window holding the input focus when the window
// manager does not tell; 0 when neither is known.
Window ActiveWindow();
// The console's window: the one a front end named, WINDOWID, or (when
// allow_guess) the window that was active at start; 0 when unknown.
Window ConsoleWindow(bool allow_guess);
// Sends a client message to the root window, as EWMH asks of requests to
// the window manager.
void SendRootMessage(Window w, const char* type, long l0, long l1 = 0, long l2 = 0, long l3 = 0);

}  // namespace kal::x11
