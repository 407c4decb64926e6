"""Both programs on one scaled monitor, the scale set each way a desktop
sets it: QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS or Xft.dpi. Whatever
the toolkit's logical pixels, Zonara's button sits in the screen's corner,
its picker shows the frozen screen one to one and the clipboard gets
exactly the device pixels under the dragged rectangle; zuz's view shows
each device pixel of the screen's middle as exactly 2 x 2 device pixels."""


from drivers.pictures import Findings
from drivers.xsession import XSession, painted
from drivers.zonara import CONTROL_SIZE, Zonara, expect_clipboard
from drivers.zuz import Zuz, expect_view


def scaled(args, width, height, scale, env=None, resources=None):
    with XSession(width, height, env=env) as s, Findings() as f:
        if resources:
            s.merge_resources(resources)
        pattern = painted(s)
        screen = (0, 0, width, height)

        z = Zonara.in_own_folder(s, args.bin, control_size=None)
        x, y, w, h = s.window_geometry(z.control)
        # Both programs get the same environment and resources: the size of
        # the button shows that the scale is in effect.
        assert abs(w - CONTROL_SIZE * scale) <= 1, f"the scale is not in effect: button {w} px"
        # Logical positions fall on every other device pixel at 1.5, so the
        # right edge may stop one short of the screen's edge, never beyond.
        want = (width, height - round(60 * scale))
        f.check(width - 1 <= x + w <= width and y == want[1],
                f"button's right edge and top at {(x + w, y)}, want {want}")
        box, before = z.open_picker(pattern)
        f.check(box == screen, f"picker covers {box}, want {screen}")
        f.picture(s, screen, before, "the picker's frozen picture, one to one")
        # On the grid of logical pixels and off it, where the toolkit rounds
        # the positions it hands over.
        for i, (a, b) in enumerate([((300, 240), (450, 360)), ((301, 241), (452, 362))]):
            if i:
                z.click_control()
            expect_clipboard(f, z.pick(a, b), pattern, a, b)
        z.proc.terminate()
        z.proc.wait(10)

        zuz = Zuz(s, args.bin)
        zuz.start()
        expect_view(f, s, pattern, screen, "the 2x view", scale)


def test_qt_scale_factor_one_and_a_half(args):
    scaled(args, 1536, 1152, 1.5, env={"QT_SCALE_FACTOR": "1.5"})


def test_qt_scale_factor_two(args):
    scaled(args, 2048, 1536, 2, env={"QT_SCALE_FACTOR": "2"})


def test_screen_scale_factor_one_and_a_half(args):
    scaled(args, 1536, 1152, 1.5, env={"QT_SCREEN_SCALE_FACTORS": "1.5"})


def test_xft_dpi_192(args):
    scaled(args, 2048, 1536, 2, resources="Xft.dpi: 192\n")
