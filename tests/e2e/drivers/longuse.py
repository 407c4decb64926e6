"""Long use of both programs on a real X server, and what they hold while
it goes on: resident memory, their resources in the X server (through the
X-Resource extension), their shared-memory segments and any grab left
standing. Shared by the end-to-end test (short runs) and the benchmark
(full runs)."""

import subprocess
import time

from Xlib import X
from Xlib.ext import res, xtest

from drivers.editor import Toolbar, pencil, stable_frame
from drivers.menus import choose
from drivers.session import proc_status, wait_until
from drivers.zuz import end_view

# Menu rows of the view's context menu.
SCROLLING, PUSH_PULL = 8, 10


def rss_kb(pid):
    return proc_status(pid, "VmRSS") or 0


def shm_segments(pid):
    """Segments the process created that still exist, as ipcs lists them."""
    out = subprocess.run(["ipcs", "-m", "-p"], capture_output=True, text=True,
                         check=True).stdout
    return [int(f[0]) for f in (line.split() for line in out.splitlines())
            if len(f) >= 4 and f[0].isdigit() and f[2] == str(pid)]


class Holdings:
    """What a process holds at one moment."""

    def __init__(self, s, pid):
        self.rss_kb = rss_kb(pid)
        self.shm = len(shm_segments(pid))
        self.x = x_resources(s, pid)

    def x_total(self, kind):
        return self.x.get(kind, 0)

    def grown(self, earlier, slack=0):
        """Resource kinds that grew by more than `slack` since `earlier`,
        with both counts."""
        out = {}
        for kind in set(self.x) | set(earlier.x):
            if kind == "pixmap bytes":
                continue
            if self.x.get(kind, 0) > earlier.x.get(kind, 0) + slack:
                out[kind] = (earlier.x.get(kind, 0), self.x.get(kind, 0))
        if self.shm > earlier.shm:
            out["shm segments"] = (earlier.shm, self.shm)
        return out

    def describe(self):
        kinds = ", ".join(f"{k} {v}" for k, v in sorted(self.x.items()))
        return f"RSS {self.rss_kb / 1024:.1f} MB; shm segments {self.shm}; X: {kinds}"


def client_base(s, pid):
    reply = s.dpy.res_query_client_ids([{"client": 0, "mask": res.LocalClientPIDMask}])
    for cid in reply.ids:
        if cid.spec.mask & res.LocalClientPIDMask and cid.value and cid.value[0] == pid:
            return cid.spec.client
    return None


def x_resources(s, pid):
    """The process's resources in the X server by kind, and its pixmap bytes."""
    base = client_base(s, pid)
    if base is None:
        return {}
    counts = {}
    for t in s.dpy.res_query_client_resources(base).types:
        counts[s.dpy.get_atom_name(t.resource_type).lower()] = t.count
    counts["pixmap bytes"] = s.dpy.res_query_client_pixmap_bytes(base).bytes
    return counts


def grabs_free(s):
    """True when no client holds the pointer or the keyboard."""
    root = s.root
    p = root.grab_pointer(False, X.ButtonPressMask, X.GrabModeAsync, X.GrabModeAsync,
                          X.NONE, X.NONE, X.CurrentTime)
    k = root.grab_keyboard(False, X.GrabModeAsync, X.GrabModeAsync, X.CurrentTime)
    if p == X.GrabSuccess:
        s.dpy.ungrab_pointer(X.CurrentTime)
    if k == X.GrabSuccess:
        s.dpy.ungrab_keyboard(X.CurrentTime)
    s.dpy.sync()
    return p == X.GrabSuccess and k == X.GrabSuccess


def ctrl_z(s):
    ctrl = s.dpy.keysym_to_keycode(0xFFE3)  # Control_L
    z = s.dpy.keysym_to_keycode(ord("z"))
    for kind, code in ((X.KeyPress, ctrl), (X.KeyPress, z), (X.KeyRelease, z),
                       (X.KeyRelease, ctrl)):
        xtest.fake_input(s.dpy, kind, code)
    s.dpy.sync()


def views(s, zuz, count, switch_every=0):
    """`count` Ctrl+Z views, each ended with Esc. With switch_every, every
    so many views switch scrolling, then push-pull, on for a stretch and
    off again from the view's menu; both are off when this returns."""
    on = {SCROLLING: False, PUSH_PULL: False}

    def switch(row):
        choose(s, s.width // 3, s.height // 3, row)
        on[row] = not on[row]

    for i in range(count):
        ctrl_z(s)
        zuz.view_window()
        if switch_every:
            step = i % (4 * switch_every)
            if step in (0, switch_every):
                switch(SCROLLING)
            elif step in (2 * switch_every, 3 * switch_every):
                switch(PUSH_PULL)
        end_view(s, zuz)
    for row in [r for r, state in on.items() if state]:
        ctrl_z(s)
        zuz.view_window()
        switch(row)
        end_view(s, zuz)


def picks(s, zonara, count):
    """`count` picks, each opening a magnified-region window; every other
    window is closed with a double-click, the rest by the next pick."""
    for i in range(count):
        open_picker(s, zonara)
        a = (100 + 7 * (i % 40), 100 + 5 * (i % 30))
        zonara.drag(a, (a[0] + 120 + i % 50, a[1] + 90))
        region = wait_until(zonara.region_windows, 10, "the magnified-region window")
        if i % 2:
            x, y, w, h = region[0][1]
            s.double_click(x + w // 2, y + h // 2)
            wait_until(lambda: not zonara.region_windows(), 10, "the window to close")
    close_regions(s, zonara)


def open_picker(s, zonara, attempts=3):
    """Clicks the control window until the picker is up: a click that comes
    while a window that has just closed still holds the pointer is lost."""
    for attempt in range(attempts):
        s.xdotool("mousemove", *zonara.control_centre())
        s.xdotool("click", "1")
        try:
            wait_until(zonara.picker_open, 10, "the picker")
            return
        except AssertionError:
            if attempt == attempts - 1:
                raise


def close_regions(s, zonara):
    for _, (x, y, w, h) in zonara.region_windows():
        s.double_click(x + w // 2, y + h // 2)
    wait_until(lambda: not zonara.region_windows(), 10, "the region windows to close")


def editor_trace(s, zuz, points):
    """Ctrl+Z, the pencil, the free-hand tool, one stroke of `points`
    positions, then a double-click beside it closes the editor."""
    ctrl_z(s)
    view = zuz.view_window()
    before, _ = stable_frame(s)
    editor = pencil(s, view, kept_above=False)
    Toolbar(s, before).click(1)  # "任意型"
    trace(s, points)
    s.double_click(60, s.height - 60)
    wait_until(lambda: not s.viewable(editor), 20, "the editor to close")
    zuz.view_gone()


def trace(s, points, centre=None, radius=200):
    """A free-hand stroke of `points` pointer positions, button held down."""
    import math
    cx, cy = centre or (s.width // 2, s.height // 2)
    xtest.fake_input(s.dpy, X.MotionNotify, x=cx + radius, y=cy)
    xtest.fake_input(s.dpy, X.ButtonPress, 1)
    for i in range(points):
        a = 2 * math.pi * i / 997
        r = radius * (0.5 + 0.5 * ((i // 997) % 7) / 7)
        xtest.fake_input(s.dpy, X.MotionNotify, x=int(cx + r * math.cos(a)),
                         y=int(cy + r * math.sin(a)))
        if i % 500 == 499:
            s.dpy.sync()
            time.sleep(0.002)
    xtest.fake_input(s.dpy, X.ButtonRelease, 1)
    s.dpy.sync()


__all__ = ["Holdings", "editor_trace", "grabs_free", "picks", "trace", "views"]
