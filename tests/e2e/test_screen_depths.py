"""Both programs on screens of 8, 16, 24 and 30 bits per pixel. The desktop
is grey on the left and orange on the right; zuz's start-up view, a pick's
picture on the clipboard and Zonara's region window show those colours
within what the depth keeps of them. An 8-bit screen's colours are indices
into a colour map the toolkit does not paint into: there both programs
must keep running and show their windows, and zuz says on its error
output why they stay empty."""

import io
import os

from PIL import Image
from Xlib import X

from drivers.clipboard import clip_read
from drivers.pictures import colour_close
from drivers.session import settle, wait_until
from drivers.xsession import XSession
from drivers.zonara import Zonara
from drivers.zuz import Zuz

GREY = (128, 128, 128)
ORANGE = (230, 120, 30)
WIDTH, HEIGHT = 640, 480


class Pixels:
    """The server's pixel layout at the screen's depth, both ways."""

    def __init__(self, s):
        screen = s.dpy.screen()
        info = s.dpy.display.info
        fmt = next(f for f in info.pixmap_formats if f.depth == screen.root_depth)
        self.bytes = fmt.bits_per_pixel // 8
        self.pad = fmt.scanline_pad
        self.msb = info.image_byte_order == X.MSBFirst
        visual = next(v for d in screen.allowed_depths for v in d.visuals
                      if v.visual_id == screen.root_visual)
        self.masks = (visual.red_mask, visual.green_mask, visual.blue_mask)
        self.cmap = None if visual.visual_class in (X.TrueColor, X.DirectColor) \
            else screen.default_colormap

    @staticmethod
    def _channel(value, mask, inverse=False):
        shift = (mask & -mask).bit_length() - 1
        top = mask >> shift
        if inverse:
            return (((value & mask) >> shift) * 255 + top // 2) // top
        return ((value * top + 127) // 255) << shift

    def pixel(self, rgb):
        """The pixel value of a colour, and the colour it really shows."""
        if self.cmap is not None:
            c = self.cmap.alloc_color(*(v * 257 for v in rgb))
            return c.pixel, (c.red >> 8, c.green >> 8, c.blue >> 8)
        value = 0
        for v, m in zip(rgb, self.masks):
            value |= self._channel(v, m)
        return value, rgb

    def colours(self, s, box):
        x, y, w, h = box
        data = s.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
        stride = (w * self.bytes * 8 + self.pad - 1) // self.pad * self.pad // 8
        out = []
        for row in range(h):
            for col in range(w):
                at = row * stride + col * self.bytes
                v = int.from_bytes(data[at:at + self.bytes], "big" if self.msb else "little")
                if self.cmap is not None:
                    c = self.cmap.query_colors([v])[0]
                    out.append((c.red >> 8, c.green >> 8, c.blue >> 8))
                else:
                    out.append(tuple(self._channel(v, m, True) for m in self.masks))
        return out


def paint_halves(s, px):
    """Grey left, orange right, as the root window's background; the colours
    as the screen really shows them."""
    pm = s.root.create_pixmap(s.width, s.height, s.dpy.screen().root_depth)
    shown = []
    for colour, x in ((GREY, 0), (ORANGE, s.width // 2)):
        value, real = px.pixel(colour)
        gc = pm.create_gc(foreground=value)
        pm.fill_rectangle(gc, x, 0, s.width // 2, s.height)
        shown.append(real)
    s.root.change_attributes(background_pixmap=pm)
    s.root.clear_area(0, 0, 0, 0, False)
    s.dpy.sync()
    s._background = pm
    return shown


def expect_colours(what, read, spots, tolerance, timeout=10):
    """Waits until each spot read() gives shows its colour."""
    settle(read, lambda got: all(colour_close(g, w, tolerance) for g, (_, w) in zip(got, spots)),
           f"{what} (want {[w for _, w in spots]})", timeout)


def both_programs_at(args, depth, tolerance):
    with XSession(WIDTH, HEIGHT, tray=False, depth=depth) as s:
        px = Pixels(s)
        grey, orange = paint_halves(s, px)
        zuz = Zuz(s, args.bin)
        log = os.path.join(s.tmp, "zuz.log")
        with open(log, "w") as err:
            zuz.proc = s.spawn([os.path.join(zuz.folder, "zuz")], stderr=err)
        zuz.view_window()
        with open(log, encoding="utf-8", errors="replace") as err:
            told = "16 位或更高" in err.read()
        assert told == (depth < 15), f"the message on a {depth}-bit screen: {told}"
        if tolerance is not None:
            # The middle twice: a quarter of the way in shows the grey half,
            # three quarters the orange one.
            spots = [((WIDTH // 4, HEIGHT // 2), grey), ((3 * WIDTH // 4, HEIGHT // 2), orange)]
            expect_colours(f"zuz's view at depth {depth}",
                           lambda: [px.colours(s, (x, y, 1, 1))[0] for (x, y), _ in spots],
                           spots, tolerance)
        s.xdotool("key", "Escape")
        zuz.view_gone()
        assert zuz.proc.poll() is None, f"zuz ended at depth {depth}: {zuz.proc.returncode}"

        open(os.path.join(zuz.folder, "Vorlane.ini"), "w").close()
        z = Zonara(s, zuz.folder)
        z.click_control()
        a, b = (WIDTH // 2 - 40, HEIGHT // 2 - 20), (WIDTH // 2 + 40, HEIGHT // 2 + 20)
        z.drag(a, b)
        wait_until(lambda: not z.picker_open(), 10, "the picker to close")
        size = (2 * (b[0] - a[0]) + 2, 2 * (b[1] - a[1]) + 2)
        found = wait_until(lambda: [g for _, g in z.region_windows() if g[2:] == size], 10,
                           f"the region window at depth {depth}")
        if tolerance is not None:
            png = wait_until(lambda: clip_read(s, "image/png"), 10, "a picture on the clipboard")
            pic = Image.open(io.BytesIO(png)).convert("RGB")
            spots = [((10, 20), grey), ((70, 20), orange)]
            expect_colours(f"the clipboard's picture at depth {depth}",
                           lambda: [pic.getpixel(p) for p, _ in spots], spots, tolerance)
            gx, gy = found[0][:2]
            shown = [((gx + 1 + 2 * x, gy + 1 + 2 * y), c) for (x, y), c in spots]
            expect_colours(f"the region window at depth {depth}",
                           lambda: [px.colours(s, (x, y, 1, 1))[0] for (x, y), _ in shown],
                           shown, tolerance)
        assert z.proc.poll() is None, f"Zonara ended at depth {depth}: {z.proc.returncode}"
        assert z.end() == 0


# Each depth with how far a channel may be off (half a step of the
# narrowest channel, and one for rounding); None: colours not checked.
def test_both_programs_at_depth_8(args):
    both_programs_at(args, 8, None)


def test_both_programs_at_depth_16(args):
    both_programs_at(args, 16, 5)


def test_both_programs_at_depth_24(args):
    both_programs_at(args, 24, 1)


def test_both_programs_at_depth_30(args):
    both_programs_at(args, 30, 1)
