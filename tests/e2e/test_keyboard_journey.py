"""A view used by the keyboard alone, as a user who cannot reach for the
mouse uses it: pan, zoom and back, inverted colours, greyscale, contrast up
and down, smooth enlargement, crosshairs, the reading band while the
picture scrolls (started from the menu that Shift+F10 opens), the key list,
and Esc; every step checked on the screen. The region window's inversion
is in test_region_pick.py."""

import time

import pytest

from drivers.pictures import coded_pattern, decode, shown
from drivers.session import wait_until
from drivers.xsession import new_session
from drivers.zuz import zuz_with_view

W, H = 1024, 768
BOX = (40, 60, 300, 200)  # compared by the colour steps: clear of buttons and pointer
SCROLL = 8  # "上下自动滚动", rows down the view's menu


def pixels(s):
    return list(s.screenshot(BOX).getdata())


def expect_pixels(s, rule, before, what):
    """Waits until every pixel of BOX is rule(pixel before)."""
    want = [rule(p) for p in before]
    wait_until(lambda: pixels(s) == want, 10, what)


def menu_by_keys(s, downs):
    before = set(s.windows(cls="zuz"))
    s.xdotool("key", "shift+F10")
    wait_until(lambda: set(s.windows(cls="zuz")) - before, 10, "the menu from Shift+F10")
    s.xdotool("key", *(["Down"] * downs), "Return")


@pytest.mark.parametrize("scale", [1, 2])
def test_a_view_by_keys_alone(args, scale):
    # The steps are in device pixels, the same at either scale.
    with new_session(W, H, coded_pattern, env={"QT_SCALE_FACTOR": str(scale)}) as s:
        zuz = zuz_with_view(s, args.bin)
        view = zuz.view_window()
        s.xdotool("windowactivate", "--sync", view, "mousemove", 900, 700)
        wait_until(lambda: shown(s, 200, 100) == (356, 242), 10, "the 2x view")

        # Right: an eighth of the screen; Shift+Down: a whole screen, held
        # at the picture's bottom edge.
        s.xdotool("key", "Right")
        wait_until(lambda: shown(s, 200, 100) == (420, 242), 10, "the picture panned right")
        s.xdotool("key", "shift+Down")
        wait_until(lambda: shown(s, 200, 100) == (420, 434), 10, "the picture panned to its foot")
        centre = shown(s, W // 2, H // 2)
        # + zooms in about the middle of the screen, 0 goes back to 2x.
        s.xdotool("key", "plus")
        wait_until(lambda: shown(s, 200, 100)[0] > 420 and shown(s, W // 2, H // 2) == centre, 10,
                   "zoomed in about the middle")
        s.xdotool("key", "0")
        wait_until(lambda: shown(s, 200, 100) == (centre[0] - 156, centre[1] - 142), 10,
                   "the zoom mode's size again")

        # The colour aids, each exact, each undone by its key.
        before = pixels(s)
        s.xdotool("key", "i")
        expect_pixels(s, lambda p: tuple(255 - c for c in p), before, "inverted colours")
        s.xdotool("key", "i", "key", "g")
        grey = lambda p: ((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8,) * 3
        expect_pixels(s, grey, before, "greyscale")
        s.xdotool("key", "g", "key", "c")

        def stronger():
            now = pixels(s)
            return now != before and all(abs(n - 127.5) >= abs(b - 127.5) for p, q in zip(before, now)
                                         for b, n in zip(p, q))
        wait_until(stronger, 10, "higher contrast, every channel further from the middle")
        s.xdotool("key", "shift+c")
        expect_pixels(s, lambda p: p, before, "normal contrast again")

        # Smooth enlargement: the 2 x 2 blocks of sharp pixels blend.
        s.xdotool("key", "s")
        wait_until(lambda: pixels(s) != before, 10, "smooth enlargement")
        s.xdotool("key", "s")
        expect_pixels(s, lambda p: p, before, "sharp pixels again")

        # Crosshairs through the pointer, red over the picture, with a gap
        # around it.
        s.xdotool("mousemove", 700, 500)
        at_pointer = s.screenshot((700, 505, 1, 1)).getpixel((0, 0))
        s.xdotool("key", "h")
        red = lambda p: p[0] >= 165 and p[1] <= 90 and p[2] <= 90
        wait_until(lambda: red(s.screenshot((700, 300, 1, 1)).getpixel((0, 0)))
                   and red(s.screenshot((400, 500, 1, 1)).getpixel((0, 0))), 10, "the crosshairs")
        assert s.screenshot((700, 505, 1, 1)).getpixel((0, 0)) == at_pointer, "no gap at the pointer"
        s.xdotool("key", "h")

        # The reading band at the pointer's height; the picture scrolls
        # through it while it stays.
        s.xdotool("mousemove", 500, 400, "key", "l")
        column = shown(s, 200, 400)[0]
        shade = lambda: s.screenshot((200, 650, 1, 1)).getpixel((0, 0))
        wait_until(lambda: abs(shade()[0] - (column & 0xFF) // 3) <= 2, 10, "the shade below the band")
        menu_by_keys(s, SCROLL)
        rows = set()
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            clear = decode(s.screenshot((200, 400, 1, 1)).getpixel((0, 0)))
            assert clear and clear[0] == column, f"the band left row 400: {clear}"
            assert abs(shade()[0] - (column & 0xFF) // 3) <= 2, "row 650 not shaded"
            rows.add(clear[1])
            time.sleep(0.1)
        assert len(rows) > 3, f"the picture did not scroll under the band: {rows}"
        menu_by_keys(s, SCROLL)
        s.xdotool("key", "l")

        # F1 lists the keys over the view; any key closes the list.
        still = s.screenshot()
        s.xdotool("key", "F1")
        wait_until(lambda: s.screenshot().tobytes() != still.tobytes(), 10, "the key list")
        s.xdotool("key", "space")
        wait_until(lambda: s.screenshot().tobytes() == still.tobytes(), 10, "the key list closed")

        s.xdotool("key", "Escape")
        zuz.view_gone()
        assert zuz.proc.poll() is None
