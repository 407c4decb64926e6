"""The region magnifier on a real X desktop: where the control window sits,
Esc during a drag, the exit with another program's clipboard content, a
second start and a huge picture from another program. Picks checked pixel
for pixel are part of the first-day journey (test_journey_zonara.py)."""

import os
import time

import pytest
from PIL import Image, ImageOps

from drivers.clipboard import clip_put, clip_read, clip_targets
from drivers.pictures import picture_differs, png_bytes, test_pattern
from drivers.session import proc_status, settle, stays, wait_until
from drivers.xsession import XSession, program_folder
from drivers.zonara import Zonara


# --- tests --------------------------------------------------------------------
def test_placement(xs, folder, pattern):
    z = Zonara(xs, folder)
    x, y, w, h = xs.window_geometry(z.control)
    # Right edge on the screen's right edge, top 900 twips (60 px) above
    # the bottom edge.
    assert (x + w, y, w, h) == (xs.width, xs.height - 60, 33, 33), (x, y, w, h)
    assert "_NET_WM_STATE_ABOVE" in xs.net_wm_state(z.control)
    assert z.end() == 0


def test_escape_during_a_drag(xs, folder, pattern):
    # A pick first, whose window the next one closes. Exact pixels and the
    # enlarged window are part of the first-day journey (test_journey_zonara.py).
    z = Zonara(xs, folder)
    z.click_control()
    z.drag((200, 150), (261, 191))
    region_window = wait_until(z.region_windows, 10, "the magnified-region window")[0][0]

    # Esc during a drag: the clipboard stays, no window opens, the previous
    # one was closed by the new pick.
    clip_put(xs, b"keep this text", "UTF8_STRING")
    z.click_control()
    assert region_window not in xs.windows(cls="Zonara"), "the previous window stays open"
    z.drag((100, 100), (400, 300), release=False)
    xs.xdotool("key", "Escape")
    wait_until(lambda: not z.picker_open(), 10, "the picker to close on Esc")
    xs.xdotool("mouseup", "1")
    wait_until(lambda: z.find_control(), 10, "the control window back")
    assert clip_read(xs, "UTF8_STRING") == b"keep this text"
    assert "image/png" not in clip_targets(xs)
    assert not z.region_windows()
    assert z.end() == 0


def exit_with(xs, folder, pattern, then):
    z = Zonara(xs, folder)
    z.click_control()
    z.drag((50, 60), (90, 100))
    wait_until(lambda: "image/png" in clip_targets(xs), 10, "our picture on the clipboard")
    if then is not None:
        then()
    assert z.end() == 0


def test_exit_clears_only_our_own_bitmap(xs, folder, pattern):
    # Its own bitmap is taken off: see test_journey_zonara.py.
    exit_with(xs, folder, pattern, lambda: clip_put(xs, b"copied elsewhere", "UTF8_STRING"))
    assert clip_read(xs, "UTF8_STRING") == b"copied elsewhere"

    theirs = png_bytes(pattern.crop((0, 0, 30, 20)))
    exit_with(xs, folder, pattern, lambda: clip_put(xs, theirs, "image/png"))
    assert clip_read(xs, "image/png") == theirs


def test_second_start_shows_the_message(xs, folder, pattern):
    first = Zonara(xs, folder)
    second = xs.spawn([os.path.join(folder, "Zonara")])
    box = wait_until(lambda: xs.windows(name="^Zonara$"), 15, "the message box")
    xs.xdotool("windowactivate", "--sync", box[0])
    xs.xdotool("key", "Return")
    wait_until(lambda: second.poll() is not None, 10, "the second instance to end")
    assert second.returncode == 0
    # The window manager gives the focus back when the box goes; on a busy
    # machine the button may be looked for while it restacks the windows.
    assert first.proc.poll() is None
    found = settle(first.find_control, lambda w: w == first.control, "the first button", 5)
    assert found == first.control
    assert first.end() == 0


def region_filling_the_screen(xs, folder):
    """A pick enlarged past the screen: Zonara and its region window."""
    z = Zonara(xs, folder)
    z.click_control()
    z.drag((100, 100), (700, 520))
    full = wait_until(lambda: [w for w, g in z.region_windows()
                               if g == (0, 0, xs.width, xs.height)],
                      10, "a window filling the screen")
    return z, full


def test_huge_picture_from_another_program(xs, folder, pattern):
    """A press on a window larger than the screen reloads the clipboard. A
    large picture put there by another program is shown without being
    enlarged in memory; whatever gives no usable picture - one too large for
    the image decoder or beyond the bound Zonara states, a corrupt one, data
    that only claims to be a picture, a picture of a type other than PNG and
    BMP (even a PNG offered as another type), text - leaves the shown
    picture in place; a 1x1 picture is shown."""
    z, full = region_filling_the_screen(xs, folder)
    centre = (xs.width // 2, xs.height // 2, 1, 1)

    def centre_is(colour):
        return xs.screenshot(centre).getpixel((0, 0)) == colour

    # 5000 x 4000 decodes to 80 MB; enlarged twice it would take 320 MB.
    clip_put(xs, png_bytes(Image.new("RGB", (5000, 4000), (0, 0, 0))), "image/png")
    xs.xdotool("mousemove", *centre[:2])
    xs.xdotool("click", "1")
    wait_until(lambda: centre_is((0, 0, 0)), 20, "the other program's picture in the window")
    good = png_bytes(Image.new("RGB", (40, 30), (0, 0, 0)))
    unusable = [
        # The decoder refuses it rather than take 1.6 GB.
        ("20000x20000", png_bytes(Image.new("1", (20000, 20000), 1)), "image/png"),
        ("corrupt", good[:len(good) // 2], "image/png"),
        # White, unlike the picture shown: decoded, it would show.
        ("32768 wide", png_bytes(Image.new("1", (32768, 1), 1)), "image/png"),
        ("PNG offered as TIFF", png_bytes(Image.new("RGB", (40, 30), (255,) * 3)), "image/tiff"),
        ("not a picture", b"this is no picture at all", "image/bmp"),
        ("text", b"some text", "UTF8_STRING"),
    ]
    for what, data, target in unusable:
        clip_put(xs, data, target)
        xs.xdotool("click", "1")
        stays(lambda: centre_is((0, 0, 0)) and z.proc.poll() is None, 2,
              f"the shown picture was lost to a {what} clipboard")
    clip_put(xs, png_bytes(Image.new("RGB", (1, 1), (255, 255, 255))), "image/png")
    xs.xdotool("click", "1")
    wait_until(lambda: centre_is((255, 255, 255)), 20, "the 1x1 picture in the window")
    assert z.proc.poll() is None, f"Zonara ended: {z.proc.returncode}"
    assert full[0] in xs.windows(cls="Zonara"), "the window went"
    peak = (proc_status(z.proc.pid, "VmHWM") or 0) // 1024
    assert peak < 300, f"peak memory {peak} MB"
    assert z.end() == 0


class SilentOwner:
    """A program that takes the clipboard and never answers a request for
    its content."""

    def __init__(self, xs):
        from Xlib import X, display as xdisplay
        self.dpy = xdisplay.Display(xs.display_name)
        self.window = self.dpy.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
        clipboard = self.dpy.intern_atom("CLIPBOARD")
        self.window.set_selection_owner(clipboard, X.CurrentTime)
        self.dpy.sync()
        wait_until(lambda: self.dpy.get_selection_owner(clipboard) == self.window, 10,
                   "the silent program to own the clipboard")

    def close(self):
        self.dpy.close()


def test_a_silent_clipboard_owner_freezes_nothing(xs, folder, pattern):
    """Each press on a window larger than the screen asks the clipboard for
    its picture; an owner that keeps quiet must not hold the window up: the
    menu of a right press comes at once, again and again, and the picture
    stays."""
    z, full = region_filling_the_screen(xs, folder)
    centre = (xs.width // 2, xs.height // 2)

    def shown():
        return xs.screenshot(centre + (1, 1)).getpixel((0, 0))

    def steady():
        # The window is mapped before its picture is painted.
        first = shown()
        time.sleep(0.2)
        return first if shown() == first else None

    before = wait_until(steady, 10, "the picture painted")
    owner = SilentOwner(xs)
    try:
        # The toolkit's clipboard waits 5 s for an owner at each press:
        # three menus within 9 s were not held up by it.
        deadline = time.monotonic() + 9
        for press in range(3):
            windows = set(z.windows())
            # Apart, so that two presses are no double-click, which would
            # close the window.
            xs.xdotool("mousemove", centre[0] + 40 * press, centre[1], "click", "3")
            wait_until(lambda: set(z.windows()) - windows, max(0.1, deadline - time.monotonic()),
                       f"the menu of right press {press + 1}")
            xs.xdotool("key", "Escape")
            wait_until(lambda: set(z.windows()) <= windows, 10, "the menu to close")
        # The first menu covered the centre, which is painted again after it.
        wait_until(lambda: shown() == before, 5, "the picture where the menus were")
    finally:
        owner.close()
    assert full[0] in xs.windows(cls="Zonara")
    assert z.end() == 0


def test_inverted_picture_on_the_screen(xs, folder, pattern):
    """I in the enlarged window shows the picture inverted, pixel for
    pixel, inside its border; I again shows it as it is."""
    z = Zonara(xs, folder)
    z.click_control()
    a, b = (200, 150), (261, 191)
    picked = z.pick(a, b)
    w, h = b[0] - a[0], b[1] - a[1]
    wid, (x, y, _, _) = z.region_window((2 * w + 2, 2 * h + 2))
    big = picked.resize((2 * w, 2 * h), Image.NEAREST)
    box = (x + 1, y + 1, 2 * w, 2 * h)
    xs.xdotool("windowactivate", "--sync", wid, "key", "i")
    diff = picture_differs(xs, box, ImageOps.invert(big))
    assert diff is None, f"the inverted picture: {diff}"
    xs.xdotool("windowactivate", "--sync", wid, "key", "i")
    diff = picture_differs(xs, box, big)
    assert diff is None, f"the picture back: {diff}"
    assert z.end() == 0


# One desktop for all the cases here; each case is given its parts.
@pytest.fixture(scope="module")
def desktop(args):
    with XSession() as xs:
        pattern = test_pattern(xs.width, xs.height)
        xs.set_background(pattern)
        folder = program_folder(args.bin, xs.tmp, names=("Zonara",))
        # The tip dialog would cover the middle of the screen.
        open(os.path.join(folder, "Vorlane.ini"), "w").close()
        yield xs, folder, pattern


@pytest.fixture
def xs(desktop):
    yield desktop[0]
    # What a failed case left running would spoil the next one.
    for p in list(desktop[0].procs):
        if p.args and str(p.args[0]).endswith("Zonara") and p.poll() is None:
            p.terminate()
            p.wait(5)


@pytest.fixture
def folder(desktop):
    return desktop[1]


@pytest.fixture
def pattern(desktop):
    return desktop[2]
