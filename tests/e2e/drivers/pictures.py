"""Pictures the tests put on a screen and how what a screen shows is
compared with what it should show."""

import io

from PIL import Image, ImageChops

from drivers.session import Timeout, settle


def test_pattern(width, height):
    """Red grows to the right, green downwards: every point has its colour."""
    img = Image.new("RGB", (width, height))
    px = img.load()
    for y in range(height):
        g = (y * 255) // (height - 1)
        for x in range(width):
            px[x, y] = ((x * 255) // (width - 1), g, 128)
    return img


# A picture, not a test: pytest collects what test modules import too.
test_pattern.__test__ = False


def gradient_colour(x, y, width, height):
    """The colour test_pattern() has at a screen point."""
    return ((x * 255) // (width - 1), (y * 255) // (height - 1), 128)


def colour_close(a, b, tolerance=4):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def coded_pattern(width, height):
    """Every pixel names its own coordinates: red and green are the low
    bytes of x and y, blue holds their high nibbles. On a desktop of
    several monitors each monitor's region so carries a pattern of its
    own, and a picture from the wrong monitor or place decodes to the
    wrong point. Built band by band: a pixel-by-pixel loop takes seconds
    at these sizes."""
    def band(values, size):
        return Image.frombytes("L", size, bytes(values))

    xs = range(width)
    ys = range(height)
    red = band([x & 0xFF for x in xs], (width, 1)).resize((width, height), Image.NEAREST)
    green = band([y & 0xFF for y in ys], (1, height)).resize((width, height), Image.NEAREST)
    blue = ImageChops.add(
        band([(x >> 8) & 0x0F for x in xs], (width, 1)).resize((width, height), Image.NEAREST),
        band([((y >> 8) & 0x0F) << 4 for y in ys], (1, height)).resize((width, height),
                                                                      Image.NEAREST))
    return Image.merge("RGB", (red, green, blue))


def decode(pixel):
    r, g, b = pixel[:3]
    return (r | ((b & 0x0F) << 8), g | ((b >> 4) << 8))


def png_bytes(image):
    out = io.BytesIO()
    image.save(out, "PNG")
    return out.getvalue()


def crop(image, box):
    """box: (x, y, width, height)."""
    x, y, w, h = box
    return image.crop((x, y, x + w, y + h))


def middle_twice(pattern, box=None):
    """What a view of the screen or monitor at box shows: its middle half,
    each device pixel as 2 x 2 device pixels."""
    x, y, w, h = box or (0, 0) + pattern.size
    return pattern.crop((x + w // 4, y + h // 4, x + 3 * w // 4, y + 3 * h // 4)).resize(
        (w, h), Image.NEAREST)


def middle_twice_source(w, h):
    """Where the start-up view's point (x, y) comes from on the screen."""
    return lambda x, y: (w / 4 + x / 2, h / 4 + y / 2)


def difference_box(a, b, box):
    """Where within box (left, top, right, bottom) two pictures differ, or None."""
    return ImageChops.difference(a.crop(box), b.crop(box)).getbbox()


def first_difference(got, want, offset=(0, 0)):
    """None where two pictures of one size are equal, else a description of
    the first differing pixel (rows from the top), in root coordinates when
    got lies at offset, with the root points both pictures' pixels name."""
    if got.size != want.size:
        return f"size {got.size}, want {want.size}"
    box = ImageChops.difference(got.convert("RGB"), want.convert("RGB")).getbbox()
    if box is None:
        return None
    left, top, right, bottom = box
    ox, oy = offset
    root_box = (left + ox, top + oy, right + ox, bottom + oy)
    for x in range(left, right):
        g, w = got.getpixel((x, top)), want.getpixel((x, top))
        if g != w:
            return (f"at ({ox + x}, {oy + top}) shows {decode(g)} {g}, want {decode(w)}; "
                    f"differing pixels within {root_box}")
    return f"differing pixels within {root_box}"


def picture_differs(s, box, want, timeout=10):
    """None once the screen in box is exactly the picture want; else, after
    the time-out, the first difference."""
    try:
        settle(lambda: first_difference(s.screenshot(box), want, box[:2]),
               lambda diff: diff is None, "the picture", timeout)
    except Timeout as e:
        return e.last
    return None


def expect_mapping(session, to_source, points, what, timeout=10, tolerance=4):
    """Waits until every screen point shows the test_pattern colour of the
    source point that to_source(x, y) names."""
    settle(lambda: mapping_mismatches(session, to_source, points, tolerance),
           lambda bad: not bad, what, timeout)


def mapping_mismatches(s, to_source, points, tolerance=4):
    """The first few points (point, got, want) that do not show the
    test_pattern colour of the source point to_source(x, y) names."""
    shot = s.screenshot()
    wants = [gradient_colour(int(sx), int(sy), s.width, s.height)
             for sx, sy in (to_source(x, y) for x, y in points)]
    return [(p, shot.getpixel(p), want) for p, want in zip(points, wants)
            if not colour_close(shot.getpixel(p), want, tolerance)][:5]


def sample_points(width, height, margin=48):
    """A grid of points clear of the buttons at the right edge and the tray."""
    xs = [margin, width // 4, width // 2, (3 * width) // 4, width - 3 * margin]
    ys = [margin, height // 3, height // 2, (2 * height) // 3, height - 3 * margin]
    return [(x, y) for x in xs for y in ys]


class Findings:
    """Checks that let the test go on, so that one run names every fault;
    the test fails at its end with all of them."""

    def __init__(self):
        self.faults = []

    def check(self, ok, message):
        if not ok:
            self.faults.append(message)
        return ok

    def settle(self, get, ok, what, timeout=10):
        """Waits until ok(get()); a fault names the last value seen."""
        try:
            return settle(get, ok, what, timeout)
        except Timeout as e:
            self.faults.append(str(e))
            return None

    def picture(self, s, box, want, what, timeout=10):
        diff = picture_differs(s, box, want, timeout)
        self.check(diff is None, f"{what}: {diff}")

    def __enter__(self):
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            for fault in self.faults:
                print(f"  earlier fault: {fault}")
            return False
        if self.faults:
            raise AssertionError("\n  ".join([f"{len(self.faults)} fault(s):"] + self.faults))


def shown(s, x, y):
    """The point of coded_pattern the screen shows at (x, y)."""
    return decode(s.screenshot((x, y, 1, 1)).getpixel((0, 0)))


def expect_shows(s, want, box, what, timeout=10):
    """Waits until the screen within box (left, top, right, bottom) is
    exactly want's there; otherwise fails naming where they differ."""
    settle(lambda: difference_box(s.screenshot(), want, box), lambda diff: diff is None,
           f"{what} (the last box is where the pixels differed)", timeout)
