"""A new user's first day with Zonara, every step checked on the screen: a
fresh program folder, so the tip dialog comes first and its check box
writes the marker; picks at the ratios 2, 4 and 6, each putting exactly
the picked pixels on the clipboard and showing them enlarged in a window
centred on the screen; that window dragged to an edge, where it snaps;
"全屏放大" starts zuz; "结束放大" ends the program and takes its picture
off the clipboard. At scale 1 under openbox the whole day; at
QT_SCALE_FACTOR 2 under xfwm4 the tip dialog and a pick."""

import os

from PIL import Image

from drivers.clipboard import clip_targets
from drivers.menus import quit_from_menu
from drivers.pictures import Findings, picture_differs
from drivers.session import wait_until
from drivers.xsession import XSession, painted, program_folder
from drivers.zonara import (CONTROL_SIZE, MARKER, TIP_CHECKBOX, Zonara, drag_window,
                            expect_clipboard, tip_dialogs)
from drivers.zuz import Zuz

# Rows of the button's menu, counted with Down.
RATIO, WHOLE_SCREEN, END = 2, 6, 7


class NewZonara(Zonara):
    """Zonara started from a fresh folder that holds zuz too."""

    def __init__(self, s, bin_dir, scale):
        self.scale = scale
        self.folder = program_folder(bin_dir, s.tmp, names=("Zonara", "zuz"))
        super().__init__(s, self.folder, round(CONTROL_SIZE * scale))

    def tips(self):
        return tip_dialogs(self.xs, self.scale)

    def region_windows(self):
        return [(w, g) for w, g in super().region_windows() if w not in self.tips()]

    def ratio(self, n):
        self.menu_command(RATIO)
        self.xs.xdotool("key", "Right", *["Down"] * (n // 2 - 1), "Return")


def tip_first(s, z, scale):
    tip = wait_until(z.tips, 10, "the tip dialog")[0]
    assert "_NET_WM_STATE_ABOVE" in s.net_wm_state(tip), s.net_wm_state(tip)
    assert "_NET_WM_STATE_ABOVE" in s.net_wm_state(z.control), s.net_wm_state(z.control)
    x, y, _, _ = s.window_geometry(tip)
    marker = os.path.join(z.folder, MARKER)
    assert not os.path.exists(marker)
    s.xdotool("mousemove", x + round(TIP_CHECKBOX[0] * scale),
              y + round(TIP_CHECKBOX[1] * scale), "click", 1)
    wait_until(lambda: not z.tips(), 10, "the tip dialog to close")
    wait_until(lambda: os.path.exists(marker), 10, "the marker file")


def pick(f, s, z, pattern, ratio, a, b):
    """A pick from a to b: the clipboard, and the region window centred
    with the picture `ratio` times enlarged inside a border of one logical
    pixel."""
    border = round(z.scale)
    if ratio != 2:
        z.ratio(ratio)
    z.click_control()
    expect_clipboard(f, z.pick(a, b), pattern, a, b)
    w, h = b[0] - a[0], b[1] - a[1]
    wid, (x, y, ww, wh) = z.region_window((ratio * w + 2 * border, ratio * h + 2 * border))
    # Centred in logical pixels: half of an odd difference is rounded.
    centre = ((s.width - ww) // 2, (s.height - wh) // 2)
    f.check(abs(x - centre[0]) <= border and abs(y - centre[1]) <= border,
            f"ratio {ratio}: the region window at {(x, y)}, not centred at {centre}")
    big = pattern.crop(a + b).resize((ratio * w, ratio * h), Image.NEAREST)
    diff = picture_differs(s, (x + border, y + border, ratio * w, ratio * h), big)
    f.check(diff is None, f"ratio {ratio}: the enlarged picture: {diff}")
    return wid


def end_clears_the_clipboard(z):
    assert z.end() == 0
    targets = clip_targets(z.xs)
    assert not any(t.startswith("image/") for t in targets), targets


def test_whole_day(args):
    with XSession(1024, 768) as s, Findings() as f:
        pattern = painted(s)
        z = NewZonara(s, args.bin, 1)
        tip_first(s, z, 1)
        pick(f, s, z, pattern, 2, (200, 150), (261, 191))
        pick(f, s, z, pattern, 4, (50, 60), (101, 97))
        wid = pick(f, s, z, pattern, 6, (600, 400), (640, 430))

        # Dragged to within a few pixels of the left edge, it snaps to it.
        x, y, w, h = s.window_geometry(wid)
        drag_window(s, wid, 6 - x, 0)
        f.settle(lambda: s.window_geometry(wid)[0], lambda left: left == 0,
                 "the region window to snap to the left edge")

        # "全屏放大": zuz from the same folder, its first view.
        z.menu_command(WHOLE_SCREEN)
        zuz = Zuz(s, args.bin, with_marker=False, folder=z.folder)
        zuz.view_window(15)
        zuz.proc = None
        quit_from_menu(s, zuz, at=(100, 100))
        wait_until(lambda: not s.windows(cls="zuz"), 10, "zuz to end")

        end_clears_the_clipboard(z)


def test_scale_two_under_xfwm4(args):
    with XSession(2048, 1536, wm="xfwm4", env={"QT_SCALE_FACTOR": "2"}) as s, \
            Findings() as f:
        pattern = painted(s)
        z = NewZonara(s, args.bin, 2)
        tip_first(s, z, 2)
        pick(f, s, z, pattern, 2, (400, 300), (523, 381))
        end_clears_the_clipboard(z)
