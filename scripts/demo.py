"""A short scripted zuz session on a virtual desktop; each step leaves a
screenshot in the output folder."""

import argparse
import os
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from xsession import XSession, wait_until  # noqa: E402
from zuzdriver import Zuz  # noqa: E402

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def sample_desktop(w, h):
    """A desktop with a document window on it, to magnify."""
    img = Image.new("RGB", (w, h), (40, 90, 150))
    d = ImageDraw.Draw(img)
    for i in range(0, w, 64):
        d.line([(i, 0), (i + h // 2, h)], fill=(50, 105, 165), width=18)
    try:
        title, body = ImageFont.truetype(FONT, 22), ImageFont.truetype(FONT, 16)
    except OSError:
        title = body = ImageFont.load_default()
    x0, y0, x1, y1 = w // 6, h // 8, 5 * w // 6, 7 * h // 8
    d.rectangle([x0 + 6, y0 + 6, x1 + 6, y1 + 6], fill=(20, 40, 70))
    d.rectangle([x0, y0, x1, y1], fill=(250, 250, 245), outline=(30, 30, 30))
    d.rectangle([x0, y0, x1, y0 + 36], fill=(70, 70, 90))
    d.text((x0 + 12, y0 + 6), "Quarterly report.txt", font=title, fill=(255, 255, 255))
    lines = ["Revenue grew 12 % over the last quarter.", "",
             "Region      Q1     Q2     Q3", "North       4.1    4.5    5.0",
             "South       3.2    3.3    3.9", "East        2.7    2.9    3.1", "",
             "Small print is hard to read from the back of the room:",
             "that is what the magnifier is for."]
    for i, text in enumerate(lines):
        d.text((x0 + 24, y0 + 60 + i * 28), text, font=body, fill=(20, 20, 20))
    d.ellipse([x1 - 150, y1 - 150, x1 - 40, y1 - 40], fill=(230, 120, 40))
    return img


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    w, h = 1024, 768
    with XSession(w, h) as s:
        s.set_background(sample_desktop(w, h))
        shot = lambda name: s.screenshot().save(os.path.join(args.out, name))  # noqa: E731
        shot("00-desktop.png")

        zuz = Zuz(s, args.bin)
        zuz.start()
        zuz.view_window()
        wait_until(lambda: s.screenshot().getpixel((w // 2, h // 2)) != (40, 90, 150), 10,
                   "the first view")
        shot("01-start.png")

        s.xdotool("mousemove", 300, 300, "mousedown", 1)
        for x, y in [(340, 330), (380, 360), (420, 400)]:
            s.xdotool("mousemove", x, y)
        s.xdotool("mouseup", 1)
        s.xdotool("sleep", "0.3")
        shot("02-drag.png")

        def menu(downs, name):
            before = set(s.windows(cls="zuz"))
            s.xdotool("mousemove", 600, 300, "click", 3)
            wait_until(lambda: set(s.windows(cls="zuz")) - before, 10, "the menu")
            s.xdotool("sleep", "0.2")
            shot(name.replace(".png", "-menu.png"))
            s.xdotool("key", *(["Down"] * downs), "Return", "sleep", "0.3")
            shot(name)

        menu(7, "03-enlarge-1.5.png")
        menu(4, "04-vertical-only.png")

        s.xdotool("mousemove", 600, 300, "click", 1, "key", "Escape")
        zuz.view_gone()
        shot("05-esc.png")
        zuz.proc.terminate()
    print(f"demo screenshots written to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
