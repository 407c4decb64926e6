"""The annotation editor on a real X desktop: the pencil button of a view
opens it over the view as it was shown; a rectangle drag gives a selection
whose dashes march; the move tool lifts the pixels and leaves white behind;
"撤消" puts them back and a second one moves them again; the popup starts
Zonara from zuz's folder. Its double-click that closes it and the view
after it are part of the first-day journey (test_journey_zuz.py)."""

import os
import stat

from drivers.editor import (H, MOVE_TOOL, PENCIL, TOP, UNDO, W, Toolbar, changes, crop_rect, drag,
                            expect_screen, inset, open_editor, stable_frame)
from drivers.menus import choose
from drivers.pictures import coded_pattern
from drivers.session import wait_until
from drivers.tray import tray_icon
from drivers.xsession import new_session
from drivers.zuz import Zuz

BLACK, WHITE = (0, 0, 0), (255, 255, 255)


# --- comparing pictures ------------------------------------------------------
def edges(rect, margin):
    """The four bands `margin` pixels either side of a rectangle's edges."""
    x0, y0, x1, y1 = rect
    return [(x0 - margin, y0 - margin, x1 + margin, y0 + margin),
            (x0 - margin, y1 - margin, x1 + margin, y1 + margin),
            (x0 - margin, y0 - margin, x0 + margin, y1 + margin),
            (x1 - margin, y0 - margin, x1 + margin, y1 + margin)]


def moved(rect, dx, dy):
    x0, y0, x1, y1 = rect
    return (x0 + dx, y0 + dy, x1 + dx, y1 + dy)


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
def test_select_move_and_undo(args):
    with new_session(W, H, coded_pattern) as s:
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
        origin_pixels = crop_rect(before, inset(sel, 2))

        def lifted(shot):
            if crop_rect(shot, inset(sel, 2)).getcolors(1) != [(
                    origin_pixels.width * origin_pixels.height, WHITE)]:
                return "the pixels' old place is not white"
            if changes(crop_rect(shot, inset(dest, 2)), origin_pixels):
                return "the pixels did not arrive at their new place"
            return changes(before, shot,
                           [PENCIL, tray, sel, dest] + edges(dest, 2) + edges(sel, 2))

        def put_back(shot):
            return changes(before, shot, [PENCIL, tray] + edges(sel, 1))

        toolbar.click(MOVE_TOOL)
        drag(s, (300, 320), (300 + dx, 320 + dy))
        expect_screen(s, "the selected pixels to move", lifted)
        toolbar.click(UNDO)
        expect_screen(s, "the pixels back in their place", put_back)
        toolbar.click(UNDO)
        expect_screen(s, "the move made again", lifted)
        assert zuz.proc.poll() is None


def test_popup_starts_zonara(args):
    with new_session(W, H, coded_pattern) as s:
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
        assert s.viewable(editor), "the editor closed with the menu"
