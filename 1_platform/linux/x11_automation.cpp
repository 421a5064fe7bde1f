// Desktop automation on X11: keys and buttons through the XTest extension,
// windows through the window manager's EWMH properties and requests.
//
// Characters are typed as the keysym of the same code (Latin-1 and X
// keysyms agree from 0x20 to 0x7E and 0xA0 to 0xFF), so that the program in
// front receives exactly that character whatever the keyboard layout: the
// layout's own key when it has one at the first or the shifted level, else
// one of a few spare keycodes bound to the keysym for the moment. A spare
// keycode keeps its binding until the pool comes round to it again (or the
// program ends), because a client may look a key event up some time after
// it was sent.
#include "1_platform/automation.h"
#include "1_platform/module_entries.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "1_platform/linux/x11_display.h"

namespace kal {
namespace {

// Virtual-key codes to keysyms for the keys that have no character.
struct VkSym {
  int vk;
  KeySym sym;
};
constexpr VkSym kVkSyms[] = {
    {8, XK_BackSpace},  {9, XK_Tab},        {12, XK_Clear},     {13, XK_Return},    {16, XK_Shift_L},
    {17, XK_Control_L}, {18, XK_Alt_L},     {19, XK_Pause},     {20, XK_Caps_Lock}, {27, XK_Escape},
    {32, XK_space},     {33, XK_Prior},     {34, XK_Next},      {35, XK_End},       {36, XK_Home},
    {37, XK_Left},      {38, XK_Up},        {39, XK_Right},     {40, XK_Down},      {41, XK_Select},
    {42, XK_Print},     {43, XK_Execute},   {44, XK_Print},     {45, XK_Insert},    {46, XK_Delete},
    {47, XK_Help},      {91, XK_Super_L},   {92, XK_Super_R},   {93, XK_Menu},      {96, XK_KP_0},
    {97, XK_KP_1},      {98, XK_KP_2},      {99, XK_KP_3},      {100, XK_KP_4},     {101, XK_KP_5},
    {102, XK_KP_6},     {103, XK_KP_7},     {104, XK_KP_8},     {105, XK_KP_9},     {106, XK_KP_Multiply},
    {107, XK_KP_Add},   {108, XK_KP_Separator}, {109, XK_KP_Subtract}, {110, XK_KP_Decimal},
    {111, XK_KP_Divide}, {144, XK_Num_Lock}, {145, XK_Scroll_Lock}, {160, XK_Shift_L}, {161, XK_Shift_R},
    {162, XK_Control_L}, {163, XK_Control_R}, {164, XK_Alt_L}, {165, XK_Alt_R},
    {186, XK_semicolon}, {187, XK_equal},   {188, XK_comma},    {189, XK_minus},    {190, XK_period},
    {191, XK_slash},    {192, XK_grave},    {219, XK_bracketleft}, {220, XK_backslash},
    {221, XK_bracketright}, {222, XK_apostrophe},
};

KeySym SymForVirtualKey(int vk) {
  if (vk >= '0' && vk <= '9') return static_cast<KeySym>(vk);
  if (vk >= 'A' && vk <= 'Z') return static_cast<KeySym>(vk - 'A' + 'a');
  if (vk >= 112 && vk <= 135) return XK_F1 + static_cast<KeySym>(vk - 112);  // F1..F24
  for (const auto& e : kVkSyms)
    if (e.vk == vk) return e.sym;
  return NoSymbol;
}

// The keysym that types a Latin-1 byte; NoSymbol for the C1 controls.
KeySym SymForCharacter(uint8_t c) {
  if (c >= 0x20 && c <= 0x7E) return c;
  if (c >= 0xA0) return c;
  return NoSymbol;
}

constexpr size_t kSparePool = 8;

class X11Automation : public DesktopAutomation {
 public:
  // Works on the display of that connection (which must outlive it).
  explicit X11Automation(x11::Connection& c) : c_(c) {}

  DesktopAvailability Availability() override {
    DesktopAvailability a = x11::Availability(c_);
    if (a == DesktopAvailability::kReady && !xtest_checked_) {
      xtest_checked_ = true;
      int ev, err, major, minor;
      xtest_ = XTestQueryExtension(D(), &ev, &err, &major, &minor);
    }
    return xtest_ || a != DesktopAvailability::kReady ? a : DesktopAvailability::kNoInputExtension;
  }

  bool KeyForVirtualKey(int vk, int* key) override {
    KeySym sym = SymForVirtualKey(vk);
    if (sym == NoSymbol || !Ready()) return false;
    LayoutKey k;
    if (!Lookup(sym, &k) && !BindSpare(sym, &k)) return false;
    *key = k.key;
    return true;
  }

  bool KeyForCharacter(uint8_t c, LayoutKey* key) override {
    KeySym sym = SymForCharacter(c);
    if (sym == NoSymbol || !Ready()) return false;
    return Lookup(sym, key) || BindSpare(sym, key);
  }

  bool SendKey(int key, bool down) override {
    if (!Ready() || key < 8 || key > 255) return false;
    XTestFakeKeyEvent(D(), static_cast<unsigned>(key), down ? True : False, CurrentTime);
    XFlush(D());
    return true;
  }

  bool PointerPosition(int* x, int* y) override {
    if (!Ready()) return false;
    Window root, child;
    int wx, wy;
    unsigned mask;
    return XQueryPointer(D(), DefaultRootWindow(D()), &root, &child, x, y, &wx, &wy, &mask);
  }

  bool MovePointer(int x, int y) override {
    if (!Ready()) return false;
    XTestFakeMotionEvent(D(), DefaultScreen(D()), x, y, CurrentTime);
    XFlush(D());
    return true;
  }

  bool SendLeftButton(bool down) override {
    if (!Ready()) return false;
    XTestFakeButtonEvent(D(), 1, down ? True : False, CurrentTime);
    XFlush(D());
    return true;
  }

  bool ForegroundOrigin(int* x, int* y) override {
    *x = *y = 0;
    if (!Ready()) return false;
    Window w = x11::ActiveWindow(c_);
    if (!w) return true;  // nothing in front: the screen's origin
    Window child;
    int cx = 0, cy = 0;
    if (!XTranslateCoordinates(D(), w, DefaultRootWindow(D()), 0, 0, &cx, &cy, &child)) return true;
    long top = 0;
    x11::Property p;
    if (x11::ReadProperty(c_, w, x11::Intern(c_, "_NET_FRAME_EXTENTS"), XA_CARDINAL, 4, &p) && p.format == 32 &&
        p.count == 4)
      top = p.Long(2);
    *x = cx;
    *y = cy - static_cast<int>(top) + 4;
    return true;
  }

  bool ActiveWindowTitle(std::string* title) override {
    title->clear();
    if (!Ready()) return false;
    Window w = x11::ActiveWindow(c_);
    if (w) *title = x11::WindowTitle(c_, w);
    return true;
  }

  bool ConsoleIsActive() override {
    if (!Ready()) return false;
    Window console = x11::ConsoleWindow(c_, true);
    return console && x11::ActiveWindow(c_) == console;
  }

  bool TopLevelWindows(std::vector<DesktopWindow>* windows) override;
  bool ActOnWindow(uint64_t id, WindowAction action) override;

  uint64_t ConsoleWindowId() override {
    if (uint64_t id = ExplicitConsoleWindowId(c_.platform())) return id;
    return Ready() ? x11::ConsoleWindow(c_, true) : 0;
  }

 private:
  Display* D() { return c_.Open(); }
  bool Ready() { return Availability() == DesktopAvailability::kReady; }

  // The keyboard mapping, read once and again after every change the
  // connection saw.
  unsigned MapGeneration() const { return c_.keyboard_generation; }

  void LoadMap() {
    if (map_generation_ != MapGeneration()) map_.clear();
    map_generation_ = MapGeneration();
    if (!map_.empty()) return;
    XDisplayKeycodes(D(), &min_code_, &max_code_);
    int count = max_code_ - min_code_ + 1;
    KeySym* syms = XGetKeyboardMapping(D(), static_cast<KeyCode>(min_code_), count, &per_code_);
    if (!syms) return;
    map_.assign(syms, syms + count * per_code_);
    XFree(syms);
  }

  KeySym MapAt(int code, int level) const {
    size_t i = static_cast<size_t>((code - min_code_) * per_code_ + level);
    return i < map_.size() ? map_[i] : NoSymbol;
  }

  // The layout's key for sym at the first or the shifted level.
  bool Lookup(KeySym sym, LayoutKey* key) {
    LoadMap();
    for (int level = 0; level < std::min(per_code_, 2); ++level)
      for (int code = min_code_; code <= max_code_; ++code)
        if (MapAt(code, level) == sym) {
          key->key = code;
          key->shift = level == 1;
          return true;
        }
    return false;
  }

  // Binds sym to the next spare keycode (one with no keysym at all).
  bool BindSpare(KeySym sym, LayoutKey* key) {
    LoadMap();
    if (spares_.empty()) {
      for (int code = max_code_; code >= min_code_ && spares_.size() < kSparePool; --code) {
        bool empty = true;
        for (int l = 0; l < per_code_ && empty; ++l) empty = MapAt(code, l) == NoSymbol;
        if (empty) spares_.push_back(code);
      }
      if (spares_.empty()) return false;
    }
    int code = spares_[next_spare_ % spares_.size()];
    ++next_spare_;
    std::array<KeySym, 2> both = {sym, sym};
    XChangeKeyboardMapping(D(), code, 2, both.data(), 1);
    XSync(D(), False);
    map_.clear();
    // The connection gives the keycode back when it closes.
    c_.bound_spares.push_back(code);
    key->key = code;
    key->shift = false;
    return true;
  }

  x11::Connection& c_;
  bool xtest_checked_ = false;
  bool xtest_ = false;
  unsigned map_generation_ = 0;
  std::vector<KeySym> map_;
  int min_code_ = 8, max_code_ = 255, per_code_ = 0;
  std::vector<int> spares_;
  size_t next_spare_ = 0;
};

// _NET_WM_STATE holds the atom.
bool HasState(x11::Connection& c, Window w, Atom state) {
  x11::Property p;
  if (!x11::ReadProperty(c, w, x11::Intern(c, "_NET_WM_STATE"), XA_ATOM, 64, &p) || p.format != 32) return false;
  for (unsigned long i = 0; i < p.count; ++i)
    if (static_cast<Atom>(p.Long(i)) == state) return true;
  return false;
}

// ICCCM WM_STATE: 1 normal, 3 iconic; -1 when not set.
long WmState(x11::Connection& c, Window w) {
  x11::Property p;
  Atom a = x11::Intern(c, "WM_STATE");
  if (!x11::ReadProperty(c, w, a, a, 2, &p) || p.format != 32) return -1;
  return p.Long(0);
}

std::vector<Window> ClientsTopFirst(x11::Connection& c, Display* d) {
  std::vector<Window> out;
  x11::Property p;
  Window root = DefaultRootWindow(d);
  if (x11::ReadProperty(c, root, x11::Intern(c, "_NET_CLIENT_LIST_STACKING"), XA_WINDOW, 4096, &p) ||
      x11::ReadProperty(c, root, x11::Intern(c, "_NET_CLIENT_LIST"), XA_WINDOW, 4096, &p)) {
    for (unsigned long i = p.count; i-- > 0;) out.push_back(static_cast<Window>(p.Long(i)));
    return out;
  }
  // No window manager: the root's children, bottom first as X gives them.
  Window r, parent, *children = nullptr;
  unsigned n = 0;
  if (XQueryTree(d, root, &r, &parent, &children, &n) && children) {
    for (unsigned i = n; i-- > 0;) out.push_back(children[i]);
    XFree(children);
  }
  return out;
}

bool X11Automation::TopLevelWindows(std::vector<DesktopWindow>* windows) {
  windows->clear();
  if (!Ready()) return false;
  Atom hidden = x11::Intern(c_, "_NET_WM_STATE_HIDDEN");
  for (Window w : ClientsTopFirst(c_, D())) {
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(D(), w, &attrs)) continue;
    bool minimized = WmState(c_, w) == IconicState || HasState(c_, w, hidden);
    if (attrs.map_state != IsViewable && !minimized) continue;
    DesktopWindow dw;
    dw.id = w;
    dw.title = x11::WindowTitle(c_, w);
    dw.minimized = minimized;
    if (!dw.title.empty()) windows->push_back(std::move(dw));
  }
  return true;
}

bool X11Automation::ActOnWindow(uint64_t id, WindowAction action) {
  if (!Ready()) return false;
  Display* d = D();
  Window w = static_cast<Window>(id);
  constexpr long kRemove = 0, kAdd = 1, kUserAction = 2;
  long vert = static_cast<long>(x11::Intern(c_, "_NET_WM_STATE_MAXIMIZED_VERT"));
  long horz = static_cast<long>(x11::Intern(c_, "_NET_WM_STATE_MAXIMIZED_HORZ"));
  switch (action) {
    case WindowAction::kClose:
      x11::SendRootMessage(c_, w, "_NET_CLOSE_WINDOW", CurrentTime, kUserAction);
      break;
    case WindowAction::kRestore:
    case WindowAction::kMaximize:
      x11::SendRootMessage(c_, w, "_NET_WM_STATE", action == WindowAction::kMaximize ? kAdd : kRemove, vert, horz,
                           kUserAction);
      XMapRaised(d, w);
      x11::SendRootMessage(c_, w, "_NET_ACTIVE_WINDOW", kUserAction, CurrentTime);
      break;
    case WindowAction::kMinimize:
      XIconifyWindow(d, w, DefaultScreen(d));
      break;
  }
  XFlush(d);
  return true;
}

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::DesktopAutomation* kaldorin_make_x11_automation(kal::Platform& platform) {
  return new kal::X11Automation(kal::x11::TheConnection(platform));
}
