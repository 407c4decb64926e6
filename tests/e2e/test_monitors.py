"""Both programs on a desktop of two monitors (Xorg's dummy driver). zuz:
the view comes up on the monitor under the pointer (at start, on Ctrl+Z,
from the tray icon), shows that monitor's middle twice and scrolls from
that monitor's top, wherever the monitor lies. Zonara: the button starts
at the primary monitor's bottom-right corner, a pick covers the monitor
of the button, copies exactly the pixels picked, and the region window
opens centred on that monitor and snaps to its edges.

Every pixel of the desktop names its own root coordinates, so a picture
from the wrong monitor, or shifted on the right one, shows up as wrong
coordinates in the failure message."""


from drivers.pictures import Findings, crop, shown
from drivers.tray import press_icon, tray_icon
from drivers.xorgsession import XorgSession
from drivers.xsession import painted
from drivers.zonara import CONTROL_SIZE, Zonara, drag_button, drag_window, expect_pick
from drivers.zuz import end_view_on, expect_view, start_zuz_on

# A primary monitor to the right of a smaller one.
SIDE_BY_SIDE = [(1024, 768, 0, 0, False), (1280, 960, 1024, 0, True)]
# A primary monitor below a narrower one that stands in from its left.
STACKED = [(1024, 768, 0, 600, True), (800, 600, 224, 0, False)]
# Zonara's desktop: the primary monitor is neither at the origin nor at the
# desktop's bottom; the other one lies lower left, its top and right edges
# inside the desktop, where no edge of the root window would explain a snap.
BESIDE_LOWER = [(1024, 768, 800, 0, True), (800, 600, 0, 400, False)]

def test_zuz_follows_the_pointer_across_monitors(args):
    with XorgSession(SIDE_BY_SIDE) as s, Findings() as f:
        pattern = painted(s)
        left, primary = s.monitors
        zuz = start_zuz_on(f, s, pattern, left, args.bin, "the start-up view on the left monitor")

        # The primary monitor starts at x = 1024, not at the origin.
        s.xdotool("mousemove", *primary.centre, "key", "ctrl+z")
        expect_view(f, s, pattern, primary.box, "Ctrl+Z on the primary monitor")
        end_view_on(s, primary.box)

        # The tray host stands on the left monitor.
        _, (x, y, w, h) = tray_icon(s)
        assert s.monitor_at(x, y) == left, f"the tray icon at {(x, y)} is not on {left}"
        press_icon(s, lambda: expect_view(f, s, pattern, left.box,
                                          "the tray icon's view on the left monitor"))
        assert zuz.proc.poll() is None, "zuz ended"


def test_zuz_on_stacked_monitors(args):
    with XorgSession(STACKED) as s, Findings() as f:
        pattern = painted(s)
        lower, upper = s.monitors
        zuz = start_zuz_on(f, s, pattern, upper, args.bin,
                           "the start-up view on the upper monitor")

        s.xdotool("mousemove", *lower.centre, "key", "ctrl+z")
        expect_view(f, s, pattern, lower.box, "Ctrl+Z on the lower, primary monitor")
        # A double-click scrolls: the picture's top comes to the window's
        # top, the monitor's top row first, then it creeps upwards.
        at = (lower.x + 100, lower.y + 100)
        top = (lower.x + lower.w // 4 + 50, lower.y + 50)
        s.double_click(*at, gap_ms=80)
        f.settle(lambda: shown(s, *at),
                 lambda p: p[0] == top[0] and top[1] <= p[1] <= top[1] + 20,
                 f"scrolling from the monitor's top: {at} showing {top} or a little lower")
        assert zuz.proc.poll() is None, "zuz ended"


def test_zonara_starts_on_the_primary_monitor(args):
    with XorgSession(BESIDE_LOWER) as s, Findings() as f:
        pattern = painted(s)
        primary = s.primary
        z = Zonara.in_own_folder(s, args.bin)
        # Its right edge on the monitor's right edge, its top 60 px above the
        # monitor's bottom.
        want = (primary.x + primary.w - CONTROL_SIZE, primary.y + primary.h - 60)
        got = s.window_geometry(z.control)[:2]
        f.check(got == want, f"button at {got}, want {want}, the corner of {primary}")
        if s.monitor_at(*z.control_centre()) != primary:
            drag_button(s, z, primary.centre)  # to pick there all the same
        box, before = z.open_picker(pattern)
        f.check(box == primary.box, f"picker covers {box}, want {primary.box}")
        f.picture(s, primary.box, crop(before, primary.box),
                  "the picker's frozen picture of the primary monitor")
        expect_pick(f, s, z, pattern, (1000, 200), (1061, 241), primary)
        assert z.proc.poll() is None, "Zonara ended"


def test_zonara_picks_on_the_monitor_of_its_button(args):
    with XorgSession(BESIDE_LOWER) as s, Findings() as f:
        pattern = painted(s)
        other = next(m for m in s.monitors if not m.primary)
        z = Zonara.in_own_folder(s, args.bin)
        # The user drags the button onto the other monitor first, near its
        # bottom-left corner, clear of the region window to come.
        drag_button(s, z, (other.x + 60, other.y + other.h - 60))

        box, before = z.open_picker(pattern)
        assert box == other.box, f"picker covers {box}, want {other.box}, under the button"
        f.picture(s, other.box, crop(before, other.box),
                  "the picker's frozen picture of the monitor")
        wid = expect_pick(f, s, z, pattern, (150, 450), (211, 491), other)

        # Dragged to within a few pixels of the monitor's inner edges, it
        # snaps to them: the right edge meets the primary monitor, the top
        # is 400 px down the desktop.
        x, y, w, h = s.window_geometry(wid)
        drag_window(s, wid, other.x + other.w - 6 - (x + w), 0)
        f.settle(lambda: s.window_geometry(wid), lambda g: g[0] + g[2] == other.x + other.w,
                 f"the window's right edge to snap to x = {other.x + other.w}")
        x, y, w, h = s.window_geometry(wid)
        drag_window(s, wid, 0, other.y + 6 - y)
        f.settle(lambda: s.window_geometry(wid), lambda g: g[1] == other.y,
                 f"the window's top to snap to y = {other.y}")
        assert z.proc.poll() is None, "Zonara ended"
