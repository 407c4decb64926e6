"""The capture program as the menus start it, on a real X desktop: the
process that waits in the background for zuz and Zonara takes a drag, Esc
and a click from Zonara's menu (the file, the clipboard and the notice
checked exactly; the picture pasteable after the windows have gone), one
pick at a time, the enlarged view from zuz's and the picture from the
editor's; it ends with the last of the two, or once the clipboard is no
longer its own, or hands the picture to a clipboard manager. A scaled
screen, and a start by hand into a pictures folder that cannot be
written."""

import io
import json
import os
import re
import subprocess
import time

from PIL import Image

from drivers.captureprogram import capture_pids
from drivers.clipboard import clip_put, clip_read
from drivers.menus import choose
from drivers.pictures import test_pattern
from drivers.session import wait_until
from drivers.xsession import XSession, program_folder
from drivers.zonara import CONTROL_SIZE, Zonara
from drivers.zuz import MARKER

HERE = os.path.dirname(os.path.abspath(__file__))
ZONARA_SNARELL = 5  # "Snarell", five items down Zonara's menu
ZUZ_SNARELL = 13  # thirteen down the view's
EDITOR_SNARELL = 3  # and three down the editor's
NAME = re.compile(r"截图 \d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d( \(\d+\))?\.png")


class Desk:
    """An X desktop with a notification service, the three programs in one
    folder and the user's pictures folder."""

    def __init__(self, bin_dir, env=None):
        self.s = XSession(env=env)
        self.s._start_bus()
        self.record = os.path.join(self.s.tmp, "notices.jsonl")
        self.s.spawn(["/usr/bin/python3", os.path.join(HERE, "drivers", "fakenotifications.py"),
                      self.record])
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

    def capture_pids(self, waiting=None):
        return capture_pids(self.folder, waiting)

    def resident(self):
        """The one process waiting in the background, once it listens."""
        channel = self.s.instance_file("Derudovudi", ".channel")
        # A second one, started at the same time, hands its program to the
        # first and ends.
        pids = wait_until(lambda: os.path.exists(channel) and len(self.capture_pids()) == 1 and
                          self.capture_pids(True), 20,
                          "one capture program to wait in the background")
        return pids[0]

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

    def drag_from_zonara(self, z, a, b):
        """"Snarell" from Zonara's menu and a drag from a to b; returns the
        new file and the pixels it must hold, once it has come."""
        z.menu_command(ZONARA_SNARELL)
        wait_until(self.picker, 10, "the picker")
        drag(self.s, a, b)
        return self.new_file([]), pixels(png_of(self.pattern.crop((*a, *b))))

    def windows_gone_picture_kept(self, want):
        """The windows are gone and the picture is still pasteable."""
        wait_until(lambda: not self.s.windows(cls="Derudovudi"), 10, "the windows to go")
        assert self.capture_pids(), "ended while holding the clipboard"
        assert pixels(clip_read(self.s, "image/png")) == want

    def ends_once_clipboard_taken(self):
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


def test_from_zonara(args):
    """The waiting process takes every pick, goes back to waiting after
    each, and outlives Zonara only while it keeps the clipboard."""
    d = Desk(args.bin)
    try:
        s = d.s
        z = Zonara(s, d.folder)
        resident = d.resident()

        # A drag: exactly that rectangle, in the file, on the clipboard and
        # in the notice.
        path, want = d.drag_from_zonara(z, (200, 150), (331, 252))
        assert pixels(path) == want, "the file's pixels differ"
        notice = wait_until(d.notices, 10, "the notice")
        assert len(notice) == 1 and notice[0]["body"] == path, notice
        d.windows_gone_picture_kept(want)

        # Esc in the middle of a drag: no file, the clipboard untouched. A
        # start by hand meanwhile does nothing.
        z.menu_command(ZONARA_SNARELL)
        picker = wait_until(d.picker, 10, "the picker")
        drag(s, (100, 100), (400, 300), release=False)
        second = s.spawn([os.path.join(d.folder, "Derudovudi")])
        assert second.wait(10) == 0
        assert d.picker() == picker and d.capture_pids() == [resident]
        s.xdotool("key", "Escape")
        wait_until(lambda: not d.picker(), 10, "the picker to go on Esc")
        s.xdotool("mouseup", "1")
        assert pixels(clip_read(s, "image/png")) == want
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
        d.windows_gone_picture_kept((size, got))
        assert d.capture_pids() == [resident], "a process of its own took a pick"

        # Zonara gone: the picture keeps the process until another program
        # takes the clipboard.
        assert z.end() == 0
        d.windows_gone_picture_kept((size, got))
        d.ends_once_clipboard_taken()
    finally:
        d.close()


def test_one_for_both(args):
    """zuz and Zonara share one waiting process, which takes the view's and
    the editor's picks (what the user sees: the enlarged view, the editor's
    picture) and ends once both have gone."""
    d = Desk(args.bin)
    try:
        s = d.s
        zuz = s.spawn([os.path.join(d.folder, "zuz")])
        wait_until(lambda: any(g == (0, 0, s.width, s.height) for _, g in s.geometries("zuz")),
                   10, "the view")
        z = Zonara(s, d.folder)
        resident = d.resident()
        seen = wait_until(lambda: steady_screenshot(s), 10, "the view to settle")
        assert seen != d.pattern.tobytes(), "the view shows the screen unenlarged"
        choose(s, 600, 400, ZUZ_SNARELL)
        wait_until(d.picker, 10, "the picker")
        s.xdotool("mousemove", 600, 400, "click", "1")
        path = d.new_file([])
        assert Image.open(path).convert("RGB").tobytes() == seen, "the file is not the view"

        # Zonara gone, the clipboard no longer its own: it stays for zuz.
        wait_until(lambda: not d.picker(), 10, "the picker to go")
        clip_put(s, b"taken over", "UTF8_STRING")
        z.proc.terminate()
        z.proc.wait(10)
        assert d.capture_pids() == [resident], "ended while zuz still runs"

        # The editor's "Snarell": its picture is what the file holds.
        full = (0, 0, s.width, s.height)
        view = [w for w, g in s.geometries("zuz") if g == full]
        s.xdotool("mousemove", s.width - 12, 12, "click", "1")  # the view's pencil
        wait_until(lambda: [w for w, g in s.geometries("zuz") if g == full and w not in view],
                   10, "the editor")
        # Away from the toolbar, which then leaves the top of the picture.
        s.xdotool("mousemove", 600, 400)
        in_editor = wait_until(lambda: steady_screenshot(s), 10, "the editor to settle")
        choose(s, 600, 400, EDITOR_SNARELL)
        wait_until(d.picker, 10, "the picker")
        s.xdotool("mousemove", 600, 400, "click", "1")
        path = d.new_file([os.path.basename(path)])
        assert Image.open(path).convert("RGB").tobytes() == in_editor, \
            "the file is not the editor's picture"
        assert d.capture_pids() == [resident] and zuz.poll() is None

        # Ends with the last of the two.
        clip_put(s, b"taken again", "UTF8_STRING")
        assert d.capture_pids() == [resident]
        zuz.terminate()
        assert zuz.wait(10) is not None
        wait_until(lambda: not d.capture_pids(), 10, "the waiting process to end")
    finally:
        d.close()


class ScaledZonara(Zonara):
    """Zonara with its button at twice the pixels."""

    def find_control(self):
        return next((w for w, g in self.windows() if g[2:] == (2 * CONTROL_SIZE,) * 2), None)


def test_scaled_screen(args):
    """At twice the pixels a drag takes device pixels, exactly."""
    d = Desk(args.bin, env={"QT_SCALE_FACTOR": "2"})
    try:
        s = d.s
        z = ScaledZonara(s, d.folder)
        d.resident()
        path, want = d.drag_from_zonara(z, (202, 150), (464, 354))
        assert pixels(path) == want, "the file's pixels differ"
        assert pixels(clip_read(s, "image/png")) == want
        assert z.end() == 0
    finally:
        d.close()


def test_clipboard_manager(args):
    """With a clipboard manager, the picture stays pasteable after the
    waiting process has ended, which it does with Zonara."""
    d = Desk(args.bin)
    try:
        s = d.s
        manager = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(HERE, "drivers", "clipboardmanager.py")], env=s.env,
            stdout=subprocess.PIPE)
        s.procs.append(manager)
        assert manager.stdout.readline() == b"ready\n"
        z = Zonara(s, d.folder)
        d.resident()
        path, want = d.drag_from_zonara(z, (60, 70), (181, 160))
        assert pixels(path) == want, "the file's pixels differ"
        d.windows_gone_picture_kept(want)
        assert z.end() == 0
        wait_until(lambda: not d.capture_pids(), 10, "the waiting process to end")
        assert manager.stdout.readline().startswith(b"saved ")
        assert pixels(clip_read(s, "image/png")) == want
    finally:
        d.close()


def steady_screenshot(s):
    """The screen, once two looks a little apart agree."""
    first = s.screenshot().convert("RGB").tobytes()
    time.sleep(0.2)
    second = s.screenshot().convert("RGB").tobytes()
    return second if first == second else None


def test_unwritable_pictures_folder(args):
    """Started by hand: a pick of its own, a message where the file could
    not go, and an end once another program takes the clipboard."""
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
        s.spawn([os.path.join(d.folder, "Derudovudi")])
        wait_until(d.picker, 10, "the picker")
        a, b = (40, 50), (141, 120)
        drag(s, a, b)
        box = wait_until(lambda: s.windows(name="^Derudovudi$"), 10,
                         "the message")
        want = pixels(png_of(d.pattern.crop((*a, *b))))
        assert pixels(clip_read(s, "image/png")) == want
        assert open(blocked).read() == "not a folder" and not d.notices()
        s.xdotool("windowactivate", "--sync", box[0], "key", "Return")
        d.windows_gone_picture_kept(want)
        d.ends_once_clipboard_taken()
    finally:
        d.close()


def png_of(image):
    out = io.BytesIO()
    image.save(out, "PNG")
    return out.getvalue()
