"""zuz in the notification area of a real tray host (trayer): the icon is
embedded and alternates its two frames every second. That a right-button
press on it brings a topmost view, left clicks nothing, and "退出！！！"
takes it away at once is part of the first-day journey
(test_journey_zuz.py).

The helpers here are shared by test_hotkey_*.py and test_tip_*.py."""

import sys
import time

from Xlib import X

from xsession import main, wait_until
from zuzdriver import Zuz, new_session


def middle_twice(w, h):
    return lambda x, y: (w / 4 + x / 2, h / 4 + y / 2)


def tray_icon(s, timeout=10):
    """The icon's window: a small zuz window embedded (reparented) into the
    tray host and mapped. Returns (window id, box on the screen)."""
    def find():
        for wid in s.windows(cls="zuz", visible=False):
            x, y, w, h = s.window_geometry(wid)
            if w > 64 or h > 64:
                continue
            win = s.dpy.create_resource_object("window", wid)
            try:
                if win.get_attributes().map_state != X.IsViewable:
                    continue
                parent = win.query_tree().parent
            except Exception:
                continue
            if parent.id != s.root.id:
                return wid, (x, y, w, h)
        return None
    return wait_until(find, timeout, "the zuz icon embedded in the tray")


def icon_gone(s, timeout=3):
    def gone():
        for wid in s.windows(cls="zuz", visible=False):
            _, _, w, h = s.window_geometry(wid)
            if w <= 64 and h <= 64:
                win = s.dpy.create_resource_object("window", wid)
                try:
                    if win.get_attributes().map_state == X.IsViewable:
                        return False
                except Exception:
                    pass
        return True
    wait_until(gone, timeout, "the tray icon to go")


def views(s):
    return [w for w, g in s.geometries("zuz") if g == (0, 0, s.width, s.height)]


def end_view(s, zuz):
    wid = zuz.view_window()
    s.xdotool("windowactivate", "--sync", wid, "key", "Escape")
    zuz.view_gone()


def expect_no_view(s, seconds=1.5):
    """Watches for a while that no view comes up."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        assert not views(s), "a view came up"
        time.sleep(0.05)


def open_menu(s, x, y, attempts=4):
    """Right-clicks on the view until its context menu is up (a click that
    comes while a menu that just closed still holds the pointer is lost)."""
    before = set(s.windows(cls="zuz"))
    for attempt in range(attempts):
        s.xdotool("mousemove", x, y, "click", 3)
        try:
            return wait_until(lambda: set(s.windows(cls="zuz")) - before, 2.5,
                              "the context menu")
        except AssertionError:
            if attempt == attempts - 1:
                raise


def close_menu(s, keys, menus):
    s.xdotool("key", *keys)
    wait_until(lambda: not (set(s.windows(cls="zuz")) & set(menus)), 10, "the menu to close")


def quit_from_menu(s, zuz, at=None):
    """Right-click on the view and choose "退出！！！" (third item)."""
    zuz.view_window()
    x, y = at or (s.width // 3, s.height // 3)
    open_menu(s, x, y)
    s.xdotool("key", "Down", "Down", "Down", "Return")


def icon_alternates_every_second(args):
    w, h = 800, 600
    with new_session(w, h) as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        end_view(s, zuz)
        wid, box = tray_icon(s)
        # Watch the icon for a bit over three seconds.
        shots, changes = [], []
        last = s.screenshot(box).tobytes()
        shots.append(last)
        start = time.monotonic()
        while time.monotonic() - start < 3.3:
            now = s.screenshot(box).tobytes()
            if now != last:
                changes.append(time.monotonic())
                shots.append(now)
                last = now
            time.sleep(0.02)
        assert len(changes) >= 2, f"the icon changed {len(changes)} times in 3.3 s"
        assert len(set(shots)) == 2, f"{len(set(shots))} different icon pictures"
        for a, b in zip(changes, changes[1:]):
            assert 0.7 < b - a < 1.3, f"frames {b - a:.2f}s apart"
        # Two screenshots a second apart differ.
        first = s.screenshot(box).tobytes()
        time.sleep(1.0)
        assert s.screenshot(box).tobytes() != first, "the icon did not change in a second"
        assert zuz.proc.poll() is None


if __name__ == "__main__":
    sys.exit(main([icon_alternates_every_second]))
