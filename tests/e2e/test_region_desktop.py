"""Zonara among other programs on real desktops: a pick over a window that
repaints late under the button takes that window's pixels, not the
button's, also on a monitor scaled by 1.5; under a window manager with focus-stealing prevention (xfwm4)
Esc ends the tip dialog and the picker with no activation step, the picker
covers the whole monitor above a dock, and the tip dialog follows a drag
pixel for pixel."""

import io
import threading
import time

from PIL import Image
from Xlib import X, display as xdisplay
from Xlib.ext import xtest

from drivers.clipboard import clip_read
from drivers.pictures import test_pattern
from drivers.session import wait_until
from drivers.xsession import XSession, new_session, program_folder
from drivers.zonara import CONTROL_SIZE, Zonara, tip_dialogs

TITLE_POINT = (240, 14)  # on the title label, clear of the icon


def coded(width, height):
    """A picture in which no two neighbouring pixels match and no pixel is
    the button's grey."""
    img = Image.new("RGB", (width, height))
    px = img.load()
    for y in range(height):
        for x in range(width):
            px[x, y] = ((x * 37 + y * 11) % 256, (x * 13 + y * 53) % 256, 40 + (x ^ y) % 64)
    return img


class LateWindow:
    """A window of another program that keeps whatever the screen showed
    where it is uncovered (no background) and paints its picture only
    `delay` seconds after each exposure, as a busy program does."""

    def __init__(self, xs, box, delay):
        self.box, self.delay = box, delay
        self.image = coded(box[2], box[3])
        self.dpy = xdisplay.Display(xs.display_name)
        screen = self.dpy.screen()
        self.win = screen.root.create_window(
            box[0], box[1], box[2], box[3], 0, screen.root_depth, X.InputOutput,
            X.CopyFromParent, background_pixmap=X.NONE, override_redirect=True,
            event_mask=X.ExposureMask)
        self.gc = self.win.create_gc()
        self.win.map()
        self.paint()
        self.stop = False
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def paint(self):
        w, h = self.image.size
        raw = self.image.tobytes("raw", "BGRX")
        rows = max(1, 200000 // (w * 4))
        for y in range(0, h, rows):
            n = min(rows, h - y)
            self.win.put_image(self.gc, 0, y, w, n, X.ZPixmap, 24, 0,
                               raw[y * w * 4:(y + n) * w * 4])
        self.dpy.sync()

    def run(self):
        due = None
        while not self.stop:
            while self.dpy.pending_events():
                if self.dpy.next_event().type == X.Expose and due is None:
                    due = time.monotonic() + self.delay
            if due is not None and time.monotonic() >= due:
                self.paint()
                due = None
            time.sleep(0.005)

    def lower(self):
        """Below every other window: a window manager keeps the windows it
        manages below the ones it does not."""
        self.win.configure(stack_mode=X.Below)
        self.dpy.sync()

    def close(self):
        self.stop = True
        self.thread.join(2)
        self.dpy.close()


def focused(xs):
    return xs.dpy.get_input_focus().focus


def drag_quickly(xs, wid, grip, steps, pause, sign=1):
    """Drags window `wid` by its point `grip` through `steps` small pointer
    moves `pause` seconds apart, faster than a window manager applies each
    move, down and right (sign 1) or up and left (-1); returns where the
    window belongs then."""
    x0, y0, _, _ = xs.window_geometry(wid)
    px, py = x0 + grip[0], y0 + grip[1]
    xs.xdotool("mousemove", px, py)
    xtest.fake_input(xs.dpy, X.ButtonPress, 1)
    xs.dpy.sync()
    dx = dy = 0
    for i in range(steps):
        dx, dy = dx + sign * (3 + i % 3), dy + sign * (1 + i % 2)
        xtest.fake_input(xs.dpy, X.MotionNotify, x=px + dx, y=py + dy)
        xs.dpy.flush()
        time.sleep(pause)
    xs.dpy.sync()
    xtest.fake_input(xs.dpy, X.ButtonRelease, 1)
    xs.dpy.sync()
    return x0 + dx, y0 + dy


# --- tests --------------------------------------------------------------------
def test_pick_over_a_late_window(args):
    # Unscaled, and at 1.5, where the button is 50 device pixels large.
    for scale, control_px in [(None, CONTROL_SIZE), ("1.5", 50)]:
        with XSession(env={"QT_SCALE_FACTOR": scale} if scale else None) as xs:
            pick_over_a_late_window_in(xs, args, control_px)


def pick_over_a_late_window_in(xs, args, control_px):
    xs.set_background(test_pattern(xs.width, xs.height))
    # Under the button's place at the right edge, 60 pixels above the
    # bottom.
    box = (xs.width - 200, xs.height - 200, 200, 200)
    late = LateWindow(xs, box, delay=0.08)
    try:
        wait_until(lambda: xs.screenshot(box) == late.image, 10, "the window's picture")
        z = Zonara.in_own_folder(xs, args.bin, control_px)
        late.lower()
        cx, cy = z.control_centre()
        # The button shows on the screen before it is clicked.
        wait_until(lambda: xs.screenshot((cx, cy, 1, 1)).getpixel((0, 0))
                   != late.image.getpixel((cx - box[0], cy - box[1])), 10, "the button")
        z.click_control()
        a = (cx - z.control_size, cy - z.control_size)
        b = (cx + 12, cy + z.control_size)
        z.drag(a, b)
        wait_until(lambda: not z.picker_open(), 10, "the picker to close")
        png = wait_until(lambda: clip_read(xs, "image/png"), 10, "a picture on the clipboard")
        got = Image.open(io.BytesIO(png)).convert("RGB")
        want = late.image.crop((a[0] - box[0], a[1] - box[1], b[0] - box[0], b[1] - box[1]))
        assert got.size == want.size, (got.size, want.size)
        bad = sum(1 for p, q in zip(got.getdata(), want.getdata()) if p != q)
        assert bad == 0, f"{bad} of {want.width * want.height} pixels are not the window's"
    finally:
        late.close()


def test_keyboard_and_focus_under_xfwm4(args):
    with new_session(1024, 768, wm="xfwm4") as xs:
        # Another program has the keyboard when Zonara starts.
        xs.spawn(["xlogo", "-geometry", "200x200+40+40"])
        logo = wait_until(lambda: xs.windows(name="xlogo"), 10, "xlogo")[0]
        xs.xdotool("mousemove", 140, 140, "click", "1")
        wait_until(lambda: focused(xs).id != X.PointerRoot and logo in
                   [focused(xs).id, focused(xs).query_tree().parent.id], 10, "xlogo's focus")

        folder = program_folder(args.bin, xs.tmp, names=("Zonara",))
        z = Zonara(xs, folder)
        wait_until(lambda: tip_dialogs(xs), 10, "the tip dialog")

        # Esc with no activation step: the dialog has the keyboard.
        xs.xdotool("key", "Escape")
        wait_until(lambda: not tip_dialogs(xs), 5, "Esc to close the tip dialog")

        # The picker covers the whole monitor, the dock included, above it,
        # and Esc ends it at once.
        z.click_control()
        picker = xs.windows(name="Capture Area")[0]
        assert xs.window_geometry(picker) == (0, 0, xs.width, xs.height), \
            xs.window_geometry(picker)
        tops = [c.id for c in xs.root.query_tree().children
                if c.get_attributes().map_state == X.IsViewable]
        docks = xs.windows(cls="trayer")
        assert docks, "no dock to cover"
        for d in docks:
            frame = xs.dpy.create_resource_object("window", d)
            while frame.query_tree().parent.id != xs.root.id:
                frame = frame.query_tree().parent
            assert tops.index(picker) > tops.index(frame.id), "the dock is above the picker"
        xs.xdotool("key", "Escape")
        wait_until(lambda: not z.picker_open(), 5, "Esc to end the picker")
        wait_until(lambda: z.find_control(), 10, "the control window back")


def test_tip_dialog_follows_a_quick_drag(args):
    with XSession(tray=False) as xs:
        folder = program_folder(args.bin, xs.tmp, names=("Zonara",))
        Zonara(xs, folder)
        tip = wait_until(lambda: tip_dialogs(xs), 10, "the tip dialog")[0]
        # Each drag ends with the dialog exactly as far from where it was
        # as the pointer went: no step counts twice while a move is still
        # on its way to the window manager.
        for n, pause in enumerate([0.0005, 0.001, 0.0005, 0.002, 0.0005, 0.001]):
            want = drag_quickly(xs, tip, TITLE_POINT, 30, pause, 1 if n % 2 == 0 else -1)
            wait_until(lambda: xs.window_geometry(tip)[:2] == want, 5,
                       f"drag {n} to end where the pointer put the dialog")
            time.sleep(0.2)
            assert xs.window_geometry(tip)[:2] == want, (n, xs.window_geometry(tip), want)
