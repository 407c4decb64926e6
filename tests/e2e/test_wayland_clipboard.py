"""Zonara reads another program's clipboard picture on a Wayland desktop
(headless sway) without waiting on that program: a press in a region
window larger than the screen shows the picture another program copied,
pixel for pixel; an owner that offers a picture and never hands it over
holds nothing up, the picture can still be moved at once, and the read
gives up on it, so that the next owner's picture comes."""

import io
import os
import shutil
import time

import pytest
from PIL import Image, ImageOps

from drivers.pictures import coded_pattern, decode
from drivers.session import wait_until
from drivers.wlsession import WaylandSession, missing

W, H = 1024, 768
CONTROL = 33  # Zonara's button
# Where the screen is read: clear of the edges and of the parked pointer.
SAMPLES = [(x, y) for x in range(100, W - 100, 137) for y in range(100, H - 100, 113)]
# The pick, and the size it has enlarged twice: a picture from another
# program is shown at that size, this one pixel for pixel.
PICK = (40, 40, 1000, 740)
PICKED = (2 * (PICK[2] - PICK[0]), 2 * (PICK[3] - PICK[1]))
# Drags on the window while an owner keeps quiet, and how late in all the
# picture may follow them: the toolkit's own read waits a second on the
# owner at each fresh offer, which is that many seconds late; a window
# that waits on nobody follows each drag within a few tenths.
DRAGS = 5
PROMPT = 3.5


def png(image):
    out = io.BytesIO()
    image.save(out, "PNG")
    return out.getvalue()


def copied_picture(width, height, flip):
    """A picture unlike the desktop behind it, every pixel of which names
    its place; flip tells two such pictures apart."""
    picture = ImageOps.invert(coded_pattern(width, height))
    return ImageOps.mirror(picture) if flip else picture


def shown_offset(s, picture, flip):
    """Where on the screen the picture's top-left corner is, when every
    sample shows the pixel of the picture that belongs there; else None."""
    shot = s.screenshot()
    offsets = set()
    for x, y in SAMPLES:
        seen = shot.getpixel((x, y))[:3]
        px, py = decode(tuple(255 - c for c in seen))
        if flip:
            px = picture.width - 1 - px
        if not (0 <= px < picture.width and 0 <= py < picture.height) or \
                picture.getpixel((px, py)) != seen:
            return None
        offsets.add((x - px, y - py))
    return offsets.pop() if len(offsets) == 1 else None


def copy(s, picture):
    path = os.path.join(s.tmp, "copied.png")
    with open(path, "wb") as f:
        f.write(png(picture))
    os.chmod(path, 0o644)
    s.spawn(["sh", "-c", f"exec wl-copy --type image/png < {path}"])


def offered_types(s):
    proc = s.run(["wl-paste", "--list-types"], timeout=10)
    return proc.stdout.decode(errors="replace").split() if proc.returncode == 0 else []


def click(s, at):
    s.pointer_to(*at)
    s.pointer_to(*at, buttons=1)
    s.pointer_to(*at)
    s.park_pointer()


@pytest.fixture(autouse=True)
def wayland_desktop():
    """Every case here needs a Wayland desktop, which runs as the test account."""
    why = missing()
    if why:
        pytest.skip(f"no Wayland desktop here: {why}")


def test_clipboard_owners(args):
    owner_program = os.environ.get("SILENT_OWNER")
    assert owner_program and os.path.exists(owner_program), "no silent owner program built"
    with WaylandSession(args.bin, W, H, background=coded_pattern(W, H)) as s:
        silent = os.path.join(s.bin, "silentowner")
        shutil.copy2(owner_program, silent)
        s.spawn([s.program("Zonara")])
        wait_until(lambda: s.windows("Zonara"), 10, "Zonara's button")
        asked = s.run([s.program("Zonara"), "--pick"], timeout=20)
        assert asked.returncode == 0, asked
        s.full_screen_window("Zonara")
        # Enlarged twice, far larger than the screen.
        s.drag(PICK[:2], PICK[2:])
        s.no_full_screen_window("Zonara")
        wait_until(lambda: [w for w in s.windows("Zonara")
                            if (w["rect"]["width"], w["rect"]["height"]) == (W, H)],
                   10, "a region window filling the screen")

        # Another program's picture, shown as it was copied.
        first = copied_picture(*PICKED, flip=False)
        copy(s, first)
        wait_until(lambda: offered_types(s) == ["image/png"], 20, "wl-copy to take the clipboard")
        centre = (W // 2, H // 2)
        click(s, centre)
        at = wait_until(lambda: shown_offset(s, first, False), 10,
                        "the copied picture in the region window")

        # An owner that never hands its picture over.
        s.spawn([silent])
        wait_until(lambda: s.windows("silentowner"), 10, "the silent owner's window")

        def taken():
            s.key("space")
            return "application/x-silent-owner" in offered_types(s)
        wait_until(taken, 20, "the silent owner to take the clipboard")
        # Each press asks for the silent owner's picture, a fresh offer of
        # it each time Zonara gets the focus back; the drags move the shown
        # picture meanwhile, which only a window that is not waiting does
        # at once. Presses apart, so that none is a double click.
        step = (-40, -30)
        lateness = []
        for i in range(DRAGS):
            s.swaymsg("[app_id=silentowner]", "focus")
            wait_until(lambda: any(w.get("focused") for w in s.windows("silentowner")), 10,
                       "the silent owner to have the focus")
            at_press = (centre[0] + i * step[0], centre[1] + i * step[1])
            s.drag(at_press, (at_press[0] + step[0], at_press[1] + step[1]), steps=2,
                   pause=0.05)
            dragged = time.monotonic()
            s.park_pointer()
            want = (at[0] + (i + 1) * step[0], at[1] + (i + 1) * step[1])
            wait_until(lambda: shown_offset(s, first, False) == want, 20,
                       f"the picture to follow drag {i + 1}")
            lateness.append(time.monotonic() - dragged)
        assert sum(lateness) < PROMPT, f"the picture followed the drags late: {lateness}"

        # The read gives up on it: the next owner's picture comes.
        second = copied_picture(*PICKED, flip=True)
        copy(s, second)
        wait_until(lambda: offered_types(s) == ["image/png"], 20,
                   "wl-copy to take the clipboard over")
        click(s, centre)
        wait_until(lambda: shown_offset(s, second, True), 20,
                   "the next owner's picture in the region window")
