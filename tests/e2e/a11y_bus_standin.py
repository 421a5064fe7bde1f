"""A stand-in for the desktop's accessibility bus service, for tests.

Owns the name org.a11y.Bus on the session bus it is given (a private
dbus-daemon of the test) and serves the object /org/a11y/bus with the
interface org.a11y.Status, whose property ScreenReaderEnabled is the first
argument ("1" or "0"). Prints "ready" once the name is owned, and runs until
it is ended.

Usage: a11y_bus_standin.py 1|0   (with DBUS_SESSION_BUS_ADDRESS set)
"""
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.a11y.Status">
    <property name="IsEnabled" type="b" access="readwrite"/>
    <property name="ScreenReaderEnabled" type="b" access="readwrite"/>
  </interface>
</node>
"""


def main():
    enabled = sys.argv[1] == "1"
    info = Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0]
    loop = GLib.MainLoop()

    def get_property(connection, sender, path, interface, name):
        return GLib.Variant("b", enabled if name == "ScreenReaderEnabled" else True)

    def on_bus(connection, name):
        connection.register_object("/org/a11y/bus", info, None, get_property, None)

    def on_name(connection, name):
        print("ready", flush=True)

    def on_lost(connection, name):
        loop.quit()

    Gio.bus_own_name(Gio.BusType.SESSION, "org.a11y.Bus", Gio.BusNameOwnerFlags.NONE, on_bus, on_name, on_lost)
    loop.run()


main()
