"""zuz's annotation editor over a view: opening it, its toolbar, drags,
and comparing the screen with what it showed before. The screen is
1024 x 768."""

import time
from collections import Counter

from PIL import ImageChops, ImageDraw

from drivers.pictures import shown
from drivers.session import settle, wait_until

W, H = 1024, 768
# The pencil button shows pressed in the editor's picture, unpressed on
# the screen before the click.
PENCIL = (W - 26, 0, W - 1, 25)
# Where the toolbar can show: a strip along the top.
TOP = (0, 0, W - 1, 47)
# Where the pointer rests between steps: on the picture, away from every
# selection, so no tooltip or toolbar covers what is compared.
PARK = (W // 2, H - 120)
# Toolbar buttons by their place: the move tool, and "撤消" after the
# fourteen tools and the separator.
MOVE_TOOL = 2
UNDO = 15


def changes(a, b, ignore=(), tolerance=0):
    """The bounding box of the pixels where a and b differ by more than
    tolerance in some channel, leaving out the ignored boxes (inclusive
    corners); None when there are none."""
    r, g, bl = ImageChops.difference(a, b).split()
    mask = ImageChops.lighter(ImageChops.lighter(r, g), bl).point(
        lambda v: 255 if v > tolerance else 0)
    draw = ImageDraw.Draw(mask)
    for box in ignore:
        draw.rectangle(box, fill=0)
    return mask.getbbox()


def inset(rect, d):
    x0, y0, x1, y1 = rect
    return (x0 + d, y0 + d, x1 - d, y1 - d)


def crop_rect(img, rect):
    """rect: (left, top, right, bottom), corners included."""
    x0, y0, x1, y1 = rect
    return img.crop((x0, y0, x1 + 1, y1 + 1))


def expect_screen(s, what, check, timeout=10):
    """Waits until check(screenshot) returns None; otherwise fails with the
    last thing it returned."""
    settle(lambda: check(s.screenshot()), lambda fault: fault is None, what, timeout)


def stable_frame(s, previous=None, timeout=3):
    """The next screen that differs from `previous` and holds still for a
    moment, so that a repaint caught half way is never taken for a frame.
    Returns it with the time it was first seen."""
    seen = {}

    def settled():
        shot = s.screenshot()
        if previous is not None and shot.tobytes() == previous.tobytes():
            seen.clear()
            return None
        if seen.get("shot") is not None and seen["shot"].tobytes() == shot.tobytes():
            return seen["shot"], seen["at"]
        seen.update(shot=shot, at=time.monotonic())
        return None
    return wait_until(settled, timeout, "the next frame", interval=0.02)


# --- the view and the editor -------------------------------------------------
def open_editor(s, zuz):
    """Clicks the pencil of a fresh 2x view. Returns the editor's window and
    the screen as it was just before the click."""
    view = zuz.view_window()
    wait_until(lambda: all(shown(s, x, y) == (W // 4 + x // 2, H // 4 + y // 2)
                           for x, y in [(100, 100), (W - 100, H - 100), (W // 2, 60)]),
               10, "the 2x view")
    before, _ = stable_frame(s)
    return pencil(s, view), before


def pencil(s, view, kept_above=True):
    """Clicks the pencil of the view; the editor's window once it covers
    the screen and the view is hidden (and the editor kept above other
    windows, where kept_above asks that of it)."""
    # Straight on and click: a tooltip has no time to come up and be in
    # the editor's picture.
    s.xdotool("mousemove", s.width - 12, 12, "click", 1)

    def editor():
        for wid in s.windows(cls="zuz"):
            if wid != view and s.window_geometry(wid) == (0, 0, s.width, s.height):
                return wid
        return None
    wid = wait_until(editor, 10, "a new zuz window covering the screen")
    wait_until(lambda: not s.viewable(view), 10, "the view to be hidden")
    if kept_above:
        wait_until(lambda: "_NET_WM_STATE_ABOVE" in s.net_wm_state(wid), 5,
                   "the editor to be kept above other windows")
    return wid


class Toolbar:
    """The toolbar's buttons, told apart by how they look: a run of columns
    that are not all the toolbar's own colour is one button's face."""

    def __init__(self, s, picture):
        self.s = s
        self.picture = picture
        self.box, image = self._show()
        x0, y0, x1, y1 = self.box
        # Its left and right edges are equally far from the screen's.
        assert abs(x0 - (W - 1 - x1)) <= 2 and y0 == 0, f"toolbar at {self.box}"
        face = Counter(image.getdata()).most_common(1)[0][0]
        px = image.load()
        inked = [any(px[x, y] != face for y in range(2, image.height - 2))
                 for x in range(image.width)]
        runs, start = [], None
        for x, ink in enumerate(inked + [False]):
            if ink and start is None:
                start = x
            elif not ink and start is not None:
                runs.append((x0 + start, x0 + x - 1))
                start = None
        self.runs = runs
        self.mid = (y0 + y1) // 2

    def _show(self):
        """Moves the pointer onto the strip at the top and waits until the
        toolbar is there; returns its box and picture."""
        self.s.xdotool("mousemove", 2, 2)
        top = crop_rect(self.picture, TOP)
        held = {}

        def there():
            shot = crop_rect(self.s.screenshot(), TOP)
            box = changes(top, shot, [PENCIL])
            if box and held.get("box") == box:
                return box, shot.crop(box)
            held["box"] = box
            return None
        (x0, y0, x1, y1), image = wait_until(there, 10, "the toolbar at the top")
        return (x0, y0, x1 - 1, y1 - 1), image

    def click(self, index):
        self._show()
        a, b = self.runs[index]
        self.s.xdotool("mousemove", (a + b) // 2, self.mid, "click", 1, "mousemove", *PARK)


def drag(s, a, b, steps=4):
    s.drag(a, b, steps)
    s.xdotool("mousemove", *PARK)
