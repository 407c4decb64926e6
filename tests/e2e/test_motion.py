"""zuz in motion on a real X desktop: scrolling started and stopped by
double-clicks, the push-pull zoom from the menu and the custom size
buttons."""

import time

from drivers.menus import choose
from drivers.pictures import coded_pattern, decode, shown
from drivers.session import wait_until
from drivers.xsession import new_session
from drivers.zuz import zuz_with_view

W, H = 1024, 768


def test_double_click_scrolls_and_stops(args):
    with new_session(W, H, coded_pattern) as s:
        zuz_with_view(s, args.bin)
        wait_until(lambda: shown(s, 100, 100) == (256 + 50, 192 + 50), 10, "the 2x view")
        s.double_click(100, 100, gap_ms=80)
        # The first tick puts the picture's top at the window's top; then it
        # creeps up one pixel every 50 ms.
        wait_until(lambda: shown(s, 100, 100)[1] < 192, 10, "the picture at the top")
        y0, t0 = shown(s, 100, 100)[1], time.monotonic()
        wait_until(lambda: shown(s, 100, 100)[1] >= y0 + 5, 10, "the picture to move up")
        rate = (shown(s, 100, 100)[1] - y0) * 2 / (time.monotonic() - t0)
        assert 5 < rate < 40, f"{rate:.1f} screen pixels a second"
        assert shown(s, 100, 100)[0] == 256 + 50, "scrolling moved the picture sideways"

        s.double_click(gap_ms=80)
        time.sleep(0.2)  # let a tick already under way land
        stopped = shown(s, 100, 100)
        time.sleep(0.6)  # twelve ticks' worth: nothing may move now
        assert shown(s, 100, 100) == stopped, "the second double-click did not stop it"


def test_push_pull_returns_to_the_whole_screen(args):
    with new_session(W, H, coded_pattern) as s:
        zuz_with_view(s, args.bin)
        wait_until(lambda: shown(s, 100, 100) == (306, 242), 10, "the 2x view")
        choose(s, 600, 400, 10)  # "推拉效果"
        frames = set()

        def one_to_one():
            shot = s.screenshot()
            points = [(40, 40), (500, 300), (900, 600)]
            seen = tuple(decode(shot.getpixel(p)) for p in points)
            frames.add(seen)
            return all(abs(sx - x) <= 2 and abs(sy - y) <= 2
                       for (sx, sy), (x, y) in zip(seen, points))
        wait_until(one_to_one, 10, "a frame of the whole screen 1:1", interval=0.01)
        # ...and it zooms back into the centre.
        wait_until(lambda: abs(shown(s, 40, 40)[0] - 40) > 100, 10, "zooming back in")
        assert len(frames) > 5, f"only {len(frames)} different frames"


def test_custom_size_buttons(args):
    with new_session(W, H, coded_pattern) as s:
        zuz_with_view(s, args.bin)
        wait_until(lambda: shown(s, 900, 300) == (256 + 450, 192 + 150), 10, "the 2x view")
        choose(s, 600, 400, 5)  # "自定义zuz"
        # "宽+" sits at (4080, 2880) twips: (272, 192) pixels, 33 x 17.
        wait_until(lambda: shown(s, 288, 200) != (256 + 144, 192 + 100), 10,
                   "the custom size buttons")
        for _ in range(5):
            s.xdotool("mousemove", 288, 200, "click", 1)
        # Five clicks widen the picture by 1000 twips, from its left edge.
        want = int((900 + 512 + 0.5) * 1024 / (2048 + 1000 / 15))
        wait_until(lambda: abs(shown(s, 900, 300)[0] - want) <= 1, 10,
                   f"the wider enlargement (source x {want})")
        assert shown(s, 900, 300)[1] == 192 + 150, "the height changed too"
