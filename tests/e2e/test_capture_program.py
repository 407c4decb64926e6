"""The capture program as the menus start it, on a real X desktop: from
Zonara's menu a drag, Esc and a click (the file, the clipboard and the
notice checked exactly; the picture pasteable after the windows have gone
and the program gone once another program takes the clipboard), one pick
at a time, from zuz's view the enlarged view, and a pictures folder that
cannot be written."""

import io
import json
import os
import re
import subprocess
import sys
import time

from PIL import Image

from drivers.clipboard import clip_put, clip_read, clip_targets
from drivers.menus import choose
from drivers.pictures import test_pattern
from drivers.session import main, wait_until
from drivers.xsession import XSession, program_folder
from drivers.zonara import Zonara
from drivers.zuz import MARKER

ZONARA_SNARELL = 5  # "Snarell", five items down Zonara's menu
ZUZ_SNARELL = 13  # and thirteen down the view's
NAME = re.compile(r"截图 \d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d( \(\d+\))?\.png")


class Desk:
    """An X desktop with a notification service, the three programs in one
    folder and the user's pictures folder."""

    def __init__(self, bin_dir):
        self.s = XSession()
        self.s._start_bus()
        self.record = os.path.join(self.s.tmp, "notices.jsonl")
        self.s.spawn(["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "drivers",
                                                       "fakenotifications.py"), self.record])
        self.pattern = test_pattern(self.s.width, self.s.height)
        self.s.set_background(self.pattern)
        self.folder = program_folder(bin_dir, self.s.tmp, ("zuz", "Zonara", "Derudovudi"))
        for marker in ("Vorlane.ini", MARKER):
            with open(os.path.join(self.folder, marker), "wb") as f:
                f.write(b"\r\n")
        self.pictures = os.path.join(self.s.tmp, "Pictures")
        wait_until(lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
             "org.freedesktop.DBus.GetNameOwner", "string:org.freedesktop.Notifications"],
            env=self.s.env, capture_output=True).returncode == 0, 15, "the notice service")

    def capture_pids(self):
        exe = os.path.realpath(os.path.join(self.folder, "Derudovudi"))
        pids = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                if os.readlink(f"/proc/{pid}/exe") == exe:
                    pids.append(int(pid))
            except OSError:
                pass
        return pids

    def picker(self):
        return self.s.windows(name="^Capture Area$")

    def files(self):
        return sorted(os.listdir(self.pictures)) if os.path.isdir(self.pictures) else []

    def notices(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record, encoding="utf-8") as f:
            return [json.loads(line) for line in f]

    def new_file(self, before):
        """The one file added since `before`, once the notice tells of it:
        the notice comes when the file is whole."""
        new = wait_until(lambda: [f for f in self.files() if f not in before], 10, "a new file")
        assert len(new) == 1 and NAME.fullmatch(new[0]), new
        path = os.path.join(self.pictures, new[0])
        wait_until(lambda: any(n["body"] == path for n in self.notices()), 10, "the notice")
        return path

    def keeps_clipboard_until_taken(self, want):
        """The windows are gone, the picture is still pasteable, and the
        program ends once another program takes the clipboard."""
        wait_until(lambda: not self.s.windows(cls="Derudovudi"), 10, "the windows to go")
        assert self.capture_pids(), "ended while holding the clipboard"
        assert pixels(clip_read(self.s, "image/png")) == want
        clip_put(self.s, b"taken over", "UTF8_STRING")
        wait_until(lambda: not self.capture_pids(), 10, "the program to end")

    def close(self):
        self.s.close()


def pixels(png):
    image = Image.open(io.BytesIO(png) if isinstance(png, bytes) else png).convert("RGB")
    return image.size, list(image.getdata())


def drag(s, a, b, release=True):
    s.xdotool("mousemove", *a, "mousedown", "1")
    for i in range(1, 5):
        s.xdotool("mousemove", a[0] + (b[0] - a[0]) * i // 4, a[1] + (b[1] - a[1]) * i // 4)
    if release:
        s.xdotool("mouseup", "1")


def from_zonara(args):
    d = Desk(args.bin)
    try:
        s = d.s
        z = Zonara(s, d.folder)

        # A drag: exactly that rectangle, in the file, on the clipboard and
        # in the notice.
        z.menu_command(ZONARA_SNARELL)
        wait_until(d.picker, 10, "the picker")
        a, b = (200, 150), (331, 252)
        drag(s, a, b)
        path = d.new_file([])
        want = pixels(png_of(d.pattern.crop((*a, *b))))
        assert pixels(path) == want, "the file's pixels differ"
        notice = wait_until(d.notices, 10, "the notice")
        assert len(notice) == 1 and notice[0]["body"] == path, notice
        d.keeps_clipboard_until_taken(want)

        # Esc in the middle of a drag: no file, the clipboard untouched. A
        # second start meanwhile does nothing.
        z.menu_command(ZONARA_SNARELL)
        picker = wait_until(d.picker, 10, "the picker")
        drag(s, (100, 100), (400, 300), release=False)
        second = s.spawn([os.path.join(d.folder, "Derudovudi")])
        assert second.wait(10) == 0
        assert d.picker() == picker and len(d.capture_pids()) == 1
        s.xdotool("key", "Escape")
        wait_until(lambda: not d.capture_pids(), 10, "the program to end on Esc")
        s.xdotool("mouseup", "1")
        assert clip_read(s, "UTF8_STRING") == b"taken over"
        assert "image/png" not in clip_targets(s)
        assert d.files() == [os.path.basename(path)] and len(d.notices()) == 1

        # A click: the whole monitor as it was, Zonara's button and the
        # tray included.
        seen = wait_until(lambda: steady_screenshot(s), 10, "the screen to settle")
        z.menu_command(ZONARA_SNARELL)
        wait_until(d.picker, 10, "the picker")
        s.xdotool("mousemove", 500, 400, "click", "1")
        path = d.new_file([os.path.basename(path)])
        size, got = pixels(path)
        assert size == (s.width, s.height), size
        assert Image.open(path).convert("RGB").tobytes() == seen, "the monitor's pixels differ"
        d.keeps_clipboard_until_taken((size, got))
        assert z.end() == 0
    finally:
        d.close()


def from_zuz_view(args):
    d = Desk(args.bin)
    try:
        s = d.s
        zuz = s.spawn([os.path.join(d.folder, "zuz")])
        wait_until(lambda: any(g == (0, 0, s.width, s.height) for _, g in s.geometries("zuz")),
                   10, "the view")
        seen = wait_until(lambda: steady_screenshot(s), 10, "the view to settle")
        assert seen != d.pattern.tobytes(), "the view shows the screen unenlarged"
        choose(s, 600, 400, ZUZ_SNARELL)
        wait_until(d.picker, 10, "the picker")
        s.xdotool("mousemove", 600, 400, "click", "1")
        path = d.new_file([])
        assert Image.open(path).convert("RGB").tobytes() == seen, "the file is not the view"
        assert zuz.poll() is None
    finally:
        d.close()


def steady_screenshot(s):
    """The screen, once two looks a little apart agree."""
    first = s.screenshot().convert("RGB").tobytes()
    time.sleep(0.2)
    second = s.screenshot().convert("RGB").tobytes()
    return second if first == second else None


def unwritable_pictures_folder(args):
    d = Desk(args.bin)
    try:
        s = d.s
        # A file where the pictures folder should be.
        blocked = os.path.join(s.tmp, "Blocked")
        with open(blocked, "w") as f:
            f.write("not a folder")
        os.makedirs(s.env["XDG_CONFIG_HOME"], exist_ok=True)
        with open(os.path.join(s.env["XDG_CONFIG_HOME"], "user-dirs.dirs"), "w") as f:
            f.write('XDG_PICTURES_DIR="$HOME/Blocked"\n')
        z = Zonara(s, d.folder)
        z.menu_command(ZONARA_SNARELL)
        wait_until(d.picker, 10, "the picker")
        a, b = (40, 50), (141, 120)
        drag(s, a, b)
        box = wait_until(lambda: s.windows(name="^Derudovudi$"), 10,
                         "the message")
        want = pixels(png_of(d.pattern.crop((*a, *b))))
        assert pixels(clip_read(s, "image/png")) == want
        assert open(blocked).read() == "not a folder" and not d.notices()
        s.xdotool("windowactivate", "--sync", box[0], "key", "Return")
        d.keeps_clipboard_until_taken(want)
        assert z.end() == 0
    finally:
        d.close()


def png_of(image):
    out = io.BytesIO()
    image.save(out, "PNG")
    return out.getvalue()


if __name__ == "__main__":
    sys.exit(main([from_zonara, from_zuz_view, unwritable_pictures_folder]))
