"""The desktop's notification service as far as a test needs it: each
Notify call is written to the record file as a line of JSON.

    fakenotifications.py <record file>"""

import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.record, self.last = record, 0

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.last += 1
        with open(self.record, "a", encoding="utf-8") as f:
            f.write(json.dumps({"app": str(app), "icon": str(icon), "summary": str(summary),
                                "body": str(body)}) + "\n")
        return dbus.UInt32(self.last)

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body"]


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    # Both live as long as the loop: the name goes with its object.
    service = Notifications(bus, sys.argv[1])
    name = dbus.service.BusName(NAME, bus)
    GLib.MainLoop().run()
    del service, name


if __name__ == "__main__":
    main()
