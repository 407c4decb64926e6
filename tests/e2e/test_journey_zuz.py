"""A new user's first day with zuz, every step checked on the screen: a
fresh program folder, so the tip dialog comes over the first view; closed
by its check box (the marker is written and the next start has no dialog)
or by "是" (no marker, the dialog comes back). Then view after view,
brought alternately by Ctrl+Z and the tray icon's right press and ended
in turn by Esc, X, the small button and the menu, each shown pixel for
pixel; a drag, "扩大1点5倍", "只纵向放大" and back to 2x; scrolling on and
off; the view after the desktop minimised it or showed the desktop; the
pencil, a rectangle moved and "撤消", a view after the editor; "Zonara" from
the menu; "退出！！！" takes the icon away; started again.

The whole day at scale 1 under openbox here; at QT_SCALE_FACTOR 2 and
under xfwm4 the first hour, in test_journey_zuz_first_hour.py."""

import os
import signal
import sys
import time

from Xlib import X
from Xlib.protocol import event

from test_editor import PARK, Toolbar, crop, drag, expect_screen, inset, viewable
from test_monitors import Findings, expect_view, painted
from test_tip_dialog import BACK, CHECKBOX_CENTRE as CHECKBOX, EXPECTED_MARKER
from test_tip_dialog import SIZE as TIP_SIZE
from test_tray_icon import expect_no_view, icon_gone, open_menu, quit_from_menu, tray_icon
from xsession import XSession, main, wait_until
from zuzdriver import MARKER, Zuz, decode

# Rows of the view's menu, counted with Down from a menu opened by the mouse.
END_VIEW, QUIT, VERTICAL_ONLY, ENLARGE_15, SCROLLING, ZONARA = 1, 3, 4, 7, 8, 12


class Day:
    """One user's session: the desktop, zuz and where its picture stands.
    The picture is kept as (left, top, zoom x, zoom y) in device pixels:
    the screen point (x, y) shows the desktop's ((x - left) / zoom x, ...)."""

    def __init__(self, s, args, scale):
        self.s, self.scale = s, scale
        self.pattern = painted(s)
        self.zuz = Zuz(s, args.bin, with_marker=False)
        self.marker = os.path.join(self.zuz.folder, MARKER)
        self.middle()

    def px(self, point):
        return tuple(round(v * self.scale) for v in point)

    def middle(self):
        """A new start: the middle twice, in a window of its own."""
        self.place = (-self.s.width / 2, -self.s.height / 2, 2, 2)
        self.window = None

    # --- what the screen shows ---------------------------------------------
    def grid(self, skip=()):
        """Points across the screen, clear of the buttons at the right edge,
        the tray at the bottom and the boxes in skip."""
        w, h = self.s.width, self.s.height
        right, bottom = w - round(48 * self.scale), h - 48
        pts = [(x, y) for x in range(8, right, max(1, right // 12))
               for y in range(8, bottom, max(1, bottom // 9))]
        return [(x, y) for x, y in pts
                if not any(a <= x < a + bw and b <= y < b + bh for a, b, bw, bh in skip)]

    def expect(self, place, what, skip=(), tolerance=1, timeout=10):
        """Waits until every grid point shows the desktop point the picture
        at `place` puts there (None: the desktop itself)."""
        left, top, zx, zy = place or (0, 0, 1, 1)
        points = self.grid(skip)
        bad = []

        def right():
            shot = self.s.screenshot()
            bad[:] = []
            for x, y in points:
                want = ((x + 0.5 - left) / zx, (y + 0.5 - top) / zy)
                got = decode(shot.getpixel((x, y)))
                if abs(got[0] - want[0]) > tolerance or abs(got[1] - want[1]) > tolerance:
                    bad.append(((x, y), got, tuple(int(v) for v in want)))
            return not bad
        try:
            wait_until(right, timeout, what)
        except AssertionError as e:
            raise AssertionError(f"{e}: (point, shows, want) {bad[:4]} of {len(bad)}") from None

    def expect_view(self, what, topmost=True):
        view = self.zuz.view_window()
        # The same window all day, with the native windows it draws with:
        # the surface the server draws the picture into and the buttons'.
        self.window = self.window or view
        assert view == self.window, f"{what}: the view's window was made anew"
        children = self.s.dpy.create_resource_object("window", view).query_tree().children
        assert len(children) >= 3, f"{what}: the view has {len(children)} native windows"
        if topmost:
            wait_until(lambda: "_NET_WM_STATE_ABOVE" in self.s.net_wm_state(view), 10,
                       f"{what}: a topmost view")
        if self.place == (-self.s.width / 2, -self.s.height / 2, 2, 2):
            # Pixel for pixel: each device pixel of the middle as 2 x 2.
            with Findings() as f:
                expect_view(f, self.s, self.pattern, (0, 0, self.s.width, self.s.height), what,
                            self.scale)
        else:
            self.expect(self.place, what)
        return view

    def desktop_back(self, what):
        self.zuz.view_gone()
        self.expect(None, f"{what}: the desktop itself again")

    # --- the tip dialog ----------------------------------------------------
    def dialogs(self):
        size = self.px(TIP_SIZE)
        return [w for w, g in self.s.geometries("zuz") if g[2:] == size]

    def tip_over_the_view(self):
        """The first view with the dialog on top, centred; returns both."""
        view = self.zuz.view_window()
        tip = wait_until(self.dialogs, 10, "the tip dialog")[0]
        assert "_NET_WM_STATE_ABOVE" in self.s.net_wm_state(tip), self.s.net_wm_state(tip)
        assert "_NET_WM_STATE_ABOVE" not in self.s.net_wm_state(view), "a topmost view"
        box = self.s.window_geometry(tip)
        x, y, w, h = box
        assert abs(x + w / 2 - self.s.width / 2) <= 1 and abs(y + h / 2 - self.s.height / 2) <= 1
        wait_until(lambda: self.s.screenshot((x + 5, y + h - 5, 1, 1)).getpixel((0, 0)) == BACK,
                   10, "the dialog's background on the screen")
        self.expect(self.place, "the first view around the dialog", skip=[box])
        return view, tip

    def press_in_tip(self, tip, point):
        x, y, _, _ = self.s.window_geometry(tip)
        px, py = self.px(point)
        self.s.xdotool("mousemove", x + px, y + py, "click", 1)
        wait_until(lambda: not self.dialogs(), 10, "the tip dialog to close")

    # --- asking for a view, ending it ----------------------------------------
    def ctrl_z(self):
        self.s.xdotool("key", "ctrl+z")

    def tray_press(self):
        _, (x, y, w, h) = tray_icon(self.s)
        self.s.xdotool("mousemove", x + w // 2, y + h // 2, "mousedown", 3)
        self.zuz.view_window()
        self.s.xdotool("mouseup", 3)

    def end(self, how, view):
        s = self.s
        if how == "Escape" or how == "x":
            s.xdotool("windowactivate", "--sync", view, "key", how)
        elif how == "button":
            # 300 x 255 twips, 20 twips from the right, at (height - 255) / 1.2.
            lw, lh = s.width / self.scale, s.height / self.scale
            s.xdotool("mousemove", round((lw - 320 / 15 + 10) * self.scale),
                      round(((lh - 17) / 1.2 + 8.5) * self.scale), "click", 1)
        else:
            self.menu(END_VIEW)
        self.desktop_back(f"ended by {how}")

    def menu(self, row, at=None):
        menus = open_menu(self.s, *(at or (self.s.width // 3, self.s.height // 3)))
        self.s.xdotool("key", *["Down"] * row, "Return")
        wait_until(lambda: not set(self.s.windows(cls="zuz")) & set(menus), 10,
                   "the menu to close")

    def views(self, count, first=0, during=None):
        """`count` views, brought by Ctrl+Z and the tray icon in turn and
        ended in turn by Esc, X, the small button and the menu; during(i)
        runs while view i is up."""
        for i in range(first, first + count):
            (self.ctrl_z if i % 2 == 0 else self.tray_press)()
            view = self.expect_view(f"view {i + 1} after the start-up one")
            if during:
                during(i)
            self.end(("Escape", "x", "button", "menu")[i % 4], view)

    def quit(self, at=None):
        quit_from_menu(self.s, self.zuz, at=at)
        icon_gone(self.s, 3)
        wait_until(lambda: self.zuz.proc.poll() is not None, 10, "zuz to end")
        assert self.zuz.proc.returncode == 0, self.zuz.proc.returncode

    # --- the desktop hides the view --------------------------------------------
    def hidden_by_the_desktop(self, how):
        view = self.zuz.view_window()
        if how == "minimise":
            self.s.xdotool("windowminimize", "--sync", view)
        else:
            self.show_desktop(True)
        wait_until(lambda: not viewable(self.s, view), 10, f"{how}: the view to be hidden")
        self.ctrl_z()
        self.expect_view(f"the view after {how}")
        if how != "minimise":
            self.show_desktop(False)

    def show_desktop(self, on):
        s = self.s
        atom = s.dpy.intern_atom("_NET_SHOWING_DESKTOP")
        s.root.send_event(event.ClientMessage(window=s.root, client_type=atom,
                                              data=(32, [int(on), 0, 0, 0, 0])),
                          event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        s.dpy.sync()


def first_view_and_tip(day, by):
    day.zuz.start()
    _, tip = day.tip_over_the_view()
    assert not os.path.exists(day.marker)
    day.press_in_tip(tip, by)


def whole_day(args):
    w, h = 1024, 768
    with XSession(w, h) as s:
        day = Day(s, args, 1)
        zuz = day.zuz
        first_view_and_tip(day, CHECKBOX)
        with open(day.marker, "rb") as f:
            assert f.read() == EXPECTED_MARKER
        day.expect_view("the first view, the dialog closed", topmost=False)
        day.end("Escape", zuz.view_window())

        # A left click and a double-click on the icon bring nothing.
        _, (x, y, iw, ih) = tray_icon(s)
        s.xdotool("mousemove", x + iw // 2, y + ih // 2, "click", 1)
        s.double_click(gap_ms=80)
        expect_no_view(s)

        def during(i):
            if i == 2:
                # A drag far past the corner stops at the window's edges.
                s.xdotool("mousemove", 20, 20, "mousedown", 1)
                for p in [(300, 300), (700, 600), (1000, 760)]:
                    s.xdotool("mousemove", *p)
                s.xdotool("mouseup", 1)
                day.place = (0, 0, 2, 2)
                day.expect(day.place, "the picture dragged to the corner")
                day.menu(ENLARGE_15)
                day.expect((0, 0, 1.5, 1.5), "1.5 times from the corner")
                day.menu(VERTICAL_ONLY)
                day.expect((0, 0, 1, 2), "twice in height only")
                day.menu(VERTICAL_ONLY)
                day.expect(day.place, "twice both ways again")
            elif i == 5:
                at = (w // 2, h // 2)
                before = s.screenshot((*at, 1, 1)).getpixel((0, 0))
                day.menu(SCROLLING)
                wait_until(lambda: s.screenshot((*at, 1, 1)).getpixel((0, 0)) != before, 10,
                           "the picture to scroll")
                day.menu(SCROLLING)
                still = {}

                def stopped():
                    now = s.screenshot((*at, 1, 1)).getpixel((0, 0))
                    same = still.get("px") == now
                    still["px"] = now
                    return same
                wait_until(stopped, 10, "the scrolling to stop", interval=0.3)
                # Back to a known place: the top-left corner.
                s.xdotool("mousemove", 20, 20, "mousedown", 1, "mousemove", 1000, 760,
                          "mouseup", 1)
                day.expect(day.place, "the picture dragged back to the corner")
        day.views(8, during=during)

        # Hidden long enough for the view to give its buffers back (2 s):
        # the next one comes up whole all the same.
        time.sleep(3)
        day.ctrl_z()
        day.expect_view("a view to be minimised")
        day.hidden_by_the_desktop("minimise")
        day.hidden_by_the_desktop("show desktop")

        # The pencil: the editor over the view as it was shown.
        view = zuz.view_window()
        before = s.screenshot()
        s.xdotool("mousemove", w - 12, 12, "click", 1)
        editor = wait_until(lambda: [e for e in s.windows(cls="zuz") if e != view and
                                     s.window_geometry(e) == (0, 0, w, h)], 10, "the editor")[0]
        wait_until(lambda: not viewable(s, view), 10, "the view to be hidden")
        wait_until(lambda: "_NET_WM_STATE_ABOVE" in s.net_wm_state(editor), 5,
                   "the editor to be kept above other windows")
        sel, dx, dy = (200, 250, 399, 399), 300, 60
        drag(s, sel[:2], sel[2:])
        toolbar = Toolbar(s, before)
        toolbar.click(2)  # the move tool
        drag(s, (300, 320), (300 + dx, 320 + dy))
        moved = crop(before, inset(sel, 2))
        white = [(moved.width * moved.height, (255, 255, 255))]
        expect_screen(s, "the rectangle moved, white behind it",
                      lambda shot: None if crop(shot, inset(sel, 2)).getcolors(1) == white
                      else "the old place is not white")
        toolbar.click(5)  # "撤消"
        expect_screen(s, "the rectangle back in its place",
                      lambda shot: None if crop(shot, inset(sel, 2)) == moved else "not back")
        s.double_click(*PARK, gap_ms=80)
        wait_until(lambda: not viewable(s, editor), 10, "the editor to close")
        expect_no_view(s, 1.0)
        day.ctrl_z()
        day.expect_view("a view after the editor")

        # "Zonara" from the view's menu starts the program beside zuz.
        day.menu(ZONARA)
        control = wait_until(lambda: [z for z, g in s.geometries("Zonara") if g[2:] == (33, 33)],
                             15, "Zonara's button")[0]
        # Not a child of the test's: ended the way a session ends it.
        pid = s.dpy.create_resource_object("window", control).get_full_property(
            s.dpy.intern_atom("_NET_WM_PID"), X.AnyPropertyType).value[0]
        os.kill(pid, signal.SIGTERM)
        wait_until(lambda: not s.windows(cls="Zonara"), 10, "Zonara to end")

        day.quit()
        # The marker is there now: no dialog, a topmost view, and quit.
        zuz.start()
        day.middle()
        day.expect_view("the view of the next start")
        deadline = time.monotonic() + 1.5
        while time.monotonic() < deadline:
            assert not day.dialogs(), "the dialog came back"
            time.sleep(0.05)
        day.quit()


if __name__ == "__main__":
    sys.exit(main([whole_day]))
