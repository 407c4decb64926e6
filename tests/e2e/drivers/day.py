"""A user's day with zuz on an XSession, every step checked on the screen
(test_journey_zuz.py and test_journey_zuz_first_hour.py)."""

import os

from Xlib import X
from Xlib.protocol import event

from drivers.menus import close_menu, open_menu, quit_from_menu
from drivers.pictures import Findings, decode
from drivers.session import settle, wait_until
from drivers.tipdialog import BACK, dialogs
from drivers.tray import icon_gone, press_icon
from drivers.xsession import painted
from drivers.zuz import MARKER, Zuz, expect_view

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

        def wrong():
            shot = self.s.screenshot()
            bad = []
            for x, y in points:
                want = ((x + 0.5 - left) / zx, (y + 0.5 - top) / zy)
                got = decode(shot.getpixel((x, y)))
                if abs(got[0] - want[0]) > tolerance or abs(got[1] - want[1]) > tolerance:
                    bad.append(((x, y), got, tuple(int(v) for v in want)))
            return f"(point, shows, want) {bad[:4]} of {len(bad)}" if bad else None
        settle(wrong, lambda fault: fault is None, what, timeout)

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
        return dialogs(self.s, self.scale)

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
        press_icon(self.s, self.zuz.view_window)

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
        close_menu(self.s, ["Down"] * row + ["Return"], menus)

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
        wait_until(lambda: not self.s.viewable(view), 10, f"{how}: the view to be hidden")
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
