"""A button of another toolkit that asks the Screenshot portal for a
picture at each click, as Zonara's button does, and does nothing else:
the portal's round trip on the path a click takes, with what the desktop
does about the click itself (the frames that show the button pressed and
let go). For each answer it prints the time it came, on the monotonic
clock that the bench reads too.

usage: clickroundtrip.py SIZE"""
import os
import sys
import time
import urllib.parse

import dbus
import gi
from dbus.mainloop.glib import DBusGMainLoop

from gi.repository import GLib  # noqa: E402

# The window's class, by which the desktop's script finds it: named before
# GTK starts, which reads it once.
GLib.set_prgname("zuzbenchclick")
gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
sender = bus.get_unique_name()[1:].replace(".", "_")
portal = bus.get_object("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop")
asked = [0]


def answered(code, results):
    print(time.monotonic(), flush=True)
    uri = str(results.get("uri", ""))
    if uri.startswith("file://") and "/tmp/" not in uri:
        try:
            os.unlink(urllib.parse.unquote(uri[7:]))
        except OSError:
            pass


def clicked(button):
    asked[0] += 1
    token = "click%d" % asked[0]
    bus.add_signal_receiver(
        answered, "Response", "org.freedesktop.portal.Request",
        path="/org/freedesktop/portal/desktop/request/%s/%s" % (sender, token))
    portal.Screenshot("", {"handle_token": token, "interactive": False},
                      dbus_interface="org.freedesktop.portal.Screenshot",
                      reply_handler=lambda handle: None, error_handler=print)


size = int(sys.argv[1])
window = Gtk.Window(title="click")
window.set_decorated(False)
button = Gtk.Button(label="Z")
button.set_size_request(size, size)
button.connect("clicked", clicked)
window.add(button)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
