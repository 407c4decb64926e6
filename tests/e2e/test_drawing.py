"""Drawing on the frozen picture in the annotation editor, the way a
presenter does it: every tool by its key and a drag or a click, each stroke
checked on the screen with nothing else changed; the picture with its
drawings copied and saved at its full size; the drawings undone with zuz's
own Ctrl+Z and brought back; zoomed by the wheel with the drawings on
their picture points; a shape dragged and deleted with the select tool;
and a board with drawings of its own."""

import glob
import io
import os

import pytest
from PIL import Image

from drivers.clipboard import clip_read
from drivers.editor import PARK, TOP, W, H, changes, crop_rect, drag, expect_screen, open_editor
from drivers.pictures import coded_pattern
from drivers.session import wait_until
from drivers.tray import tray_icon
from drivers.xsession import new_session
from drivers.zuz import Zuz

RED, BLUE, ORANGE, PINK, BLACK = (230, 0, 0), (0, 70, 230), (255, 140, 0), (255, 80, 170), (0, 0, 0)
YELLOW, GREEN = (255, 230, 0), (0, 170, 0)


def near(colour, tolerance=40):
    return lambda p: all(abs(a - b) <= tolerance for a, b in zip(p, colour))


def drawn(before, shot, box, looks, least):
    """Whether at least `least` pixels in box changed to what `looks` takes
    for the tool's ink."""
    a, b = crop_rect(before, box).load(), crop_rect(shot, box)
    px = b.load()
    count = sum(1 for x in range(b.width) for y in range(b.height)
                if px[x, y] != a[x, y] and looks(px[x, y]))
    return count >= least


def whole_pictures(folder):
    """The PNG files in folder once each reads whole; None while one is
    still being written."""
    try:
        return [Image.open(f).convert("RGB") for f in glob.glob(os.path.join(folder, "*.png"))] or None
    except (OSError, SyntaxError):
        return None


def with_keys(s, keys, action):
    for key in keys:
        s.xdotool("keydown", key)
    action()
    for key in reversed(keys):
        s.xdotool("keyup", key)


# Each step: what it draws, the colour key typed first, the keys held, the
# action, where the ink lands, what the ink looks like, how many pixels at
# least, and a box inside it that must stay as it was.
def steps(s):
    def dragging(a, b):
        return lambda: drag(s, a, b, steps=6)

    def clicks(*points):
        return lambda: [s.xdotool("mousemove", *p, "click", 1) for p in points]

    def typing():
        s.xdotool("mousemove", 350, 450, "key", "g", "key", "t")
        s.xdotool("type", "Zz")
        s.xdotool("key", "Escape", "mousemove", *PARK)
    return [
        ("free-hand pen", "r", [], dragging((80, 120), (280, 160)), (70, 110, 290, 170), near(RED), 300, None),
        ("line", "b", ["shift"], dragging((80, 220), (280, 260)), (70, 210, 290, 270), near(BLUE), 300, None),
        ("box", "o", ["ctrl"], dragging((350, 120), (500, 220)), (340, 110, 510, 230), near(ORANGE), 600,
         (362, 132, 488, 208)),
        ("ellipse", "p", ["Tab"], dragging((550, 120), (700, 220)), (540, 110, 710, 230), near(PINK), 400,
         (552, 122, 562, 132)),
        ("arrow", "k", ["ctrl", "shift"], dragging((80, 320), (280, 320)), (70, 295, 290, 345), near(BLACK),
         400, (80, 300, 200, 312)),
        # The highlighter multiplies: yellow keeps red and green and takes
        # the blue out of what lies under it.
        ("highlighter", "shift+y", [], dragging((350, 320), (550, 320)), (340, 300, 560, 340),
         lambda p: p[2] < 20, 2000, None),
        ("step numbers", "n", [], clicks((640, 320), (720, 320)), (610, 290, 750, 350), near(YELLOW), 400, None),
        ("pixelate", "x", [], dragging((80, 420), (200, 500)), (80, 420, 200, 500), lambda p: True, 3000, None),
        ("text", None, [], typing, (340, 420, 460, 500), near(GREEN, 60), 30, None),
    ]


@pytest.mark.parametrize("scale", [1, 2])
def test_every_tool_then_copy_save_undo_redo(args, scale):
    # Drawings live in the picture's device pixels: at twice the scale they
    # land on the same pixels of the screen.
    with new_session(W, H, coded_pattern, env={"QT_SCALE_FACTOR": str(scale)}) as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        _, before = open_editor(s, zuz)
        _, (ix, iy, iw, ih) = tray_icon(s)
        pencil = (W - 26 * scale, 0, W - 1, 25 * scale)
        ignored = [pencil, TOP, (ix - 2, iy - 2, ix + iw + 1, iy + ih + 1)]
        inked = []
        for what, colour_key, held, action, box, looks, least, untouched in steps(s):
            if colour_key:
                s.xdotool("mousemove", *PARK, "key", colour_key)
            with_keys(s, held, action)
            inked.append(box)

            def check(shot):
                if not drawn(before, shot, box, looks, least):
                    return f"no {what} in {box}"
                if untouched and changes(crop_rect(before, untouched), crop_rect(shot, untouched)):
                    return f"the {what} drew inside {untouched}"
                return changes(before, shot, ignored + inked)
            expect_screen(s, f"the {what} on the picture and nothing else", check)
        # Pixelate leaves blocks of 12 pixels: far fewer colours than the
        # 2x picture's 2-pixel cells.
        shot = s.screenshot()
        blocks = crop_rect(shot, (92, 432, 187, 487)).getcolors(4096)
        assert blocks is not None and len(blocks) <= 7 * 9, f"{len(blocks or [])} colours in the blocks"

        # The copy and the file hold what the screen shows, at full size.
        s.xdotool("key", "ctrl+c")
        png = wait_until(lambda: clip_read(s, "image/png"), 10, "a picture on the clipboard")
        copied = Image.open(io.BytesIO(png)).convert("RGB")
        assert copied.size == (W, H)
        # Antialiased edges may round differently on and off the screen.
        assert changes(shot, copied, ignored, tolerance=3) is None, "the copy differs from the screen"
        s.xdotool("key", "ctrl+s")
        saved = wait_until(lambda: whole_pictures(os.path.join(s.tmp, "Pictures")), 10, "a saved file")
        assert len(saved) == 1 and saved[0].tobytes() == copied.tobytes()

        # zuz's Ctrl+Z undoes in the editor: the text goes, the rest stays.
        text = inked[-1]
        s.xdotool("key", "ctrl+z")
        expect_screen(s, "the text undone",
                      lambda now: changes(before, now, ignored + inked[:-1]) or changes(shot, now, ignored + [text]))
        s.xdotool("key", "ctrl+y")
        expect_screen(s, "the text back", lambda now: changes(shot, now, ignored))

        # A wheel notch zooms 1.25 times about the pointer, and the box's
        # left edge goes with its picture points; 0 brings back 1x.
        centre = (425, 170)
        s.xdotool("mousemove", *centre, "click", 4)
        edge = centre[0] + (350 - centre[0]) * 1.25

        def zoomed(now):
            column = crop_rect(now, (int(edge) - 2, 160, int(edge) + 2, 180))
            if sum(1 for p in column.getdata() if near(ORANGE)(p)) < 40:
                return f"no orange edge at x {edge}"
            inner = crop_rect(now, (346, 160, 354, 180))
            return "the edge stayed where it was" if any(near(ORANGE)(p) for p in inner.getdata()) else None
        expect_screen(s, "the drawings zoomed with the picture", zoomed)
        s.xdotool("mousemove", *PARK, "key", "0")
        expect_screen(s, "1x again", lambda now: changes(shot, now, ignored))

        # The select tool takes the box by its edge and drags it; Delete
        # removes it, and undo brings it back where it was dragged to.
        box = (340, 110, 510, 230)
        s.xdotool("key", "v")
        drag(s, (350, 170), (350, 370))
        moved = (340, 310, 510, 430)
        expect_screen(s, "the box dragged down", lambda now: None if drawn(
            shot, now, moved, near(ORANGE), 600) and not changes(before, now, ignored + inked[:2] + inked[3:] + [moved])
            else "the box is not where it was dragged")
        s.xdotool("mousemove", 350, 410, "click", 1, "key", "Delete", "mousemove", *PARK)
        expect_screen(s, "the box deleted", lambda now: changes(before, now, ignored + inked[:2] + inked[3:]))
        s.xdotool("key", "ctrl+z")
        expect_screen(s, "the box back where it was dragged to", lambda now: None if drawn(
            shot, now, moved, near(ORANGE), 600) else "no box")
        # Ctrl+K: a black board with drawings of its own; again, the
        # picture with its own as they were.
        picture = s.screenshot()
        s.xdotool("key", "ctrl+k", "key", "w")
        drag(s, (100, 600), (400, 620))

        def on_board(now):
            middle = crop_rect(now, (0, 100, W - 40, 560)).getcolors(1)
            if not middle or middle[0][1] != BLACK:
                return "the board is not black"
            return None if drawn(picture, now, (90, 590, 410, 630), near((255, 255, 255)), 300) else "no stroke"
        expect_screen(s, "a white stroke on the black board", on_board)
        s.xdotool("key", "ctrl+k")
        expect_screen(s, "the picture as it was", lambda now: changes(picture, now, ignored))
        assert zuz.proc.poll() is None
