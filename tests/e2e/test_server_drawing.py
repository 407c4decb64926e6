"""The X server's enlarged drawing of a captured picture, checked pixel for
pixel against the program's own (tst_server_stretch, a QtTest program, on
a private X server), and the pointer over a view drawn that way: the
view's hand, though the window under it is one the server draws in."""

import os
import subprocess

import time

from Xlib.ext import xfixes  # noqa: F401  (adds the display's xfixes calls)

from drivers.session import wait_until
from drivers.xsession import XSession, new_session
from drivers.zuz import zuz_with_view


def tool(args):
    # The test programs are built beside the programs' folder.
    return os.path.join(args.bin, os.pardir, "tests", "unit", "tst_server_stretch")


def test_matches_the_client_drawing(args):
    with XSession(1280, 960, wm=False, tray=False) as s:
        proc = subprocess.run([tool(args)], env=s.env, capture_output=True, text=True,
                              timeout=120)
        print(proc.stdout[-4000:], proc.stderr[-2000:])
        assert proc.returncode == 0, f"tst_server_stretch failed ({proc.returncode})"


def cursor(s):
    c = s.dpy.xfixes_get_cursor_image(s.root)
    return (c.width, c.height, c.xhot, c.yhot, tuple(c.cursor_image))


def settled_cursor(s):
    """The cursor once it has stayed the same for a while."""
    seen = [cursor(s)]

    def same_again():
        time.sleep(0.3)
        seen.append(cursor(s))
        return seen[-1] if seen[-1] == seen[-2] else None
    return wait_until(same_again, 5, "the cursor to settle")


def test_the_pointer_over_the_view(args):
    # The window the server draws in lies over the view: the pointer over
    # the picture must still be the view's open hand, closed while held.
    with new_session(800, 600) as s:
        s.dpy.xfixes_query_version()
        zuz = zuz_with_view(s, args.bin)
        s.xdotool("mousemove", 300, 300, "mousedown", 1)
        held = settled_cursor(s)
        s.xdotool("mouseup", 1)
        opened = settled_cursor(s)
        assert held != opened, "the same cursor held and released"
        zuz.proc.terminate()
        zuz.proc.wait(10)
        zuz.start()
        zuz.view_window()
        # A fresh view, and a move with no button: the view must hear it.
        s.xdotool("mousemove", 330, 320)
        wait_until(lambda: cursor(s) == opened, 5,
                   "the open hand over a fresh view, before any button")
