"""The first hour of a new user's day with zuz (test_journey_zuz.py has the
whole day) where desktops differ: at QT_SCALE_FACTOR 2 under openbox, the
tip dialog closed by "是", and under xfwm4, closed by its check box. The
tip dialog over the first view, views after it, one after the desktop
minimised it, and the next start with or without the dialog."""

import os

from drivers.day import Day, first_view_and_tip
from drivers.tipdialog import CHECKBOX_CENTRE as CHECKBOX, YES_CENTRE as YES
from drivers.xsession import XSession


def first_hour(args, scale, wm, by):
    """The tip dialog, then views: the second one is where a view that lost
    its drawing surface shows black."""
    w, h = 1024 * scale, 768 * scale
    env = {"QT_SCALE_FACTOR": str(scale)} if scale != 1 else None
    with XSession(w, h, wm=wm, env=env) as s:
        day = Day(s, args, scale)
        first_view_and_tip(day, by)
        day.expect_view("the first view, the dialog closed", topmost=False)
        day.end("Escape", day.zuz.view_window())
        day.views(4)
        day.ctrl_z()
        day.expect_view("a view to be minimised")
        day.hidden_by_the_desktop("minimise")
        day.quit(at=(100, 100))
        zuz_again = by == YES
        day.zuz.start()
        day.middle()
        if zuz_again:
            # "是" wrote no marker: the dialog comes back.
            assert not os.path.exists(day.marker)
            day.tip_over_the_view()
        else:
            day.expect_view("the view of the next start")
        day.quit(at=(100, 100))


def test_scale_two_closed_by_yes(args):
    first_hour(args, 2, "openbox", YES)


def test_xfwm4_closed_by_the_check_box(args):
    first_hour(args, 1, "xfwm4", CHECKBOX)
