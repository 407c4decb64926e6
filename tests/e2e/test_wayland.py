"""Both programs on a real Wayland compositor (headless sway with the
desktop portals), beside the X11 suite: zuz's view shows the middle of the
screen twice, pixel for pixel, as the Screenshot portal gave it, in
greyscale or inverted by its keys, exactly; its icon
registers with a StatusNotifierWatcher and a right-click there brings a
view; `zuz --view` brings one from the waiting instance; `Zonara --pick`
starts a pick in the running Zonara, the picked pixels reach the
clipboard exactly, and closing its button ends it; Derudovudi's pick goes
to the clipboard and a file, and it ends once another program takes the
clipboard; where the portal gives no picture the user is told so and no
view pretends otherwise; where zuz has neither an icon nor a key, a
second start brings a view; and the editor over a view draws, copies and
undoes at either output scale."""

import io
import os
import shutil

import pytest
from PIL import Image, ImageOps

from drivers.pictures import coded_pattern, difference_box, expect_shows, middle_twice
from drivers.session import settle, wait_until
from drivers.wlsession import WaylandSession, missing

W, H = 1024, 768
CONTROL = 33  # Zonara's button: 500 twips at 15 twips a pixel
# Clear of the view's buttons at the right edge, and of the pointer.
COMPARED = (0, 0, W - 64, H)


def same(a, b, box, what):
    diff = difference_box(a, b, box)
    if diff:
        raise AssertionError(f"{what}: differs from the expected pixels within {diff}")


def expect_view(s, pattern, what):
    s.full_screen_window("zuz")
    # The window is there before its first frame is.
    expect_shows(s, middle_twice(pattern), COMPARED, what)


def end_view(s):
    s.key("Escape")
    s.no_full_screen_window("zuz")


def tray_items(path):
    try:
        with open(path) as f:
            return [line.strip() for line in f if line.strip()]
    except OSError:
        return []


@pytest.fixture(autouse=True)
def wayland_desktop():
    """Every case here needs a Wayland desktop, which runs as the test account."""
    why = missing()
    if why:
        pytest.skip(f"no Wayland desktop here: {why}")


def test_wayland_desktop(args):
    pattern = coded_pattern(W, H)
    with WaylandSession(args.bin, W, H, background=pattern) as s:
        same(s.screenshot(), pattern, COMPARED, "the desktop's own background")

        # A panel with its watcher is there before zuz.
        record = os.path.join(s.home, "items")
        watcher = os.path.join(s.tmp, "snwatcher.py")
        shutil.copy(os.path.join(os.path.dirname(__file__), "drivers", "snwatcher.py"), watcher)
        s.spawn(["/usr/bin/python3", watcher, record])
        wait_until(lambda: os.path.exists(record + ".ready"), 10, "the watcher")

        zuz = s.spawn([s.program("zuz")])
        expect_view(s, pattern, "the view zuz shows at its start")
        # G: greyscale by the usual luma weights, exactly; again, colours.
        s.key("g")
        grey = middle_twice(pattern).copy()
        grey.putdata([((77 * r + 150 * g + 29 * b + 128) >> 8,) * 3 for r, g, b in grey.getdata()])
        expect_shows(s, grey, COMPARED, "the view in greyscale")
        s.key("g")
        expect_view(s, pattern, "the view in colour again")
        end_view(s)

        items = wait_until(lambda: tray_items(record), 10, "zuz's icon to register")
        # The panel's right-click on the icon.
        s.run(["gdbus", "call", "--session", "--dest", items[0], "--object-path",
               "/StatusNotifierItem", "--method", "org.kde.StatusNotifierItem.ContextMenu",
               "10", "10"])
        expect_view(s, pattern, "the view of a right-click on the icon")
        end_view(s)

        # A key bound in the desktop's settings runs `zuz --view`.
        asked = s.run([s.program("zuz"), "--view"], timeout=20)
        assert asked.returncode == 0, asked
        expect_view(s, pattern, "the view of `zuz --view`")
        end_view(s)
        assert zuz.poll() is None, "the waiting zuz ended"

        # Zonara: its button, then a pick asked for from outside.
        zonara = s.spawn([s.program("Zonara")])
        wait_until(lambda: s.windows("Zonara"), 10, "Zonara's button")
        asked = s.run([s.program("Zonara"), "--pick"], timeout=20)
        assert asked.returncode == 0, asked
        s.full_screen_window("Zonara")
        # The frozen screen: the desktop, with no trace of the button.
        expect_shows(s, pattern, COMPARED, "the picker over the desktop")
        a, b = (100, 120), (300, 260)
        s.drag(a, b)
        want = pattern.crop((a[0], a[1], b[0], b[1]))

        def picked():
            data = s.clipboard()
            return Image.open(io.BytesIO(data)).convert("RGB") if data else None
        got = wait_until(picked, 10, "the picked region on the clipboard")
        assert got.size == want.size, (got.size, want.size)
        same(got, want, (0, 0) + want.size, "the clipboard's picture")

        # Neither window can place itself here: a drag hands the move to
        # the compositor, which follows the pointer.
        def one(what, fits):
            return wait_until(lambda: [w for w in s.windows("Zonara") if fits(w)], 10, what)[0]
        is_button = lambda w: (w["rect"]["width"], w["rect"]["height"]) == (CONTROL, CONTROL)
        is_region = lambda w: not w.get("fullscreen_mode") and not is_button(w)
        # The compositor centres both, the region over the button: the
        # region goes first, far enough to uncover it.
        for what, fits, by in (("the magnified region", is_region, (250, 200)),
                               ("the button", is_button, (-200, -150))):
            before = one(what, fits)["rect"]
            start = (before["x"] + 12, before["y"] + 12)
            s.drag(start, (start[0] + by[0], start[1] + by[1]), steps=8, pause=0.05)

            # The compositor follows the pointer from where it was when the
            # move was handed over: after the first step or two.
            def followed():
                r = one(what, fits)["rect"]
                moved = (r["x"] - before["x"], r["y"] - before["y"])
                return all(abs(b) * 0.7 <= m * (1 if b > 0 else -1) <= abs(b) + 2
                           for m, b in zip(moved, by))
            try:
                wait_until(followed, 10, f"{what} to follow the drag")
            except AssertionError:
                raise AssertionError(f"{what} at {one(what, fits)['rect']}, was {before}, "
                                     f"dragged by {by}") from None
        s.park_pointer()

        # Closed by the desktop (its close key), Zonara ends.
        button = wait_until(lambda: [w for w in s.windows("Zonara") if is_button(w)], 10,
                            "the button")
        s.swaymsg(f"[con_id={button[0]['id']}]", "kill")
        wait_until(lambda: zonara.poll() is not None, 10, "Zonara to end")

    with WaylandSession(args.bin, W, H) as s:
        # No portal to be reached: one message, and no view behind it.
        s.spawn([s.program("zuz")], env={"DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent"})
        box = wait_until(lambda: s.windows("zuz"), 10, "zuz's message")[0]
        assert not box.get("fullscreen_mode"), box
        assert (box["rect"]["width"], box["rect"]["height"]) != (W, H), box
        s.key("Return")
        wait_until(lambda: not s.windows("zuz"), 10, "the message to close")
        assert not s.windows("zuz"), "a view with no picture"


def test_capture_program(args):
    pattern = coded_pattern(W, H)
    with WaylandSession(args.bin, W, H, background=pattern) as s:
        capture = s.spawn([s.program("Derudovudi")])
        s.full_screen_window("Derudovudi")
        a, b = (100, 120), (300, 260)
        s.drag(a, b)
        want = pattern.crop((a[0], a[1], b[0], b[1]))
        got = wait_until(lambda: picture(s.clipboard()), 10, "the picture on the clipboard")
        same(got, want, (0, 0) + want.size, "the clipboard's picture")
        folder = os.path.join(s.home, "Pictures")

        def saved():
            names = os.listdir(folder) if os.path.isdir(folder) else []
            return len(names) == 1 and picture(os.path.join(folder, names[0]))
        same(wait_until(saved, 10, "the picture file"), want, (0, 0) + want.size, "the file")
        wait_until(lambda: not s.windows("Derudovudi"), 10, "the picker to go")
        assert capture.poll() is None, "ended while holding the clipboard"
        # wl-copy serves the clipboard from a child of its own.
        s.spawn(["wl-copy", "taken over"])
        wait_until(lambda: capture.poll() is not None, 10, "Derudovudi to end")


def picture(data):
    """The picture in PNG bytes or a file; None until it is whole."""
    if not data:
        return None
    try:
        image = Image.open(io.BytesIO(data) if isinstance(data, bytes) else data)
        image.load()
        return image.convert("RGB")
    except Exception:
        return None


def test_scaled_output(args):
    # An output at scale 2: the picture and the view are in its device
    # pixels, each pixel of the screen's middle shown as exactly 2 x 2.
    pattern = coded_pattern(2 * W, 2 * H)
    with WaylandSession(args.bin, W, H, background=pattern, scale=2) as s:
        box = (0, 0, 2 * COMPARED[2], 2 * COMPARED[3])
        same(s.screenshot(), pattern, box, "the desktop's own background")
        s.spawn([s.program("zuz")])
        s.full_screen_window("zuz")
        want = middle_twice(pattern)
        expect_shows(s, want, box, "the view at scale 2")
        s.key("i")
        expect_shows(s, ImageOps.invert(want), box, "the view inverted at scale 2")
        s.key("i")
        expect_shows(s, want, box, "the view's own colours at scale 2")

        # Neither a panel for the icon nor global shortcuts here: a second
        # start brings the next view, with no box whose hints point at them.
        s.key("Escape")
        s.no_full_screen_window("zuz")
        again = s.run([s.program("zuz")], timeout=20)
        assert again.returncode == 0, again
        s.full_screen_window("zuz")
        expect_shows(s, want, box, "the view of a second start")
        others = [w for w in s.windows("zuz") if not w.get("fullscreen_mode")]
        assert not others, f"a window beside the view: {others}"


@pytest.mark.parametrize("scale", [1, 2])
def test_drawing_in_the_editor(args, scale):
    # The editor over a view draws in the picture's device pixels, copies
    # at the output's full size and undoes by its own Ctrl+Z, on an output
    # at either scale.
    pattern = coded_pattern(scale * W, scale * H)
    with WaylandSession(args.bin, W, H, background=pattern, scale=scale) as s:
        box = (0, 0, scale * COMPARED[2], scale * COMPARED[3])
        s.spawn([s.program("zuz")])
        view = s.full_screen_window("zuz")["id"]
        shown = middle_twice(pattern)
        expect_shows(s, shown, box, "the view")
        s.pointer_to(scale * W - 12, 12)
        s.pointer_to(scale * W - 12, 12, buttons=1)
        s.pointer_to(scale * W - 12, 12)
        wait_until(lambda: [w for w in s.windows("zuz") if w["id"] != view and w.get("fullscreen_mode")],
                   10, "the editor over the screen")
        s.park_pointer()
        # The toolbar may stay up along the top after the click.
        box = (0, 48 * scale) + box[2:]
        expect_shows(s, shown, box, "the editor showing the view as it was")

        stroke = (100 * scale - 10, 150 * scale - 10, 300 * scale + 10, 190 * scale + 10)
        s.key("r")
        s.drag((100 * scale, 150 * scale), (300 * scale, 190 * scale), steps=6, pause=0.02)
        s.park_pointer()

        def drawn(shot):
            if not difference_box(shot, shown, stroke):
                return "no stroke"
            outside = shot.copy()
            outside.paste(shown.crop(stroke), stroke[:2])
            return difference_box(outside, shown, box)
        drawn_shot = settle(s.screenshot, lambda shot: drawn(shot) is None, "the red stroke alone")
        red = [p for p in drawn_shot.crop(stroke).getdata() if p[0] > 200 and p[1] < 30 and p[2] < 30]
        assert len(red) >= 200 * scale, f"{len(red)} red pixels in the stroke"

        s.run(["wtype", "-M", "ctrl", "-k", "c", "-m", "ctrl"])
        copied = wait_until(lambda: s.clipboard(), 10, "the picture on the clipboard")
        copied = Image.open(io.BytesIO(copied)).convert("RGB")
        assert copied.size == (scale * W, scale * H), copied.size
        same(copied, drawn_shot, box, "the copy")

        s.run(["wtype", "-M", "ctrl", "-k", "z", "-m", "ctrl"])
        expect_shows(s, shown, box, "the stroke undone")
