// The accessibility bus's status, asked on the session bus: the property
// ScreenReaderEnabled of the interface org.a11y.Status on the object
// /org/a11y/bus of org.a11y.Bus, which a screen reader sets while it runs.
// Part of the accessibility module, beside the library it needs.
//
// The message does not start the accessibility bus when it is not running
// (no auto-start): a program that only asks must not bring it up. One call,
// with a short time limit, so that a bus that does not answer costs the
// start little.
#include <dbus/dbus.h>

namespace {

constexpr int kAskTimeoutMs = 500;

// The boolean inside the reply's variant; -1 when the reply holds none.
int BooleanOfReply(DBusMessage* reply) {
  DBusMessageIter it, variant;
  if (!dbus_message_iter_init(reply, &it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_VARIANT) return -1;
  dbus_message_iter_recurse(&it, &variant);
  if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_BOOLEAN) return -1;
  dbus_bool_t on = FALSE;
  dbus_message_iter_get_basic(&variant, &on);
  return on ? 1 : 0;
}

int AskStatus(DBusConnection* bus, DBusError* err) {
  DBusMessage* call = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                   "org.freedesktop.DBus.Properties", "Get");
  if (!call) return -1;
  dbus_message_set_auto_start(call, FALSE);
  const char* iface = "org.a11y.Status";
  const char* prop = "ScreenReaderEnabled";
  int answer = -1;
  if (dbus_message_append_args(call, DBUS_TYPE_STRING, &iface, DBUS_TYPE_STRING, &prop, DBUS_TYPE_INVALID)) {
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, call, kAskTimeoutMs, err);
    if (reply) {
      answer = BooleanOfReply(reply);
      dbus_message_unref(reply);
    }
  }
  dbus_message_unref(call);
  return answer;
}

}  // namespace

// The module's entry (1_platform/screen_reader.h): 1 when a screen reader
// runs, 0 when none does, -1 when the bus could not tell.
extern "C" int kaldorin_screen_reader_enabled(const char* session_address) {
  DBusError err;
  dbus_error_init(&err);
  DBusConnection* bus = dbus_connection_open_private(session_address, &err);
  int answer = -1;
  if (bus) {
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    if (dbus_bus_register(bus, &err)) answer = AskStatus(bus, &err);
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
  }
  dbus_error_free(&err);
  return answer;
}
