"""The annotation editor on a real X desktop: the pencil button of a view
opens it over the view as it was shown; a rectangle drag gives a selection
whose dashes march; the move tool lifts the pixels and leaves white behind;
"撤消" puts them back and a second one moves them again; the popup starts
Zonara from zuz's folder. Its double-click that closes it and the view
after it are part of the first-day journey (test_journey_zuz.py)."""

import os
import stat
import sys
import time
from collections import Counter

from PIL import ImageChops, ImageDraw
from Xlib import X

from test_tray_icon import tray_icon
from xsession import XSession, main, wait_until
from zuzdriver import Zuz, choose, coded_pattern, decode

W, H = 1024, 768
BLACK, WHITE = (0, 0, 0), (255, 255, 255)
# The pencil button shows pressed in the editor's picture, unpressed on
# the screen before the click.
PENCIL = (W - 26, 0, W - 1, 25)
# Where the toolbar can show: a strip along the top.
TOP = (0, 0, W - 1, 47)
# Where the pointer rests between steps: on the picture, away from every
# selection, so no tooltip or toolbar covers what is compared.
PARK = (W // 2, H - 120)


def session():
    s = XSession(W, H)
    s.set_background(coded_pattern(W, H))
    return s


def shown(s, x, y):
    return decode(s.screenshot((x, y, 1, 1)).getpixel((0, 0)))


def viewable(s, wid):
    try:
        win = s.dpy.create_resource_object("window", wid)
        return win.get_attributes().map_state == X.IsViewable
    except Exception:  # destroyed
        return False


# --- comparing pictures ------------------------------------------------------
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


def edges(rect, margin):
    """The four bands `margin` pixels either side of a rectangle's edges."""
    x0, y0, x1, y1 = rect
    return [(x0 - margin, y0 - margin, x1 + margin, y0 + margin),
            (x0 - margin, y1 - margin, x1 + margin, y1 + margin),
            (x0 - margin, y0 - margin, x0 + margin, y1 + margin),
            (x1 - margin, y0 - margin, x1 + margin, y1 + margin)]


def inset(rect, d):
    x0, y0, x1, y1 = rect
    return (x0 + d, y0 + d, x1 - d, y1 - d)


def moved(rect, dx, dy):
    x0, y0, x1, y1 = rect
    return (x0 + dx, y0 + dy, x1 + dx, y1 + dy)


def crop(img, rect):
    x0, y0, x1, y1 = rect
    return img.crop((x0, y0, x1 + 1, y1 + 1))


def expect_screen(s, what, check, timeout=10):
    """Waits until check(screenshot) returns None; otherwise fails with the
    last thing it returned."""
    last = [None]

    def ok():
        last[0] = check(s.screenshot())
        return last[0] is None
    try:
        wait_until(ok, timeout, what)
    except AssertionError as e:
        raise AssertionError(f"{e}: {last[0]}") from None


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
    # Straight on and click: a tooltip has no time to come up and be in
    # the editor's picture.
    s.xdotool("mousemove", W - 12, 12, "click", 1)

    def editor():
        for wid in s.windows(cls="zuz"):
            if wid != view and s.window_geometry(wid) == (0, 0, W, H):
                return wid
        return None
    wid = wait_until(editor, 10, "a new zuz window covering the screen")
    wait_until(lambda: not viewable(s, view), 10, "the view to be hidden")
    wait_until(lambda: "_NET_WM_STATE_ABOVE" in s.net_wm_state(wid), 5,
               "the editor to be kept above other windows")
    return wid, before


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
        top = crop(self.picture, TOP)
        held = {}

        def there():
            shot = crop(self.s.screenshot(), TOP)
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
    s.xdotool("mousemove", *a, "mousedown", 1)
    for i in range(1, steps + 1):
        s.xdotool("mousemove", a[0] + (b[0] - a[0]) * i // steps,
                  a[1] + (b[1] - a[1]) * i // steps)
    s.xdotool("mouseup", 1, "mousemove", *PARK)


def outline_line(img, rect, side):
    """The pixels of one side of the selection's outline, not counting the
    corners: the row or column within 1 px of that side that is all black
    and white. None if there is none."""
    x0, y0, x1, y1 = rect
    px = img.load()
    for d in (0, -1, 1):
        if side in ("top", "bottom"):
            y = (y0 if side == "top" else y1) + d
            line = [px[x, y] for x in range(x0 + 2, x1 - 1)]
        else:
            x = (x0 if side == "left" else x1) + d
            line = [px[x, y] for y in range(y0 + 2, y1 - 1)]
        if set(line) == {BLACK, WHITE}:
            return line
    return None


def dashes_frame(s, rect):
    shot = stable_frame(s)
    if all(outline_line(shot[0], rect, side) for side in ("top", "bottom", "left", "right")):
        return shot
    return None


def march(a, b):
    """How far the dashes of line b lie ahead of those of line a, signed by
    the direction; None if b is no shift of a by 1 to 3 pixels (a poll that
    came late can have missed a frame or two)."""
    if not a or not b:
        return None
    for k in (1, 2, 3):
        if b[k:] == a[:-k]:
            return k
        if b[:-k] == a[k:]:
            return -k
    return None


# --- tests ---------------------------------------------------------------------
def select_move_and_undo(args):
    with session() as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        _, before = open_editor(s, zuz)
        # The tray shares the window manager's top layer with the editor.
        _, (ix, iy, iw, ih) = tray_icon(s)
        tray = (ix - 2, iy - 2, ix + iw + 1, iy + ih + 1)
        # The editor shows the view as it was, not the screen under it.
        expect_screen(s, "the editor to show the view as it was",
                      lambda shot: changes(before, shot, [PENCIL, TOP, tray], tolerance=2))

        # While the dashes march only the outline may change: the picture
        # inside and out stays as it was.
        sel = (200, 250, 399, 399)
        drag(s, sel[:2], sel[2:])
        still = [PENCIL, tray] + edges(sel, 1)
        # The band shown during the drag may still be up when the release
        # is sent: the first frame of dashes is the one to start from.
        first = wait_until(lambda: dashes_frame(s, sel), 10, "the dashed outline")
        assert changes(before, first[0], still) is None, "more than the outline changed"
        frames = [first]
        for _ in range(4):
            frames.append(stable_frame(s, frames[-1][0]))
        sides = ("top", "bottom", "left", "right")
        steps, ways = 0, set()
        for (a, _), (b, _) in zip(frames, frames[1:]):
            assert changes(a, b, still) is None, "a frame changed more than the outline"
            marched = [march(outline_line(a, sel, side), outline_line(b, sel, side))
                       for side in sides]
            assert None not in marched and len({abs(k) for k in marched}) == 1, \
                f"the dashes did not move together along the outline: {marched}"
            steps += abs(marched[0])
            ways.add(tuple(k > 0 for k in marched))
        assert len(ways) == 1, "the dashes changed direction"
        speed = steps / (frames[-1][1] - frames[0][1])
        assert 2.5 < speed < 8, f"the dashes move {speed:.1f} pixels a second"

        toolbar = Toolbar(s, before)
        assert len(toolbar.runs) >= 7, f"toolbar buttons at {toolbar.runs}"
        dx, dy = 300, 60
        dest = moved(sel, dx, dy)
        origin_pixels = crop(before, inset(sel, 2))

        def lifted(shot):
            if crop(shot, inset(sel, 2)).getcolors(1) != [(
                    origin_pixels.width * origin_pixels.height, WHITE)]:
                return "the pixels' old place is not white"
            if changes(crop(shot, inset(dest, 2)), origin_pixels):
                return "the pixels did not arrive at their new place"
            return changes(before, shot,
                           [PENCIL, tray, sel, dest] + edges(dest, 2) + edges(sel, 2))

        def put_back(shot):
            return changes(before, shot, [PENCIL, tray] + edges(sel, 1))

        toolbar.click(2)  # the move tool
        drag(s, (300, 320), (300 + dx, 320 + dy))
        expect_screen(s, "the selected pixels to move", lifted)
        toolbar.click(5)  # "撤消"
        expect_screen(s, "the pixels back in their place", put_back)
        toolbar.click(5)
        expect_screen(s, "the move made again", lifted)
        assert zuz.proc.poll() is None


def popup_starts_zonara(args):
    with session() as s:
        zuz = Zuz(s, args.bin)
        # A stand-in for the sibling program that says how it was started.
        said = os.path.join(s.tmp, "zonara-started")
        stand_in = os.path.join(zuz.folder, "Zonara")
        with open(stand_in, "w") as f:
            f.write("#!/bin/sh\n"
                    f"printf '%s\\n' \"$#\" \"$@\" > '{said}.part' && mv '{said}.part' '{said}'\n")
        os.chmod(stand_in, stat.S_IRWXU)
        zuz.start()
        editor, _ = open_editor(s, zuz)

        choose(s, W // 2, H // 2, 2)  # "Zonara"

        def started():
            try:
                with open(said) as f:
                    return f.read()
            except FileNotFoundError:
                return None
        assert wait_until(started, 10, "the stand-in to be started") == "0\n", started()
        assert viewable(s, editor), "the editor closed with the menu"

if __name__ == "__main__":
    sys.exit(main([select_move_and_undo, popup_starts_zonara]))
