// The desktop through X11 (EWMH): the active window, titles, and the state of
// the window that shows the console (named by a front end or by WINDOWID).
#include "1_platform/desktop.h"
#include "1_platform/module_entries.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "1_platform/linux/x11_display.h"

namespace kal {

// The module's entries (1_platform/module_entries.h), for the functions of
// 1_platform/desktop.h.
extern "C" bool kaldorin_query_foreground_window(Platform& platform, ForegroundWindow* w) {
  // Without the console's own window id nothing could ever be "the console
  // in front": answer as if there were no desktop. A window guessed at start
  // is not trusted for this.
  x11::Connection& c = x11::TheConnection(platform);
  Display* d = c.Open();
  Window console = x11::ConsoleWindow(c, false);
  if (!d || !console) return false;
  x11::Property p;
  if (!x11::ReadProperty(c, DefaultRootWindow(d), x11::Intern(c, "_NET_ACTIVE_WINDOW"), XA_WINDOW, 1, &p) ||
      p.format != 32)
    return false;
  Window active = static_cast<Window>(p.Long(0));
  w->is_console = active != 0 && active == console;
  w->title = active ? x11::WindowTitle(c, active) : "";
  return true;
}

extern "C" bool kaldorin_minimize_console_window(Platform& platform) {
  x11::Connection& c = x11::TheConnection(platform);
  Display* d = c.Open();
  Window w = x11::ConsoleWindow(c, false);
  if (!d || !w) return false;
  XIconifyWindow(d, w, DefaultScreen(d));
  XFlush(d);
  return true;
}

extern "C" bool kaldorin_restore_console_window(Platform& platform) {
  x11::Connection& c = x11::TheConnection(platform);
  Display* d = c.Open();
  Window w = x11::ConsoleWindow(c, false);
  if (!d || !w) return false;
  XMapRaised(d, w);
  x11::SendRootMessage(c, w, "_NET_ACTIVE_WINDOW", 1);
  XFlush(d);
  return true;
}

}  // namespace kal
