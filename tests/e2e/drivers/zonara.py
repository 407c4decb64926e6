"""Zonara on an XSession: its button, its picker, its menu and the region
windows a pick opens."""

import io
import os

from PIL import Image

from drivers.clipboard import clip_put, clip_read, clip_targets
from drivers.pictures import decode, first_difference
from drivers.session import Timeout, settle, wait_until
from drivers.xsession import program_folder

CONTROL_SIZE = 33  # 500 twips at 15 twips a pixel
PICKER = "Capture Area"
MARKER = "Vorlane.ini"
TIP_SIZE = (487, 332)  # 7305 x 4980 twips at 96 dpi
TIP_CHECKBOX = (243, 252)  # (7305-3855)/2, 3600, 3855 x 375 twips


class Zonara:
    def __init__(self, xs, folder, control_size=CONTROL_SIZE):
        """control_size: the button's side in device pixels; None for the
        one small square window, whatever its size."""
        self.xs = xs
        self.control_size = control_size
        self.proc = xs.spawn([os.path.join(folder, "Zonara")])
        self.control = wait_until(lambda: self.find_control(), 15, "the control window")

    @classmethod
    def in_own_folder(cls, s, bin_dir, control_size=CONTROL_SIZE):
        """Zonara alone in a fresh folder, its marker there: the tip dialog
        would cover the middle of the screen."""
        folder = program_folder(bin_dir, s.tmp, names=("Zonara",))
        open(os.path.join(folder, MARKER), "w").close()
        return cls(s, folder, control_size)

    def windows(self):
        return self.xs.geometries("Zonara")

    def is_control(self, g):
        if g[2] != g[3]:
            return False
        return g[2] == self.control_size or self.control_size is None and g[2] <= 80

    def find_control(self):
        for w, g in self.windows():
            if self.is_control(g):
                return w
        return None

    def control_centre(self):
        x, y, w, h = self.xs.window_geometry(self.control)
        return x + w // 2, y + h // 2

    def picker_open(self):
        return bool(self.xs.windows(name=PICKER))

    def region_windows(self):
        # The picker fills the screen too, until it has gone after a drag.
        pickers = set(self.xs.windows(name=PICKER))
        return [(w, g) for w, g in self.windows()
                if w != self.control and w not in pickers
                and not (self.control_size and self.is_control(g))]

    def click_control(self):
        self.xs.xdotool("mousemove", *self.control_centre())
        self.xs.xdotool("click", "1")
        wait_until(self.picker_open, 10, "the picker")

    def drag(self, a, b, release=True):
        self.xs.drag(a, b, release=release)

    def menu_command(self, downs):
        """Right-clicks the control window and picks the item `downs` steps down."""
        # A window that goes as the menu comes (a tooltip) must not hide it.
        before = {w for w, _ in self.windows()}
        # A menu of another client's takes the click for its own closing.
        overlays = self.xs.overlays()
        self.xs.xdotool("mousemove", *self.control_centre())
        self.xs.xdotool("click", "3")
        try:
            wait_until(lambda: {w for w, _ in self.windows()} - before, 10, "the popup menu")
        except Timeout as e:
            raise Timeout(f"{e}; unmanaged windows before the click: {overlays}; now: "
                          f"{self.xs.input_state()}; Zonara "
                          f"{'runs' if self.proc.poll() is None else 'has ended'}") from None
        for _ in range(downs):
            self.xs.xdotool("key", "Down")
        self.xs.xdotool("key", "Return")

    def end(self):
        self.menu_command(7)  # "结束放大"
        wait_until(lambda: self.proc.poll() is not None, 10, "the program to end")
        return self.proc.returncode

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


def tip_dialogs(xs, scale=1):
    size = tuple(round(v * scale) for v in TIP_SIZE)
    return [w for w, g in xs.geometries("Zonara") if g[2:] == size]


def expect_clipboard(f, got, pattern, a, b):
    """The picture holds exactly the root pixels from a to b, b left out.
    f: Findings."""
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
    s.drag(z.control_centre(), target)
    settle(z.control_centre, lambda c: abs(c[0] - target[0]) <= 1 and
           abs(c[1] - target[1]) <= 1, f"the button to be dragged to {target}")
