"""Starting zuz on an XSession and looking at its views."""

import os

from drivers.pictures import middle_twice
from drivers.session import settle, stays, wait_until
from drivers.xsession import program_folder

MARKER = "Vivoduzivi.ini"


class Zuz:
    """zuz in a program folder of its own. The marker file is put there by
    default: it keeps the tip dialog away from tests of other things; the
    first-day journeys (test_journey_zuz.py) start without it."""

    def __init__(self, session, bin_dir, with_marker=True, folder=None):
        self.s = session
        self.folder = folder or program_folder(bin_dir, session.tmp, ("zuz", "Zonara"))
        if with_marker:
            with open(os.path.join(self.folder, MARKER), "wb") as f:
                f.write(b"\r\n")
        self.proc = None

    def start(self):
        self.proc = self.s.spawn([os.path.join(self.folder, "zuz")])
        return self.proc

    def view_window(self, timeout=10):
        """The full-screen view window, once it is mapped and covers the screen."""
        def find():
            for wid, g in self.s.geometries("zuz"):
                if g == (0, 0, self.s.width, self.s.height):
                    return wid
            return None
        return wait_until(find, timeout, "the zuz view to cover the screen")

    def view_gone(self, timeout=10):
        wait_until(lambda: not any(g[2:] == (self.s.width, self.s.height)
                                   for _, g in self.s.geometries("zuz")),
                   timeout, "the zuz view to be hidden")


def views(s):
    return [w for w, g in s.geometries("zuz") if g == (0, 0, s.width, s.height)]


def end_view(s, zuz):
    wid = zuz.view_window()
    s.xdotool("windowactivate", "--sync", wid, "key", "Escape")
    zuz.view_gone()


def expect_no_view(s, seconds=1.5):
    """Watches for a while that no view comes up."""
    stays(lambda: not views(s), seconds, "a view came up")


# --- on one monitor of several -------------------------------------------------
def view_on(s, box, timeout=10):
    """The view window once it covers exactly the monitor at box."""
    found = settle(lambda: s.geometries("zuz"), lambda ws: any(g == box for _, g in ws),
                   f"a zuz view covering {box}", timeout)
    return next(w for w, g in found if g == box)


def expect_view(f, s, pattern, box, what, scale=1):
    """The view covers the monitor and shows its middle twice, pixel for
    pixel; the buttons at its right edge are left out. f: Findings."""
    view_on(s, box)
    x, y, w, h = box
    keep = w - int(40 * scale)
    f.picture(s, (x, y, keep, h), middle_twice(pattern, box).crop((0, 0, keep, h)), what)


def end_view_on(s, box):
    wid = view_on(s, box)
    s.xdotool("windowactivate", "--sync", wid, "key", "Escape")
    settle(lambda: s.geometries("zuz"), lambda ws: all(g != box for _, g in ws),
           "the view to go")


def start_zuz_on(f, s, pattern, monitor, bin_dir, what):
    """Starts zuz with the pointer on the monitor: its start-up view must
    cover that monitor; then Esc."""
    zuz = Zuz(s, bin_dir)
    s.xdotool("mousemove", *monitor.centre)
    zuz.start()
    expect_view(f, s, pattern, monitor.box, what)
    end_view_on(s, monitor.box)
    return zuz


def zuz_with_view(s, bin_dir, **kw):
    """zuz started and its start-up view up."""
    zuz = Zuz(s, bin_dir, **kw)
    zuz.start()
    zuz.view_window()
    return zuz


def waiting_zuz(s, bin_dir):
    """zuz started and its start-up view ended: waiting for the next call."""
    zuz = zuz_with_view(s, bin_dir)
    end_view(s, zuz)
    return zuz
