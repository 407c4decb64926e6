"""The Screenshot portal's round trip, N times: request to answer, in ms,
each after a pause (0.5 s unless given): the figures it is set beside
pause as long before each action, and a desktop left idle that long
answers later than one just asked.

usage: roundtrip.py N [PAUSE]"""
import sys
import time

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
sender = bus.get_unique_name()[1:].replace(".", "_")
portal = bus.get_object("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop")
loop = GLib.MainLoop()
pause = float(sys.argv[2]) if len(sys.argv) > 2 else 0.5
for i in range(int(sys.argv[1])):
    time.sleep(pause)
    token = "bench%d" % i
    done = []
    match = bus.add_signal_receiver(
        lambda code, results: (done.append((time.monotonic(), results)), loop.quit()),
        "Response", "org.freedesktop.portal.Request",
        path="/org/freedesktop/portal/desktop/request/%s/%s" % (sender, token))
    start = time.monotonic()
    portal.Screenshot("", {"handle_token": token, "interactive": False},
                      dbus_interface="org.freedesktop.portal.Screenshot")
    loop.run()
    match.remove()
    print((done[0][0] - start) * 1000)
    uri = str(done[0][1].get("uri", ""))
    if uri.startswith("file://") and "/tmp/" not in uri:
        import os
        import urllib.parse
        try:
            os.unlink(urllib.parse.unquote(uri[7:]))
        except OSError:
            pass
