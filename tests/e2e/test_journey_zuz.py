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
import time

from Xlib import X

from drivers.day import ENLARGE_15, SCROLLING, VERTICAL_ONLY, ZONARA, Day, first_view_and_tip
from drivers.editor import (MOVE_TOOL, PARK, UNDO, Toolbar, crop_rect, drag, expect_screen, inset,
                            pencil)
from drivers.session import stays, wait_until
from drivers.tipdialog import CHECKBOX_CENTRE as CHECKBOX, EXPECTED_MARKER
from drivers.tray import tray_icon
from drivers.xsession import XSession
from drivers.zuz import expect_no_view


def test_whole_day(args):
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
        editor = pencil(s, view)
        sel, dx, dy = (200, 250, 399, 399), 300, 60
        drag(s, sel[:2], sel[2:])
        toolbar = Toolbar(s, before)
        toolbar.click(MOVE_TOOL)
        drag(s, (300, 320), (300 + dx, 320 + dy))
        moved = crop_rect(before, inset(sel, 2))
        white = [(moved.width * moved.height, (255, 255, 255))]
        expect_screen(s, "the rectangle moved, white behind it",
                      lambda shot: None if crop_rect(shot, inset(sel, 2)).getcolors(1) == white
                      else "the old place is not white")
        toolbar.click(UNDO)
        expect_screen(s, "the rectangle back in its place",
                      lambda shot: None if crop_rect(shot, inset(sel, 2)) == moved else "not back")
        s.double_click(*PARK, gap_ms=80)
        wait_until(lambda: not s.viewable(editor), 10, "the editor to close")
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
        stays(lambda: not day.dialogs(), 1.5, "the dialog came back")
        day.quit()
