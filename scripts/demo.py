"""A short scripted session of both programs on a virtual desktop; each
step leaves a screenshot in the output folder. With --docs, the pictures
that the README shows are copied there as well."""

import argparse
import os
import shutil
import sys
import time

from PIL import Image, ImageDraw, ImageFont

from drivers.session import wait_until
from drivers.tipdialog import CHECKBOX_CENTRE, click_in, dialog, dialog_gone
from drivers.xsession import XSession
from drivers.zuz import MARKER, Zuz

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
W, H = 1024, 768

# The README's pictures: docs/<name> is the demo's screenshot.
DOCS = {
    "tip.png": "01-tip.png",
    "screenshot.png": "02-start.png",
    "editor.png": "04-editor.png",
    "drawing.png": "04-editor-drawings.png",
    "menu.png": "07-enlarge-1.5-menu.png",
    "zonara-menu.png": "10-zonara-menu.png",
    "zonara.png": "11-zonara.png",
}


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


def steady(s, timeout=5):
    """Waits until the screen holds still for a moment (menus fade in,
    views repaint) and returns it."""
    last = {}

    def still():
        shot = s.screenshot().tobytes()
        if last.get("shot") == shot and time.monotonic() - last["at"] >= 0.2:
            return True
        if last.get("shot") != shot:
            last.update(shot=shot, at=time.monotonic())
        return False
    wait_until(still, timeout, "the screen to settle", interval=0.05)


def drag(s, a, b, steps=4):
    s.xdotool("mousemove", *a, "mousedown", 1)
    for i in range(1, steps + 1):
        s.xdotool("mousemove", a[0] + (b[0] - a[0]) * i // steps,
                  a[1] + (b[1] - a[1]) * i // steps)
    s.xdotool("mouseup", 1)


def new_window(s, cls, before, what, size=None):
    def found():
        for wid in set(s.windows(cls=cls)) - before:
            if size is None or s.window_geometry(wid)[2:] == size:
                return wid
        return None
    return wait_until(found, 10, what)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--docs", help="folder to copy the README's pictures into")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    with XSession(W, H) as s:
        s.set_background(sample_desktop(W, H))

        def shot(name, settle=True):
            if settle:
                steady(s)
            s.screenshot().save(os.path.join(args.out, name))

        shot("00-desktop.png")

        # The first start: the tip dialog over the view, until its box is ticked.
        zuz = Zuz(s, args.bin, with_marker=False)
        zuz.start()
        view = zuz.view_window()
        tip = dialog(s)
        s.xdotool("mousemove", W // 2, H - 40)
        shot("01-tip.png")
        click_in(s, tip, CHECKBOX_CENTRE)
        dialog_gone(s)
        wait_until(lambda: os.path.exists(os.path.join(zuz.folder, MARKER)), 10, "the marker")
        s.xdotool("mousemove", W // 2, H // 2)
        shot("02-start.png")

        drag(s, (300, 300), (420, 400))
        shot("03-drag.png")

        # The pencil at the top-right corner: the annotation editor on the
        # view as it is; a rectangle drag selects, the outline's dashes march.
        before = set(s.windows(cls="zuz"))
        s.xdotool("mousemove", W - 12, 12, "click", 1)
        editor = new_window(s, "zuz", before, "the editor", size=(W, H))
        wait_until(lambda: view not in s.windows(cls="zuz"), 10, "the view to make way")
        steady(s)
        drag(s, (110, 410), (600, 540))
        # The strip along the top brings the toolbar.
        top = s.screenshot((0, 0, W, 40)).tobytes()
        s.xdotool("mousemove", W // 2, 2)
        wait_until(lambda: s.screenshot((0, 0, W, 40)).tobytes() != top, 10, "the toolbar")
        time.sleep(0.3)  # the dashes march on: there is no still frame to wait for
        shot("04-editor.png", settle=False)
        # Drawing over it by keys: Esc lets the selection go, Shift+Y is the
        # yellow highlighter, R with Ctrl+Shift a red arrow, B with Ctrl a
        # blue box, N numbered steps, and T red text at the pointer.
        s.xdotool("mousemove", 700, 650, "key", "Escape")
        for keys, held, a, b in (("shift+y", [], (140, 327), (400, 327)),
                                 ("r", ["ctrl", "shift"], (720, 190), (460, 315)),
                                 ("b", ["ctrl"], (185, 470), (425, 522))):
            s.xdotool("key", keys, *[x for k in held for x in ("keydown", k)])
            drag(s, a, b, steps=8)
            s.xdotool(*[x for k in reversed(held) for x in ("keyup", k)] or ["sleep", "0"])
        s.xdotool("key", "n", "mousemove", 425, 300, "click", 1, "mousemove", 445, 470, "click", 1)
        s.xdotool("mousemove", 690, 140, "key", "r", "key", "t")
        s.xdotool("type", "Read this!")
        s.xdotool("key", "Escape", "mousemove", 900, 700)
        shot("04-editor-drawings.png", settle=False)
        # With a pen a double-click draws: the menu's first item leaves;
        # zuz waits in the tray and on Ctrl+Z.
        drawn = s.screenshot().tobytes()
        s.xdotool("click", 3)
        wait_until(lambda: s.screenshot().tobytes() != drawn, 10, "the editor's menu")
        s.xdotool("key", "Down", "key", "Return")
        wait_until(lambda: editor not in s.windows(cls="zuz"), 10, "the editor to close")
        shot("05-tray.png")
        s.xdotool("key", "ctrl+z")
        view = zuz.view_window()
        shot("06-ctrl-z.png")

        def menu(downs, name):
            before = set(s.windows(cls="zuz"))
            s.xdotool("mousemove", 600, 300, "click", 3)
            new_window(s, "zuz", before, "the menu")
            shot(name.replace(".png", "-menu.png"))
            s.xdotool("key", *(["Down"] * downs), "Return")
            wait_until(lambda: set(s.windows(cls="zuz")) <= before, 10, "the menu to close")
            shot(name)

        menu(7, "07-enlarge-1.5.png")
        menu(4, "08-vertical-only.png")

        s.xdotool("windowactivate", "--sync", view, "key", "Escape")
        zuz.view_gone()
        shot("09-esc.png")

        # Zonara: its button at the bottom right, its menu, a picked region.
        with open(os.path.join(zuz.folder, "Vorlane.ini"), "wb") as f:
            f.write(b"\r\n")
        zonara = s.spawn([os.path.join(zuz.folder, "Zonara")])
        button = new_window(s, "Zonara", set(), "Zonara's button", size=(33, 33))
        bx, by, bw, bh = s.window_geometry(button)
        centre = (bx + bw // 2, by + bh // 2)
        before = set(s.windows(cls="Zonara"))
        s.xdotool("mousemove", *centre, "click", 3)
        new_window(s, "Zonara", before, "Zonara's menu")
        shot("10-zonara-menu.png")
        s.xdotool("key", "Escape")
        wait_until(lambda: set(s.windows(cls="Zonara")) <= before, 10, "the menu to close")
        s.xdotool("mousemove", *centre, "click", 1)
        wait_until(lambda: s.windows(name="Capture Area"), 10, "the picker")
        drag(s, (200, 150), (420, 290))
        new_window(s, "Zonara", {button}, "the enlarged region")
        s.xdotool("mousemove", W - 100, 100)
        shot("11-zonara.png")
        zonara.terminate()
        zuz.proc.terminate()

    if args.docs:
        for doc, name in DOCS.items():
            shutil.copyfile(os.path.join(args.out, name), os.path.join(args.docs, doc))
    print(f"demo screenshots written to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
