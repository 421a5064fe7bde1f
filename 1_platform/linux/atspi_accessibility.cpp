// Accessibility through AT-SPI2 (libatspi).
//
// libatspi's calls block on D-Bus and its events arrive through a GLib main
// loop, so all of it lives on one worker thread with a main context of its
// own. The program hands the worker jobs (idle sources on that context) and
// waits for each through the event pump; the worker hands results and
// events back with EventLoop::Post. Nothing of libatspi is touched on the
// program's thread.
//
// libatspi ends the process when it cannot reach the accessibility bus, so
// before it starts the worker finds the bus the way libatspi would (the
// AT_SPI_BUS_ADDRESS variable, the AT_SPI_BUS property of the X root
// window, or the session bus's org.a11y.Bus) and connects to it once
// itself; without a bus that answers, accessibility is unavailable.
#include "1_platform/accessibility.h"
#include "1_platform/module_entries.h"

#include <atspi/atspi.h>
#include <dbus/dbus.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>

#if defined(KALDORIN_HAVE_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "1_platform/pump.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

constexpr int kStartTimeoutMs = 8000;
constexpr int kCallTimeoutMs = 6000;
constexpr int kBusTimeoutMs = 2000;   // one D-Bus call of the bus check
constexpr int kAtspiTimeoutMs = 2000; // one call into another program
constexpr int kValueMax = 65536;      // characters of a text field's value

// The classic role numbers for AT-SPI roles; 8 where there is none.
int RoleCode(AtspiRole role) {
  switch (role) {
    case ATSPI_ROLE_INVALID: return 0;
    case ATSPI_ROLE_TITLE_BAR: return 1;
    case ATSPI_ROLE_MENU_BAR: return 2;
    case ATSPI_ROLE_SCROLL_BAR: return 3;
    case ATSPI_ROLE_ALERT: case ATSPI_ROLE_NOTIFICATION: return 8;
    case ATSPI_ROLE_FRAME: case ATSPI_ROLE_WINDOW: return 9;
    case ATSPI_ROLE_MENU: case ATSPI_ROLE_POPUP_MENU: return 11;
    case ATSPI_ROLE_MENU_ITEM: case ATSPI_ROLE_CHECK_MENU_ITEM: case ATSPI_ROLE_RADIO_MENU_ITEM:
    case ATSPI_ROLE_TEAROFF_MENU_ITEM: return 12;
    case ATSPI_ROLE_TOOL_TIP: return 13;
    case ATSPI_ROLE_APPLICATION: return 14;
    case ATSPI_ROLE_DOCUMENT_FRAME: case ATSPI_ROLE_DOCUMENT_TEXT: case ATSPI_ROLE_DOCUMENT_WEB:
    case ATSPI_ROLE_DOCUMENT_SPREADSHEET: case ATSPI_ROLE_DOCUMENT_PRESENTATION: case ATSPI_ROLE_DOCUMENT_EMAIL:
      return 15;
    case ATSPI_ROLE_PANEL: case ATSPI_ROLE_FILLER: case ATSPI_ROLE_SCROLL_PANE: case ATSPI_ROLE_SPLIT_PANE:
    case ATSPI_ROLE_VIEWPORT: case ATSPI_ROLE_LAYERED_PANE: case ATSPI_ROLE_ROOT_PANE: case ATSPI_ROLE_GLASS_PANE:
    case ATSPI_ROLE_INTERNAL_FRAME: case ATSPI_ROLE_OPTION_PANE: case ATSPI_ROLE_DIRECTORY_PANE: return 16;
    case ATSPI_ROLE_CHART: return 17;
    case ATSPI_ROLE_DIALOG: case ATSPI_ROLE_FILE_CHOOSER: case ATSPI_ROLE_FONT_CHOOSER:
    case ATSPI_ROLE_COLOR_CHOOSER: return 18;
    case ATSPI_ROLE_GROUPING: case ATSPI_ROLE_SECTION: case ATSPI_ROLE_FORM: return 20;
    case ATSPI_ROLE_SEPARATOR: return 21;
    case ATSPI_ROLE_TOOL_BAR: return 22;
    case ATSPI_ROLE_STATUS_BAR: return 23;
    case ATSPI_ROLE_TABLE: return 24;
    case ATSPI_ROLE_COLUMN_HEADER: case ATSPI_ROLE_TABLE_COLUMN_HEADER: return 25;
    case ATSPI_ROLE_ROW_HEADER: case ATSPI_ROLE_TABLE_ROW_HEADER: return 26;
    case ATSPI_ROLE_TABLE_ROW: return 28;
    case ATSPI_ROLE_TABLE_CELL: return 29;
    case ATSPI_ROLE_LINK: return 30;
    case ATSPI_ROLE_LIST: case ATSPI_ROLE_LIST_BOX: return 33;
    case ATSPI_ROLE_LIST_ITEM: return 34;
    case ATSPI_ROLE_TREE: case ATSPI_ROLE_TREE_TABLE: return 35;
    case ATSPI_ROLE_TREE_ITEM: return 36;
    case ATSPI_ROLE_PAGE_TAB: return 37;
    case ATSPI_ROLE_ICON: case ATSPI_ROLE_IMAGE: case ATSPI_ROLE_DRAWING_AREA: case ATSPI_ROLE_CANVAS: return 40;
    case ATSPI_ROLE_LABEL: case ATSPI_ROLE_STATIC: case ATSPI_ROLE_CAPTION: case ATSPI_ROLE_ACCELERATOR_LABEL:
      return 41;
    case ATSPI_ROLE_TEXT: case ATSPI_ROLE_ENTRY: case ATSPI_ROLE_PASSWORD_TEXT: case ATSPI_ROLE_EDITBAR:
    case ATSPI_ROLE_PARAGRAPH: case ATSPI_ROLE_TERMINAL: return 42;
    case ATSPI_ROLE_PUSH_BUTTON: case ATSPI_ROLE_TOGGLE_BUTTON: return 43;
    case ATSPI_ROLE_CHECK_BOX: return 44;
    case ATSPI_ROLE_RADIO_BUTTON: return 45;
    case ATSPI_ROLE_COMBO_BOX: return 46;
    case ATSPI_ROLE_PROGRESS_BAR: case ATSPI_ROLE_LEVEL_BAR: return 48;
    case ATSPI_ROLE_DIAL: return 49;
    case ATSPI_ROLE_SLIDER: return 51;
    case ATSPI_ROLE_SPIN_BUTTON: return 52;
    case ATSPI_ROLE_ANIMATION: return 54;
    case ATSPI_ROLE_MATH: return 55;
    case ATSPI_ROLE_PUSH_BUTTON_MENU: return 57;
    case ATSPI_ROLE_PAGE_TAB_LIST: return 60;
    default: return 8;  // headings, articles, landmarks, calendars ...: no counterpart
  }
}

// Takes a string libatspi gave (UTF-8, ours to free) as Latin-1.
std::string Take(gchar* s) {
  if (!s) return "";
  std::string out = Utf8ToLatin1(s);
  g_free(s);
  return out;
}

void Clear(GError** e) {
  if (*e) g_clear_error(e);
}

std::string NumberText(double v) {
  char buf[64];
  if (std::fabs(v - std::round(v)) < 1e-9 && std::fabs(v) < 1e15)
    std::snprintf(buf, sizeof buf, "%.0f", v);
  else
    std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// Reads what a script can ask about an object (on the worker).
AccessibleProperties Read(AtspiAccessible* a) {
  AccessibleProperties p;
  GError* err = nullptr;
  AtspiRole role = atspi_accessible_get_role(a, &err);
  if (err) {
    Clear(&err);
    return p;
  }
  p.role_code = RoleCode(role);
  if (p.role_code == 0) return p;
  p.role_text = Take(atspi_accessible_get_localized_role_name(a, &err));
  Clear(&err);
  if (AtspiComponent* c = atspi_accessible_get_component_iface(a)) {
    if (AtspiRect* r = atspi_component_get_extents(c, ATSPI_COORD_TYPE_SCREEN, &err)) {
      p.left = r->x, p.top = r->y, p.width = r->width, p.height = r->height;
      g_free(r);
    }
    Clear(&err);
    g_object_unref(c);
  }
  p.name = Take(atspi_accessible_get_name(a, &err));
  Clear(&err);
  bool editable = false;
  if (AtspiStateSet* ss = atspi_accessible_get_state_set(a)) {
    p.checked = atspi_state_set_contains(ss, ATSPI_STATE_CHECKED);
    p.unavailable = role != ATSPI_ROLE_APPLICATION && !atspi_state_set_contains(ss, ATSPI_STATE_ENABLED);
    editable = atspi_state_set_contains(ss, ATSPI_STATE_EDITABLE);
    g_object_unref(ss);
  }
  // A field's value is its text (never a password's); a slider's, its number.
  AtspiText* t = role == ATSPI_ROLE_PASSWORD_TEXT ? nullptr : atspi_accessible_get_text_iface(a);
  AtspiValue* v = atspi_accessible_get_value_iface(a);
  if (t && (editable || p.role_code == 42)) {
    gint n = atspi_text_get_character_count(t, &err);
    Clear(&err);
    p.value = Take(atspi_text_get_text(t, 0, n < kValueMax ? n : kValueMax, &err));
    Clear(&err);
  } else if (v) {
    double d = atspi_value_get_current_value(v, &err);
    if (!err) p.value = NumberText(d);
    Clear(&err);
  }
  if (t) g_object_unref(t);
  if (v) g_object_unref(v);
  return p;
}

// The accessibility bus's address as libatspi would find it; empty when
// there is none to be found.
std::string AskSessionBusForAddress() {
  DBusError err;
  dbus_error_init(&err);
  const char* session = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (!session || !*session) return "";
  DBusConnection* bus = dbus_connection_open_private(session, &err);
  std::string address;
  if (bus && dbus_bus_register(bus, &err)) {
    DBusMessage* call = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
    DBusMessage* reply = call ? dbus_connection_send_with_reply_and_block(bus, call, kBusTimeoutMs, &err) : nullptr;
    const char* text = nullptr;
    if (reply && dbus_message_get_args(reply, &err, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID) && text)
      address = text;
    if (reply) dbus_message_unref(reply);
    if (call) dbus_message_unref(call);
  }
  if (bus) {
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
  }
  dbus_error_free(&err);
  return address;
}

std::string AddressFromX() {
#if defined(KALDORIN_HAVE_X11)
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return "";
  Display* d = XOpenDisplay(nullptr);  // this thread's own connection
  if (!d) return "";
  std::string address;
  Atom prop = XInternAtom(d, "AT_SPI_BUS", False);
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, DefaultRootWindow(d), prop, 0, 1024, False, XA_STRING, &type, &format, &count, &after,
                         &data) == Success &&
      data && format == 8)
    address.assign(reinterpret_cast<char*>(data), count);
  if (data) XFree(data);
  XCloseDisplay(d);
  return address;
#else
  return "";
#endif
}

bool BusAnswers() {
  const char* env = std::getenv("AT_SPI_BUS_ADDRESS");
  std::string address = env && *env ? env : AddressFromX();
  if (address.empty()) address = AskSessionBusForAddress();
  if (address.empty()) return false;
  DBusError err;
  dbus_error_init(&err);
  DBusConnection* c = dbus_connection_open_private(address.c_str(), &err);
  bool ok = c && dbus_bus_register(c, &err);
  if (c) {
    dbus_connection_close(c);
    dbus_connection_unref(c);
  }
  dbus_error_free(&err);
  return ok;
}

// What the worker keeps between jobs; touched on the worker thread only.
struct WorkerState {
  std::shared_ptr<LoopMailbox> loop;  // where the events are posted
  AtspiEventListener* listener = nullptr;
  AtspiAccessible* last_focus = nullptr;  // held; the object of the last focus event passed on
  AccessibilitySink sink;  // copied for the worker; called through Post
  bool monitoring = false;
};

// The worker thread, its main context and its state. Lives as long as the
// process.
class Worker {
 public:
  // Its jobs and events come back through the mailbox of the platform
  // state's loop (the thread outlives the loop), and its waits end when
  // that state's run is asked to stop.
  explicit Worker(Platform& platform) : platform_(platform), loop_(platform.loop) {
    state_.loop = loop_.Mailbox();
    context_ = g_main_context_new();
    // Without a thread (the system refused one) no job runs: every call
    // fails as one that did not answer in time, at once.
    try {
      std::thread([this] {
        g_main_context_push_thread_default(context_);
        GMainLoop* loop = g_main_loop_new(context_, FALSE);
        g_main_loop_run(loop);
      }).detach();
      started_ = true;
    } catch (const std::system_error&) {
      started_ = false;
    }
  }

  // Runs job on the worker and waits for it through the pump; false when
  // it did not finish in time or a stop was requested.
  bool Run(std::function<void()> job, int timeout_ms) {
    if (!started_) return false;
    struct Job {
      std::function<void()> fn;
      std::shared_ptr<LoopMailbox> loop;
      bool done = false;  // set on the program's thread
    };
    auto j = std::make_shared<Job>();
    j->fn = std::move(job);
    j->loop = loop_.Mailbox();
    auto* held = new std::shared_ptr<Job>(j);
    GSource* s = g_idle_source_new();
    g_source_set_callback(
        s,
        [](gpointer p) -> gboolean {
          auto job = *static_cast<std::shared_ptr<Job>*>(p);
          job->fn();
          job->loop->Post([job] { job->done = true; });
          return G_SOURCE_REMOVE;
        },
        held, [](gpointer p) { delete static_cast<std::shared_ptr<Job>*>(p); });
    g_source_attach(s, context_);
    g_source_unref(s);
    int64_t deadline = loop_.NowMs() + timeout_ms;
    while (!j->done && !StopRequested(platform_) && loop_.NowMs() < deadline) Delay(platform_, 5);
    return j->done;
  }

  GMainContext* context() const { return context_; }
  WorkerState* state() { return &state_; }

 private:
  Platform& platform_;
  EventLoop& loop_;
  GMainContext* context_;
  bool started_ = false;
  WorkerState state_;
};

// The listener's callback, on the worker: user_data is the worker's state.
void OnEvent(AtspiEvent* e, void* user_data) {
  auto& w = *static_cast<WorkerState*>(user_data);
  bool focus = e->type && std::string(e->type).rfind("object:state-changed:focused", 0) == 0;
  if ((focus && e->detail1 == 0) || !w.monitoring) {  // focus lost
    g_boxed_free(ATSPI_TYPE_EVENT, e);
    return;
  }
  // Toolkits may tell the same focus change twice; a control that takes
  // the focus again after its window was left and activated again counts.
  if (focus && e->source && e->source == w.last_focus) {
    g_boxed_free(ATSPI_TYPE_EVENT, e);
    return;
  }
  if (w.last_focus) g_object_unref(w.last_focus);
  w.last_focus = focus && e->source ? static_cast<AtspiAccessible*>(g_object_ref(e->source)) : nullptr;
  AccessibilityEvent ev;
  ev.kind = focus ? AccessibilityEventKind::kFocus : AccessibilityEventKind::kForeground;
  if (e->source) {
    ev.object = Read(e->source);
    ev.have_object = ev.object.role_code != 0;
  }
  g_boxed_free(ATSPI_TYPE_EVENT, e);
  AccessibilitySink sink = w.sink;
  w.loop->Post([sink, ev] { sink(ev); });
}

constexpr const char* kEvents[] = {"object:state-changed:focused", "window:activate"};

// The deepest object under the point, inside a frame that holds it.
AtspiAccessible* Deepest(AtspiAccessible* from, int x, int y) {
  GError* err = nullptr;
  AtspiAccessible* at = g_object_ref(from);
  for (int depth = 0; depth < 64; ++depth) {
    AtspiComponent* c = atspi_accessible_get_component_iface(at);
    if (!c) break;
    AtspiAccessible* child = atspi_component_get_accessible_at_point(c, x, y, ATSPI_COORD_TYPE_SCREEN, &err);
    Clear(&err);
    g_object_unref(c);
    if (!child || child == at) {
      if (child) g_object_unref(child);
      break;
    }
    g_object_unref(at);
    at = child;
  }
  return at;
}

bool FrameHolds(AtspiAccessible* frame, int x, int y, bool want_active) {
  GError* err = nullptr;
  AtspiStateSet* ss = atspi_accessible_get_state_set(frame);
  bool active = ss && atspi_state_set_contains(ss, ATSPI_STATE_ACTIVE);
  bool showing = ss && atspi_state_set_contains(ss, ATSPI_STATE_SHOWING);
  if (ss) g_object_unref(ss);
  if (!showing || active != want_active) return false;
  AtspiComponent* c = atspi_accessible_get_component_iface(frame);
  if (!c) return false;
  bool inside = atspi_component_contains(c, x, y, ATSPI_COORD_TYPE_SCREEN, &err);
  Clear(&err);
  g_object_unref(c);
  return inside;
}

// On the worker: the object at a screen point, active window first.
bool ObjectAt(int x, int y, AccessibleProperties* out) {
  GError* err = nullptr;
  AtspiAccessible* desktop = atspi_get_desktop(0);
  if (!desktop) return false;
  bool found = false;
  for (int pass = 0; pass < 2 && !found; ++pass) {
    gint apps = atspi_accessible_get_child_count(desktop, &err);
    Clear(&err);
    for (gint i = 0; i < apps && !found; ++i) {
      AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, &err);
      Clear(&err);
      if (!app) continue;
      gint frames = atspi_accessible_get_child_count(app, &err);
      Clear(&err);
      for (gint f = 0; f < frames && !found; ++f) {
        AtspiAccessible* frame = atspi_accessible_get_child_at_index(app, f, &err);
        Clear(&err);
        if (!frame) continue;
        if (FrameHolds(frame, x, y, pass == 0)) {
          AtspiAccessible* at = Deepest(frame, x, y);
          *out = Read(at);
          found = out->role_code != 0;
          g_object_unref(at);
        }
        g_object_unref(frame);
      }
      g_object_unref(app);
    }
  }
  g_object_unref(desktop);
  return found;
}

class AtspiAccessibility : public Accessibility {
 public:
  explicit AtspiAccessibility(Platform& platform) : platform_(platform) {}

  bool Available() override {
    if (tried_) return ready_;
    tried_ = true;
    const char* session = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* direct = std::getenv("AT_SPI_BUS_ADDRESS");
    const char* display = std::getenv("DISPLAY");
    if (!(session && *session) && !(direct && *direct) && !(display && *display)) return false;
    worker_ = new Worker(platform_);  // kept for the life of the process
    auto ok = std::make_shared<bool>(false);
    GMainContext* context = worker_->context();
    bool finished = worker_->Run(
        [ok, context] {
          if (!BusAnswers()) return;
          atspi_init();
          atspi_set_main_context(context);
          atspi_set_timeout(kAtspiTimeoutMs, kAtspiTimeoutMs);
          *ok = true;
        },
        kStartTimeoutMs);
    ready_ = finished && *ok;  // read only once the worker is done with it
    return ready_;
  }

  bool StartMonitoring(AccessibilitySink sink) override {
    if (!Available()) return false;
    WorkerState* state = worker_->state();
    return worker_->Run(
        [sink, state] {
          auto& w = *state;
          w.sink = sink;
          w.monitoring = true;
          if (w.listener) return;
          w.listener = atspi_event_listener_new(OnEvent, state, nullptr);
          for (const char* type : kEvents) {
            GError* err = nullptr;
            atspi_event_listener_register(w.listener, type, &err);
            Clear(&err);
          }
        },
        kCallTimeoutMs);
  }

  void StopMonitoring() override {
    if (!ready_) return;
    WorkerState* state = worker_->state();
    worker_->Run(
        [state] {
          auto& w = *state;
          w.monitoring = false;
          if (w.last_focus) g_object_unref(w.last_focus);
          w.last_focus = nullptr;
          if (!w.listener) return;
          for (const char* type : kEvents) {
            GError* err = nullptr;
            atspi_event_listener_deregister(w.listener, type, &err);
            Clear(&err);
          }
          g_object_unref(w.listener);
          w.listener = nullptr;
        },
        kCallTimeoutMs);
  }

  bool ObjectAtPoint(int x, int y, AccessibleProperties* out) override {
    if (!Available()) return false;
    struct Result {
      bool found = false;
      AccessibleProperties p;
    };
    auto r = std::make_shared<Result>();
    if (!worker_->Run([r, x, y] { r->found = ObjectAt(x, y, &r->p); }, kCallTimeoutMs)) return false;
    if (r->found) *out = r->p;
    return r->found;
  }

 private:
  Platform& platform_;
  bool tried_ = false;
  bool ready_ = false;
  Worker* worker_ = nullptr;
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::Accessibility* kaldorin_make_atspi_accessibility(kal::Platform& platform) {
  return new kal::AtspiAccessibility(platform);
}
