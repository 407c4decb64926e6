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

import io
import os
import sys

from PIL import Image

from test_region_pick import Zonara as PlainZonara
from test_region_pick import clip_put, clip_read, clip_targets
from test_tray_icon import tray_icon
from xorgsession import XorgSession, coded_root, first_difference, picture_differs
from xsession import Timeout, main, program_folder, wait_until
from zuzdriver import Zuz, decode

# A primary monitor to the right of a smaller one.
SIDE_BY_SIDE = [(1024, 768, 0, 0, False), (1280, 960, 1024, 0, True)]
# A primary monitor below a narrower one that stands in from its left.
STACKED = [(1024, 768, 0, 600, True), (800, 600, 224, 0, False)]
# Zonara's desktop: the primary monitor is neither at the origin nor at the
# desktop's bottom; the other one lies lower left, its top and right edges
# inside the desktop, where no edge of the root window would explain a snap.
BESIDE_LOWER = [(1024, 768, 800, 0, True), (800, 600, 0, 400, False)]

CONTROL_SIZE = 33
PICKER = "Capture Area"


class Findings:
    """Checks that let the test go on, so that one run names every fault;
    the test fails at its end with all of them."""

    def __init__(self):
        self.faults = []

    def check(self, ok, message):
        if not ok:
            self.faults.append(message)
        return ok

    def settle(self, get, ok, what, timeout=10):
        """Waits until ok(get()); a fault names the last value seen."""
        try:
            return settle(get, ok, what, timeout)
        except Timeout as e:
            self.faults.append(str(e))
            return None

    def picture(self, s, box, want, what, timeout=10):
        diff = picture_differs(s, box, want, timeout)
        self.check(diff is None, f"{what}: {diff}")

    def __enter__(self):
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            for fault in self.faults:
                print(f"  earlier fault: {fault}")
            return False
        if self.faults:
            raise AssertionError("\n  ".join([f"{len(self.faults)} fault(s):"] + self.faults))


def settle(get, ok, what, timeout=10):
    last = [None]

    def test():
        last[0] = get()
        return ok(last[0])
    try:
        wait_until(test, timeout, what)
    except Timeout as e:
        raise Timeout(f"{e}; last seen: {last[0]}") from None
    return last[0]


def painted(s):
    pattern = coded_root(s.width, s.height)
    s.set_background(pattern)
    return pattern


def crop(image, box):
    x, y, w, h = box
    return image.crop((x, y, x + w, y + h))


def shown(s, x, y):
    return decode(s.screenshot((x, y, 1, 1)).getpixel((0, 0)))


# --- zuz ----------------------------------------------------------------------
def middle_twice(pattern, box):
    """What a view of the monitor at box shows: the monitor's middle half,
    each device pixel as 2 x 2 device pixels."""
    x, y, w, h = box
    return pattern.crop((x + w // 4, y + h // 4, x + 3 * w // 4, y + 3 * h // 4)).resize(
        (w, h), Image.NEAREST)


def zuz_windows(s):
    return s.geometries("zuz")


def view_on(s, box, timeout=10):
    """The view window once it covers exactly the monitor at box."""
    found = settle(lambda: zuz_windows(s), lambda ws: any(g == box for _, g in ws),
                   f"a zuz view covering {box}", timeout)
    return next(w for w, g in found if g == box)


def expect_view(f, s, pattern, box, what, scale=1):
    """The view covers the monitor and shows its middle twice, pixel for
    pixel; the buttons at its right edge are left out."""
    view_on(s, box)
    x, y, w, h = box
    keep = w - int(40 * scale)
    f.picture(s, (x, y, keep, h), middle_twice(pattern, box).crop((0, 0, keep, h)), what)


def end_view(s, box):
    wid = view_on(s, box)
    s.xdotool("windowactivate", "--sync", wid, "key", "Escape")
    settle(lambda: zuz_windows(s), lambda ws: all(g != box for _, g in ws),
           "the view to go")


def start_zuz_on(f, s, pattern, monitor, bin_dir, what):
    """Starts zuz with the pointer on the monitor: its start-up view must
    cover that monitor; then Esc."""
    zuz = Zuz(s, bin_dir)
    s.xdotool("mousemove", *monitor.centre)
    zuz.start()
    expect_view(f, s, pattern, monitor.box, what)
    end_view(s, monitor.box)
    return zuz


def zuz_follows_the_pointer_across_monitors(args):
    with XorgSession(SIDE_BY_SIDE) as s, Findings() as f:
        pattern = painted(s)
        left, primary = s.monitors
        zuz = start_zuz_on(f, s, pattern, left, args.bin, "the start-up view on the left monitor")

        # The primary monitor starts at x = 1024, not at the origin.
        s.xdotool("mousemove", *primary.centre, "key", "ctrl+z")
        expect_view(f, s, pattern, primary.box, "Ctrl+Z on the primary monitor")
        end_view(s, primary.box)

        # The tray host stands on the left monitor.
        _, (x, y, w, h) = tray_icon(s)
        assert s.monitor_at(x, y) == left, f"the tray icon at {(x, y)} is not on {left}"
        s.xdotool("mousemove", x + w // 2, y + h // 2, "mousedown", 3)
        expect_view(f, s, pattern, left.box, "the tray icon's view on the left monitor")
        s.xdotool("mouseup", 3)
        assert zuz.proc.poll() is None, "zuz ended"


def zuz_on_stacked_monitors(args):
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


# --- Zonara -------------------------------------------------------------------
class Zonara(PlainZonara):
    """test_region_pick's driver, for a button of any size."""

    def __init__(self, s, bin_dir, control_size=CONTROL_SIZE):
        """control_size None: the one small square window, whatever its size."""
        self.control_size = control_size
        folder = program_folder(bin_dir, s.tmp, names=("Zonara",))
        # The tip dialog would cover the middle of the screen.
        open(os.path.join(folder, "Vorlane.ini"), "w").close()
        super().__init__(s, folder)

    def find_control(self):
        for w, g in self.windows():
            if g[2] == g[3] and (g[2] == self.control_size or self.control_size is None
                                 and g[2] <= 80):
                return w
        return None

    def region_windows(self):
        return [(w, g) for w, g in self.windows() if w != self.control]

    def open_picker(self, pattern):
        """Clicks the button; the box the picker covers, and what it must
        show: the screen as it was, but without the button, which goes
        before the screen is frozen."""
        before = self.xs.screenshot()
        x, y, w, h = self.xs.window_geometry(self.control)
        before.paste(pattern.crop((x, y, x + w, y + h)), (x, y))
        self.click_control()
        return self.xs.window_geometry(self.xs.windows(name=PICKER)[0]), before

    def pick(self, a, b):
        """Drags from root pixel a to b; the picture on the clipboard."""
        if "image/png" in clip_targets(self.xs):
            # So that a picture from before is not taken for this one.
            clip_put(self.xs, b"before the pick", "UTF8_STRING")
        self.drag(a, b)
        wait_until(lambda: not self.picker_open(), 10, "the picker to close")
        png = wait_until(lambda: clip_read(self.xs, "image/png"), 10,
                         "a picture on the clipboard")
        return Image.open(io.BytesIO(png)).convert("RGB")

    def region_window(self, size):
        found = settle(self.region_windows, lambda ws: any(g[2:] == size for _, g in ws),
                       f"a region window of {size}")
        return next((w, g) for w, g in found if g[2:] == size)


def expect_clipboard(f, got, pattern, a, b):
    """The picture holds exactly the root pixels from a to b, b left out."""
    want = pattern.crop(a + b)
    if got.size == want.size and first_difference(got, want, a) is None:
        return
    f.check(False, f"clipboard picture of {a}-{b}: size {got.size}, want {want.size}; "
            f"its top-left pixel is {decode(got.getpixel((0, 0)))}, want {a}; its "
            f"bottom-right {decode(got.getpixel((got.width - 1, got.height - 1)))}, "
            f"want {(b[0] - 1, b[1] - 1)}")


def expect_pick(f, s, z, pattern, a, b, monitor):
    """Picks from a to b on the monitor: the clipboard holds exactly those
    pixels; the region window opens centred on the monitor."""
    expect_clipboard(f, z.pick(a, b), pattern, a, b)
    size = (2 * (b[0] - a[0]) + 2, 2 * (b[1] - a[1]) + 2)
    wid, (x, y, w, h) = z.region_window(size)
    centred = (monitor.x + (monitor.w - w) // 2, monitor.y + (monitor.h - h) // 2)
    f.check((x, y) == centred, f"region window at {(x, y)}, want {centred}, centred on {monitor}")
    return wid


def drag_window(s, wid, dx, dy):
    """Drags the window by its middle, in steps that it follows one to
    one, until it lies (dx, dy) away; then one pixel further, which snaps
    it to an edge that lies within reach."""
    x, y, w, h = s.window_geometry(wid)
    cx, cy = x + w // 2, y + h // 2
    s.xdotool("mousemove", cx, cy, "mousedown", 1)
    try:
        at = (x, y)
        for i in range(1, 5):
            ox, oy = dx * i // 4, dy * i // 4
            s.xdotool("mousemove", cx + ox, cy + oy)
            # Each step lands before the next, or Qt would merge them; the
            # last may already have snapped.
            at = settle(lambda: s.window_geometry(wid)[:2],
                        lambda p: p == (x + ox, y + oy) if i < 4 else p != at,
                        f"the window to follow the pointer to {(x + ox, y + oy)}")
        step = ((dx > 0) - (dx < 0), (dy > 0) - (dy < 0))
        s.xdotool("mousemove", cx + dx + step[0], cy + dy + step[1])
    finally:
        s.xdotool("mouseup", 1)


def drag_button(s, z, target):
    """Drags the button by its middle to target; a drag is no click."""
    start = z.control_centre()
    s.xdotool("mousemove", *start, "mousedown", 1)
    for i in range(1, 5):
        s.xdotool("mousemove", start[0] + (target[0] - start[0]) * i // 4,
                  start[1] + (target[1] - start[1]) * i // 4)
    s.xdotool("mouseup", 1)
    settle(z.control_centre, lambda c: abs(c[0] - target[0]) <= 1 and
           abs(c[1] - target[1]) <= 1, f"the button to be dragged to {target}")


def zonara_starts_on_the_primary_monitor(args):
    with XorgSession(BESIDE_LOWER) as s, Findings() as f:
        pattern = painted(s)
        primary = s.primary
        z = Zonara(s, args.bin)
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


def zonara_picks_on_the_monitor_of_its_button(args):
    with XorgSession(BESIDE_LOWER) as s, Findings() as f:
        pattern = painted(s)
        other = next(m for m in s.monitors if not m.primary)
        z = Zonara(s, args.bin)
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


if __name__ == "__main__":
    sys.exit(main([zuz_follows_the_pointer_across_monitors, zuz_on_stacked_monitors,
                   zonara_starts_on_the_primary_monitor,
                   zonara_picks_on_the_monitor_of_its_button]))
