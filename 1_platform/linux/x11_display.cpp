#include "1_platform/linux/x11_display.h"

#include <X11/Xatom.h>

#include <cstdlib>
#include <vector>

#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/module_entries.h"
#include "1_platform/platform.h"

namespace kal::x11 {
namespace {

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

Connection::Connection(Platform& platform)
    : platform_(platform), loop_(platform.loop), self_(std::make_shared<Connection*>(this)) {}

Connection::~Connection() {
  *self_ = nullptr;
  if (!display_) return;
  for (int code : bound_spares) {
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display_, code, 2, none, 1);
  }
  // The handlers may reach the clipboard: both go before the display.
  handlers.clear();
  clipboard.reset();
  loop_.Unwatch(ConnectionNumber(display_));
  // Sends what is still queued (the keycodes given back) and waits for it.
  XCloseDisplay(display_);
}

Display* Connection::Open() {
  if (!tried_) {
    tried_ = true;
    if (!Env("DISPLAY").empty()) display_ = XOpenDisplay(nullptr);
    if (display_) {
      XSetErrorHandler(IgnoreXError);
      loop_.Watch(ConnectionNumber(display_), [this] { Drain(); });
    }
  }
  // A round trip made by the caller may leave events in Xlib's queue, where
  // the watched descriptor no longer shows them: look at the queue once the
  // loop runs again. The task does nothing when this connection has gone by
  // then.
  if (display_ && !drain_posted_) {
    drain_posted_ = true;
    loop_.Post([self = self_] {
      if (Connection* c = *self) {
        c->PostedDrainRan();
        c->Drain();
      }
    });
  }
  return display_;
}

void Connection::Drain() {
  if (!display_) return;
  // XPending reads what waits on the socket; events Xlib queued during
  // earlier round trips are in its queue already.
  while (XPending(display_) > 0) {
    XEvent e;
    XNextEvent(display_, &e);
    if (e.type == MappingNotify) {
      XRefreshKeyboardMapping(&e.xmapping);
      if (e.xmapping.request == MappingKeyboard) ++keyboard_generation;
    }
    for (auto& h : handlers)
      if (h(e)) break;
  }
}

Connection& TheConnection(Platform& p) {
  if (!p.desktop_connection) p.desktop_connection = std::make_unique<Connection>(p);
  return static_cast<Connection&>(*p.desktop_connection);
}

DesktopAvailability Availability(Connection& c) {
  if (c.Open()) return DesktopAvailability::kReady;
  if (Env("DISPLAY").empty() && !Env("WAYLAND_DISPLAY").empty()) return DesktopAvailability::kWaylandOnly;
  return DesktopAvailability::kNoDisplay;
}

Atom Intern(Connection& c, const char* name) { return XInternAtom(c.Open(), name, False); }

bool ReadProperty(Connection& c, Window w, Atom property, Atom type, long max_items, Property* out) {
  Display* d = c.Open();
  *out = Property{};
  if (!d || !w) return false;
  Atom actual = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, property, 0, max_items, False, type, &actual, &format, &count, &after, &data) !=
      Success)
    return false;
  bool found = data && count > 0 && actual != None;
  if (found) {
    size_t item = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
    out->type = actual;
    out->format = format;
    out->count = count;
    out->bytes.assign(reinterpret_cast<char*>(data), count * item);
  }
  if (data) XFree(data);
  return found;
}

std::string WindowTitle(Connection& c, Window w) {
  Property p;
  if (ReadProperty(c, w, Intern(c, "_NET_WM_NAME"), Intern(c, "UTF8_STRING"), 1024, &p) && p.format == 8)
    return Utf8ToLatin1(p.bytes);
  if (ReadProperty(c, w, XA_WM_NAME, AnyPropertyType, 1024, &p) && p.format == 8) {
    // STRING is Latin-1 already; a compound or UTF-8 name is read as UTF-8.
    return p.type == XA_STRING ? p.bytes : Utf8ToLatin1(p.bytes);
  }
  return "";
}

Window ActiveWindow(Connection& c) {
  Display* d = c.Open();
  if (!d) return 0;
  Property p;
  if (ReadProperty(c, DefaultRootWindow(d), Intern(c, "_NET_ACTIVE_WINDOW"), XA_WINDOW, 1, &p) && p.format == 32)
    return static_cast<Window>(p.Long(0));
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(d, &focus, &revert);
  if (focus == None || focus == PointerRoot || focus == DefaultRootWindow(d)) return 0;
  return focus;
}

Window ConsoleWindow(Connection& c, bool allow_guess) {
  if (uint64_t id = ExplicitConsoleWindowId(c.platform())) return static_cast<Window>(id);
  std::string id = Env("WINDOWID");
  if (!id.empty()) {
    char* end = nullptr;
    unsigned long v = std::strtoul(id.c_str(), &end, 0);
    if (end && *end == '\0') return static_cast<Window>(v);
  }
  return allow_guess ? c.at_start : 0;
}

void SendRootMessage(Connection& c, Window w, const char* type, long l0, long l1, long l2, long l3) {
  Display* d = c.Open();
  if (!d) return;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = Intern(c, type);
  e.xclient.format = 32;
  e.xclient.data.l[0] = l0;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void NoteActiveWindowAtStart(Platform& platform) {
  if (ExplicitConsoleWindowId(platform) || !Env("WINDOWID").empty()) return;
  if (Env("DISPLAY").empty()) return;
  Connection& c = TheConnection(platform);
  c.at_start = ActiveWindow(c);
}

}  // namespace kal::x11

// The module's entry (1_platform/module_entries.h).
extern "C" void kaldorin_note_console_window_at_start(kal::Platform& platform) {
  kal::x11::NoteActiveWindowAtStart(platform);
}
