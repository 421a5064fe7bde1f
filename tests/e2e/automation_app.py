"""A small GTK window for the automation test: a text field, a check box and
a button. It takes commands on standard input, one per line, and answers each
on standard output with one line of JSON:

  state          the field's text, the check box, which control has focus,
                 whether the window is active, minimised or maximised
  where          the check box's centre in screen pixels
  copy TEXT      puts TEXT on the clipboard (as a user's copy would)
  copybig N      puts N characters ('a' to 'z' repeated) on the clipboard
  paste          the clipboard's text, its length and a checksum
  quit           ends

The window's title comes from the first argument.
"""
import json
import sys
import zlib

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


class App:
    def __init__(self, title):
        self.window = Gtk.Window(title=title)
        self.window.set_default_size(400, 200)
        self.window.move(100, 100)
        box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL, spacing=6)
        self.entry = Gtk.Entry()
        self.entry.get_accessible().set_name("Campo de texto")
        self.check = Gtk.CheckButton(label="Marcar")
        self.button = Gtk.Button(label="Aplicar")
        for w in (self.entry, self.check, self.button):
            box.pack_start(w, False, False, 0)
        self.window.add(box)
        self.window.connect("destroy", lambda *_: Gtk.main_quit())
        self.clipboard = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD)
        self.window.show_all()
        self.entry.grab_focus()
        channel = GLib.IOChannel.unix_new(sys.stdin.fileno())
        GLib.io_add_watch(channel, GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP, self.on_input)

    def answer(self, obj):
        sys.stdout.write(json.dumps(obj) + "\n")
        sys.stdout.flush()

    def focus_name(self):
        focus = self.window.get_focus()
        return {self.entry: "entry", self.check: "check", self.button: "button"}.get(focus, "")

    def on_input(self, channel, condition):
        line = sys.stdin.readline()
        if not line:
            Gtk.main_quit()
            return False
        word, _, rest = line.rstrip("\n").partition(" ")
        if word == "state":
            gdk_state = self.window.get_window().get_state()
            self.answer({"text": self.entry.get_text(), "checked": self.check.get_active(),
                         "focus": self.focus_name(), "active": self.window.is_active(),
                         "iconified": bool(gdk_state & Gdk.WindowState.ICONIFIED),
                         "maximized": bool(gdk_state & Gdk.WindowState.MAXIMIZED)})
        elif word == "where":
            a = self.check.get_allocation()
            x, y = self.check.get_window().get_origin()[1:]
            self.answer({"x": x + a.x + a.width // 2, "y": y + a.y + a.height // 2})
        elif word == "copy":
            self.clipboard.set_text(rest, -1)
            self.clipboard.store()
            self.answer({"ok": True})
        elif word == "copybig":
            n = int(rest)
            text = ("abcdefghijklmnopqrstuvwxyz" * (n // 26 + 1))[:n]
            self.clipboard.set_text(text, -1)
            self.answer({"ok": True, "crc": zlib.crc32(text.encode())})
        elif word == "paste":
            text = self.clipboard.wait_for_text() or ""
            self.answer({"length": len(text), "crc": zlib.crc32(text.encode()), "head": text[:40]})
        elif word == "quit":
            Gtk.main_quit()
            return False
        return True


def main():
    App(sys.argv[1] if len(sys.argv) > 1 else "Janela de Teste")
    Gtk.main()


if __name__ == "__main__":
    main()
