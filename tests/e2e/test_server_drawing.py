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


def test_aids_on_the_server(args):
    # The colour aids and the reading band on the path the server draws:
    # inversion exactly 255 minus each channel, the band still while the
    # picture scrolls under it.
    from drivers.pictures import coded_pattern, decode, shown
    with new_session(1024, 768, coded_pattern) as s:
        zuz = zuz_with_view(s, args.bin)
        view = s.dpy.create_resource_object("window", zuz.view_window())
        wait_until(lambda: shown(s, 200, 100) == (356, 242), 10, "the 2x view")
        def on_server():
            # A child window the server draws in covers the whole view.
            return any(c.get_attributes().map_state == 2 and c.get_geometry().width == s.width
                       and c.get_geometry().height == s.height
                       for c in view.query_tree().children)
        assert on_server(), "no window the server draws the picture in"
        box = (40, 60, 300, 200)
        before = s.screenshot(box)
        s.xdotool("windowactivate", "--sync", view.id, "mousemove", 900, 700, "key", "i")

        def inverted():
            now = s.screenshot(box)
            return all(tuple(255 - c for c in a) == b
                       for a, b in zip(before.getdata(), now.getdata()))
        wait_until(inverted, 10, "every pixel of the box inverted exactly")
        assert on_server(), "the inverted picture is not drawn by the server"
        s.xdotool("key", "i")
        wait_until(lambda: shown(s, 200, 100) == (356, 242), 10, "inversion off again")

        # The band about the pointer: 153 rows clear from 324, the rest at a
        # third. Source column 356 has red 100: 33 under the shade.
        s.xdotool("mousemove", 500, 400, "key", "l")
        wait_until(lambda: abs(s.screenshot((200, 650, 1, 1)).getpixel((0, 0))[0] - 33) <= 2,
                   10, "the shade below the band")
        assert decode(s.screenshot((200, 400, 1, 1)).getpixel((0, 0)))[0] == 356
        s.double_click(500, 400, gap_ms=80)  # scrolling, the pointer left where it is
        s.xdotool("mousemove", 500, 650)
        rows = set()
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            clear = s.screenshot((200, 400, 1, 1)).getpixel((0, 0))
            shade = s.screenshot((200, 650, 1, 1)).getpixel((0, 0))
            assert decode(clear)[0] == 356, f"the band left row 400: {clear}"
            assert abs(shade[0] - 33) <= 2, f"row 650 not shaded: {shade}"
            rows.add(decode(clear)[1])
            time.sleep(0.1)
        assert len(rows) > 3, f"the picture did not scroll under the band: {rows}"
        assert on_server(), "the band is not drawn by the server"
