// The desktop through X11 (EWMH): the active window, titles, and the state of
// the terminal window that shows the console. The display is opened on first
// use and kept; X errors (a window that vanished) are ignored instead of
// ending the program.
#include "1_platform/desktop.h"

#include <cstdlib>
#include <cstring>

#include "0_base/latin1.h"

#if defined(KALDORIN_HAVE_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace kal {

#if defined(KALDORIN_HAVE_X11)
namespace {

struct XState {
  bool tried = false;
  Display* display = nullptr;
};

XState& S() {
  static XState s;
  return s;
}

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

Display* TheDisplay() {
  auto& s = S();
  if (!s.tried) {
    s.tried = true;
    const char* name = std::getenv("DISPLAY");
    if (name && *name) s.display = XOpenDisplay(nullptr);
    if (s.display) XSetErrorHandler(IgnoreXError);
  }
  return s.display;
}

Window ConsoleWindow() {
  const char* id = std::getenv("WINDOWID");
  return id && *id ? static_cast<Window>(std::strtoul(id, nullptr, 0)) : 0;
}

// Reads a property of 32-bit items or bytes; the caller frees with XFree.
unsigned char* GetProperty(Display* d, Window w, const char* name, Atom type, unsigned long* count) {
  Atom prop = XInternAtom(d, name, False);
  Atom actual;
  int format;
  unsigned long after;
  unsigned char* data = nullptr;
  *count = 0;
  if (XGetWindowProperty(d, w, prop, 0, 1024, False, type, &actual, &format, count, &after, &data) != Success)
    return nullptr;
  if (!data || *count == 0) {
    if (data) XFree(data);
    return nullptr;
  }
  return data;
}

std::string WindowTitle(Display* d, Window w) {
  unsigned long n = 0;
  if (unsigned char* p = GetProperty(d, w, "_NET_WM_NAME", XInternAtom(d, "UTF8_STRING", False), &n)) {
    std::string t = Utf8ToLatin1(std::string(reinterpret_cast<char*>(p), n));
    XFree(p);
    return t;
  }
  if (unsigned char* p = GetProperty(d, w, "WM_NAME", XA_STRING, &n)) {
    std::string t(reinterpret_cast<char*>(p), n);
    XFree(p);
    return t;
  }
  return "";
}

void SendActivate(Display* d, Window w) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = 1;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

}  // namespace

bool QueryForegroundWindow(ForegroundWindow* w) {
  // Without the console's own window id nothing could ever be "the console
  // in front": answer as if there were no desktop.
  Display* d = TheDisplay();
  if (!d || !ConsoleWindow()) return false;
  unsigned long n = 0;
  unsigned char* p = GetProperty(d, DefaultRootWindow(d), "_NET_ACTIVE_WINDOW", XA_WINDOW, &n);
  if (!p) return false;
  Window active = static_cast<Window>(reinterpret_cast<unsigned long*>(p)[0]);
  XFree(p);
  w->is_console = active != 0 && active == ConsoleWindow();
  w->title = active ? WindowTitle(d, active) : "";
  return true;
}

bool MinimizeConsoleWindow() {
  Display* d = TheDisplay();
  Window w = ConsoleWindow();
  if (!d || !w) return false;
  XIconifyWindow(d, w, DefaultScreen(d));
  XFlush(d);
  return true;
}

bool RestoreConsoleWindow() {
  Display* d = TheDisplay();
  Window w = ConsoleWindow();
  if (!d || !w) return false;
  XMapRaised(d, w);
  SendActivate(d, w);
  XFlush(d);
  return true;
}

#else

bool QueryForegroundWindow(ForegroundWindow*) { return false; }
bool MinimizeConsoleWindow() { return false; }
bool RestoreConsoleWindow() { return false; }

#endif

}  // namespace kal
