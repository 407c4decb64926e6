"""Starting zuz on an XSession and looking at what it shows."""

import os

from xsession import (XSession, colour_close, gradient_colour, program_folder, test_pattern,
                      wait_until)

MARKER = "Vivoduzivi.ini"


class Zuz:
    """zuz in a program folder of its own. The marker file is put there by
    default: it keeps the tip dialog away from tests of other things; the
    first-day journeys (test_journey_zuz.py) start without it."""

    def __init__(self, session, bin_dir, with_marker=True, folder=None):
        self.s = session
        self.folder = folder or program_folder(bin_dir, session.tmp, ("zuz", "Zonara"))
        if with_marker:
            with open(os.path.join(self.folder, MARKER), "wb") as f:
                f.write(b"\r\n")
        self.proc = None

    def start(self):
        self.proc = self.s.spawn([os.path.join(self.folder, "zuz")])
        return self.proc

    def view_window(self, timeout=10):
        """The full-screen view window, once it is mapped and covers the screen."""
        def find():
            for wid, g in self.s.geometries("zuz"):
                if g == (0, 0, self.s.width, self.s.height):
                    return wid
            return None
        return wait_until(find, timeout, "the zuz view to cover the screen")

    def view_gone(self, timeout=10):
        wait_until(lambda: not any(g[2:] == (self.s.width, self.s.height)
                                   for _, g in self.s.geometries("zuz")),
                   timeout, "the zuz view to be hidden")


def expect_mapping(session, to_source, points, what, timeout=10, tolerance=4):
    """Waits until every screen point shows the pattern colour of the
    source point that to_source(x, y) names."""
    w, h = session.width, session.height

    def check():
        shot = session.screenshot()
        bad = []
        for (x, y) in points:
            sx, sy = to_source(x, y)
            want = gradient_colour(int(sx), int(sy), w, h)
            got = shot.getpixel((x, y))
            if not colour_close(got, want, tolerance):
                bad.append(((x, y), got, want))
        check.last = bad
        return not bad
    check.last = []
    try:
        wait_until(check, timeout, what)
    except AssertionError as e:
        raise AssertionError(f"{e}; mismatches (point, got, want): {check.last[:5]}") from None


def sample_points(width, height, margin=48):
    """A grid of points clear of the buttons at the right edge and the tray."""
    xs = [margin, width // 4, width // 2, (3 * width) // 4, width - 3 * margin]
    ys = [margin, height // 3, height // 2, (2 * height) // 3, height - 3 * margin]
    return [(x, y) for x in xs for y in ys]


def new_session(width, height):
    s = XSession(width, height)
    s.set_background(test_pattern(width, height))
    return s


def coded_pattern(width, height):
    """Every pixel names its own coordinates: red and green are the low
    bytes of x and y, blue holds their high nibbles."""
    from PIL import Image
    img = Image.new("RGB", (width, height))
    img.putdata([(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4))
                 for y in range(height) for x in range(width)])
    return img


def decode(pixel):
    r, g, b = pixel[:3]
    return (r | ((b & 0x0F) << 8), g | ((b >> 4) << 8))


def open_menu(session, x, y, attempts=3):
    """Right-clicks until the menu is up: on a loaded machine a right-click
    sent the moment the view is mapped was seen to bring no menu; a user
    would click again, and so does this."""
    before = set(session.windows(cls="zuz"))

    def menu():
        return set(session.windows(cls="zuz")) - before
    for attempt in range(attempts):
        if menu():
            return
        session.xdotool("mousemove", x, y, "click", 3)
        try:
            wait_until(menu, 10, "the context menu")
            return
        except AssertionError:
            if attempt == attempts - 1:
                raise


def choose(session, x, y, downs):
    """Right-click at (x, y) and pick the menu item `downs` rows down."""
    open_menu(session, x, y)
    session.xdotool("key", *(["Down"] * downs), "Return")
