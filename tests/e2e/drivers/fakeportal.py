"""A desktop portal of a desktop that offers global shortcuts (as KDE
Plasma's does): Screenshot answers with a copy of a given picture,
GlobalShortcuts records what it is asked to bind (as lines of JSON in the
record file) and sends an activation of a bound shortcut whenever its
Press method is called. Its first screenshot fails as GNOME's does while
another program takes one. In the mode "kde527" it takes the shortcuts
from CreateSession's options, as Plasma 5.27 does, and its BindShortcuts
only notes that System Settings would open. In the mode "silent" its
Screenshot notes the request and never answers, as a portal whose dialog
nobody answers. In the mode "stuck" the first screenshot asked for after
one was given is never answered, as GNOME's portal leaves a request that
came while another program took a screenshot: its closing is noted.

    fakeportal.py <picture> <record file> [kde527|silent|stuck]"""

import json
import shutil
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"


def request_path(sender, token):
    return f"{PATH}/request/{sender[1:].replace('.', '_')}/{token}"


class Request(dbus.service.Object):
    def __init__(self, bus, path, closed=None):
        super().__init__(bus, path)
        self.closed = closed

    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method("org.freedesktop.portal.Request")
    def Close(self):
        if self.closed:
            self.closed()
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus, picture, record, mode):
        super().__init__(bus, PATH)
        self.bus, self.picture, self.record, self.mode = bus, picture, record, mode
        self.shots = 0
        self.sessions = []
        self.requests = []

    def answer(self, path, results, response=0):
        request = Request(self.bus, path)
        self.requests.append(request)
        GLib.idle_add(lambda: request.Response(dbus.UInt32(response), results) and False)
        return dbus.ObjectPath(path)

    def note(self, entry):
        with open(self.record, "a") as f:
            f.write(json.dumps(entry) + "\n")

    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}",
                         out_signature="o", sender_keyword="sender")
    def Screenshot(self, parent, options, sender=None):
        self.shots += 1
        if self.mode == "silent":
            self.note({"screenshot": self.shots})
            return dbus.ObjectPath(request_path(sender, options["handle_token"]))
        if self.shots == 1:
            return self.answer(request_path(sender, options["handle_token"]), {}, response=2)
        if self.mode == "stuck" and self.shots == 3:
            shot = self.shots
            self.note({"screenshot": shot, "stuck": True})
            path = request_path(sender, options["handle_token"])
            self.requests.append(Request(self.bus, path, lambda: self.note({"closed": shot})))
            return dbus.ObjectPath(path)
        copy = f"{self.record}.shot{self.shots}.png"
        shutil.copy(self.picture, copy)
        return self.answer(request_path(sender, options["handle_token"]),
                           {"uri": f"file://{copy}"})

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        session = f"{PATH}/session/{sender[1:].replace('.', '_')}/" \
                  f"{options['session_handle_token']}"
        self.sessions.append(session)
        results = {"session_handle": session}
        if self.mode == "kde527" and "shortcuts" in options:
            self.note({"session": session, "shortcuts": self.listed(options["shortcuts"])})
            results["shortcuts"] = options["shortcuts"]
        return self.answer(request_path(sender, options["handle_token"]), results)

    @staticmethod
    def listed(shortcuts):
        return [{"id": str(i), **{str(k): str(v) for k, v in props.items()}}
                for i, props in shortcuts]

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent, options, sender=None):
        if self.mode == "kde527":
            self.note({"session": str(session), "settings opened": True})
        else:
            self.note({"session": str(session), "shortcuts": self.listed(shortcuts)})
        return self.answer(request_path(sender, options["handle_token"]),
                           {"shortcuts": dbus.Array([], signature="(sa{sv})")})

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut, timestamp, options):
        pass

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Deactivated(self, session, shortcut, timestamp, options):
        pass

    @dbus.service.method("org.example.Test", in_signature="s")
    def Press(self, shortcut):
        # Plasma 5.27 reports a press twice, the second time with the
        # release.
        for signal in (self.Activated, self.Activated, self.Deactivated):
            for session in self.sessions:
                signal(dbus.ObjectPath(session), shortcut, dbus.UInt64(0),
                       dbus.Dictionary({}, signature="sv"))

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        if interface == SHORTCUTS and prop == "version":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException("no such property",
                                            name="org.freedesktop.DBus.Error.InvalidArgs")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else "")
    name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
    open(sys.argv[2] + ".ready", "w").close()
    GLib.MainLoop().run()
    del portal, name


if __name__ == "__main__":
    main()
