"""zuz on the X server of a Wayland desktop whose portal offers global
shortcuts (a stand-in portal on a private bus): the screen comes from the
portal's Screenshot, pixel for pixel, not from the X server, which sees
only the desktop's X11 programs; zuz proposes Ctrl+Z to the portal, and
each activation of that shortcut brings a view. The portal's first
screenshot fails as a busy one does: the first view comes all the same.
A screenshot the portal never answers (GNOME's, asked while another
program takes one) is closed and asked again: the view comes all the same,
long before the request's time is up.
Both ways of handing the shortcut over are served: in BindShortcuts as
the interface describes, and in CreateSession's options, where Plasma
5.27 takes it (its BindShortcuts would only open System Settings)."""

import json
import os

from drivers.pictures import coded_pattern, difference_box, middle_twice
from drivers.session import wait_until
from drivers.xsession import XSession
from drivers.zuz import end_view, zuz_with_view

W, H = 800, 600


def bound(record):
    try:
        with open(record) as f:
            return [json.loads(line) for line in f if line.strip()]
    except OSError:
        return []


def portal_shortcut_and_screenshot(args, mode):
    # The X server shows black: only the portal's picture can be magnified.
    with XSession(W, H, tray=False, env={"WAYLAND_DISPLAY": "wayland-elsewhere"}) as s:
        s._start_bus()
        picture = os.path.join(s.tmp, "desktop.png")
        pattern = coded_pattern(W, H)
        pattern.save(picture)
        record = os.path.join(s.tmp, "portal")
        portal = os.path.join(os.path.dirname(__file__), "drivers", "fakeportal.py")
        s.spawn(["/usr/bin/python3", portal, picture, record, mode])
        wait_until(lambda: os.path.exists(record + ".ready"), 10, "the portal")

        zuz = zuz_with_view(s, args.bin)
        want = middle_twice(pattern)
        # Clear of the buttons at the right edge.
        box = (0, 0, W - 64, H)
        wait_until(lambda: not difference_box(s.screenshot(), want, box),
                   10, "the portal's picture, its middle twice")

        calls = wait_until(lambda: bound(record), 10, "zuz to bind its shortcut")
        assert calls[0]["shortcuts"] == [
            {"id": "view", "description": "放大本屏", "preferred_trigger": "CTRL+z"}], calls
        end_view(s, zuz)

        for _ in range(2):
            s.spawn(["dbus-send", "--session", "--type=method_call",
                     "--dest=org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                     "org.example.Test.Press", "string:view"])
            # Well within the 20 s a request may take in all.
            zuz.view_window(timeout=10)
            wait_until(lambda: not difference_box(s.screenshot(), want, box),
                       5, "the portal's picture in the view")
            end_view(s, zuz)
        assert not any("settings opened" in c for c in bound(record)), bound(record)
        if mode == "stuck":
            stuck = [c["screenshot"] for c in bound(record) if c.get("stuck")]
            assert stuck and {"closed": stuck[0]} in bound(record), bound(record)


def test_portal_shortcut_bound(args):
    portal_shortcut_and_screenshot(args, "")


def test_plasma_527_shortcut_at_session(args):
    portal_shortcut_and_screenshot(args, "kde527")


def test_unanswered_screenshot_asked_again(args):
    portal_shortcut_and_screenshot(args, "stuck")
