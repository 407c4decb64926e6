"""A private X desktop for driving the real programs: Xvfb, a window
manager, a tray host, input through xdotool and pixels read back through
the X server itself."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

from PIL import Image
import Xlib.error
from Xlib import X, display as xdisplay
from Xlib.ext import xtest


# What ties a program to the desktop it was started from.
SESSION_VARS = ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER", "XAUTHORITY",
                "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "XDG_SESSION_TYPE",
                "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_IM_MODULE",
                "XMODIFIERS", "GTK_IM_MODULE", "SWAYSOCK", "I3SOCK", "KDE_FULL_SESSION",
                "GNOME_DESKTOP_SESSION_ID", "AT_SPI_BUS_ADDRESS")
# An address no bus answers on.
NO_BUS = "unix:path=/nonexistent/zuz-no-session-bus"


class Timeout(AssertionError):
    pass


def wait_until(predicate, timeout=10.0, what="condition", interval=0.05):
    """Polls until predicate() returns a true value, which it returns."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)


class XSession:
    def __init__(self, width=1024, height=768, wm=True, tray=True, env=None, depth=24):
        """wm: True or "openbox" for openbox, "xfwm4" for xfwm4 (which
        refuses the focus to a window that asks for it with an old time),
        False for none. env: variables for the programs on top of the clean
        environment, e.g. QT_SCALE_FACTOR, which is otherwise taken away.
        depth: the screen's bits per pixel (8, 16, 24, 30)."""
        self.width, self.height, self.depth = width, height, depth
        self.procs = []
        self.tmp = tempfile.mkdtemp(prefix="zuz-e2e-")
        self.runtime = os.path.join(self.tmp, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        try:
            self._start_server()
            self.env = dict(os.environ)
            self.env.update({
                "DISPLAY": self.display_name,
                "XDG_RUNTIME_DIR": self.runtime,
                "XDG_CONFIG_HOME": os.path.join(self.tmp, "config"),
                "HOME": self.tmp,
                "QT_QPA_PLATFORM": "xcb",
                "LANG": "C.UTF-8",
                # The texts as they stand, whatever the desktop running the
                # tests speaks; a test of the English interface asks for it.
                "LANGUAGE": "zh_CN",
            })
            # Nothing of the desktop the tests are run from (a developer's)
            # reaches the programs: they neither touch it nor depend on it.
            for key in SESSION_VARS + ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"):
                self.env.pop(key, None)
            # No session bus unless a test starts one (_start_bus): with
            # none named, D-Bus would start one of its own through
            # dbus-launch where dbus-x11 is installed.
            self.env["DBUS_SESSION_BUS_ADDRESS"] = NO_BUS
            self.env.update(env or {})
            self.dpy = xdisplay.Display(self.display_name)
            self.root = self.dpy.screen().root
            if wm:
                self._start_wm("openbox" if wm is True else wm)
            if tray:
                self._start_tray()
        except BaseException:
            # No __exit__ will come to end what has been started.
            self.close()
            raise

    # --- server, window manager, tray -------------------------------------
    def _start_server(self):
        rfd, wfd = os.pipe()
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0",
             f"{self.width}x{self.height}x{self.depth}", "-nolisten", "tcp", "-dpi", "96",
             "-noreset"],
            pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(wfd)
        self.procs.append(proc)
        number = b""
        with os.fdopen(rfd, "rb") as r:
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n"):
                chunk = r.read(1)
                if not chunk:
                    break
                number += chunk
                if time.monotonic() > deadline:
                    break
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.display_name = ":" + number.decode().strip()

    def spawn(self, argv, **kw):
        proc = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL,
                                stderr=kw.pop("stderr", subprocess.DEVNULL), **kw)
        self.procs.append(proc)
        return proc

    def _start_wm(self, wm):
        if wm == "xfwm4":
            # Its settings come over D-Bus from xfconfd, which reads them
            # from the session's configuration folder; a private bus keeps
            # it off the machine's own. Focus-stealing prevention is on, as
            # on the desktops that switch it on.
            folder = os.path.join(self.env["XDG_CONFIG_HOME"], "xfce4", "xfconf",
                                  "xfce-perchannel-xml")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "xfwm4.xml"), "w") as f:
                f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                        '<channel name="xfwm4" version="1.0">\n'
                        ' <property name="general" type="empty">\n'
                        '  <property name="prevent_focus_stealing" type="bool" value="true"/>\n'
                        ' </property>\n'
                        '</channel>\n')
            self._start_bus()
            self.spawn(["xfwm4", "--compositor=off", "--sm-client-disable"])
        else:
            self.spawn(["openbox", "--sm-disable"])
        atom = self.dpy.intern_atom("_NET_SUPPORTING_WM_CHECK")
        wait_until(lambda: self.root.get_full_property(atom, X.AnyPropertyType),
                   15, "the window manager")

    def _start_bus(self):
        """A D-Bus session bus of this session alone, for its programs and
        the services the bus starts for them; they end with it."""
        rfd, wfd = os.pipe()
        self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                    f"--print-address={wfd}"], pass_fds=(wfd,))
        os.close(wfd)
        with os.fdopen(rfd, "r") as r:
            address = r.readline().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def start_tray(self):
        """Starts the tray host (trayer) and waits until it owns the tray."""
        self._start_tray()

    def _start_tray(self):
        self.spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype",
                    "request", "--height", "32", "--SetDockType", "true",
                    "--SetPartialStrut", "false", "--expand", "true"])
        sel = self.dpy.intern_atom("_NET_SYSTEM_TRAY_S0")
        wait_until(lambda: self.dpy.get_selection_owner(sel) != X.NONE, 15, "the tray host")

    def close(self):
        # The clients end first, while their X server is still there: a
        # program that loses its display mid-way ends in a hurry rather
        # than the ordinary way, and in a sanitized build the leak check
        # runs only on the ordinary way out.
        self._end(self.procs[1:])
        self._end(self.procs[:1])
        try:
            self.dpy.close()
        except Exception:
            pass
        shutil.rmtree(self.tmp, ignore_errors=True)

    @staticmethod
    def _end(procs):
        for proc in reversed(procs):
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
        for proc in reversed(procs):
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def merge_resources(self, text):
        """Adds X resources (e.g. "Xft.dpi: 144") for clients started later."""
        subprocess.run(["xrdb", "-nocpp", "-merge"], input=text, text=True, env=self.env,
                       check=True, timeout=10)

    # --- pixels ---------------------------------------------------------------
    def set_background(self, image):
        """Puts a picture on the root window, where no window covers it."""
        image = image.convert("RGB").resize((self.width, self.height))
        depth = self.dpy.screen().root_depth
        pm = self.root.create_pixmap(self.width, self.height, depth)
        gc = pm.create_gc()
        raw = image.tobytes("raw", "BGRX")
        stride = self.width * 4
        rows = max(1, 200000 // stride)
        for y in range(0, self.height, rows):
            n = min(rows, self.height - y)
            pm.put_image(gc, 0, y, self.width, n, X.ZPixmap, depth, 0,
                         raw[y * stride:(y + n) * stride])
        self.root.change_attributes(background_pixmap=pm)
        self.root.clear_area(0, 0, 0, 0, False)
        self.dpy.sync()
        self._background = pm

    def screenshot(self, box=None):
        x, y, w, h = box if box else (0, 0, self.width, self.height)
        reply = self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (w, h), reply.data, "raw", "BGRX")

    # --- input and windows ------------------------------------------------------
    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def double_click(self, x=None, y=None, gap_ms=60):
        """A left double-click, at (x, y) or where the pointer is. The server
        spaces the clicks itself (XTEST delays), so a busy machine cannot
        stretch the gap between them past the double-click time."""
        if x is not None:
            self.xdotool("mousemove", x, y)
        for kind, delay in ((X.ButtonPress, 0), (X.ButtonRelease, 20), (X.ButtonPress, gap_ms),
                            (X.ButtonRelease, 20)):
            xtest.fake_input(self.dpy, kind, 1, time=delay)
        self.dpy.sync()

    def windows(self, cls=None, name=None, visible=True):
        args = ["search"]
        if visible:
            args.append("--onlyvisible")
        if cls is not None:
            args += ["--class", cls]
        else:
            args += ["--name", name]
        proc = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        # A program's own child windows carry its class too; only its
        # top-level windows count.
        return [int(w) for w in proc.stdout.split() if not self._child_of_a_program(int(w))]

    def _child_of_a_program(self, wid):
        try:
            w = self.dpy.create_resource_object("window", wid)
            parent = w.query_tree().parent
            return parent.id != self.root.id and parent.get_wm_class() is not None
        except Exception:
            # Gone meanwhile.
            return False

    def geometries(self, cls):
        """(window, geometry) of the program's visible top-level windows;
        one that goes away while they are looked at is left out, as it
        would be a moment later."""
        found = []
        for wid in self.windows(cls=cls):
            try:
                found.append((wid, self.window_geometry(wid)))
            except (Xlib.error.BadWindow, Xlib.error.BadDrawable):
                pass
        return found

    def window_geometry(self, wid):
        w = self.dpy.create_resource_object("window", wid)
        geo = w.get_geometry()
        pos = w.translate_coords(self.root, 0, 0)
        return (-pos.x, -pos.y, geo.width, geo.height)

    def net_wm_state(self, wid):
        w = self.dpy.create_resource_object("window", wid)
        prop = w.get_full_property(self.dpy.intern_atom("_NET_WM_STATE"), X.AnyPropertyType)
        if not prop:
            return set()
        return {self.dpy.get_atom_name(a) for a in prop.value}


def copy_program(bin_dir, name, folder):
    """Copies a built program into `folder`: its executable and, where that
    is a launcher, the program proper beside it."""
    shutil.copy2(os.path.join(bin_dir, name), folder)
    module = os.path.join(bin_dir, name + "-program.so")
    if os.path.exists(module):
        shutil.copy2(module, folder)


def program_folder(bin_dir, tmp, names=("zuz",)):
    """A fresh program folder holding copies of the built programs."""
    folder = tempfile.mkdtemp(prefix="prog-", dir=tmp)
    for name in names:
        if os.path.exists(os.path.join(bin_dir, name)):
            copy_program(bin_dir, name, folder)
    return folder


def test_pattern(width, height):
    """Red grows to the right, green downwards: every point has its colour."""
    img = Image.new("RGB", (width, height))
    px = img.load()
    for y in range(height):
        g = (y * 255) // (height - 1)
        for x in range(width):
            px[x, y] = ((x * 255) // (width - 1), g, 128)
    return img


def gradient_colour(x, y, width, height):
    """The colour test_pattern() has at a screen point."""
    return ((x * 255) // (width - 1), (y * 255) // (height - 1), 128)


def colour_close(a, b, tolerance=4):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def main(tests, argv=None):
    """Runs the given test functions with the parsed arguments, prints a
    closing tally and returns the exit status."""
    import argparse
    import traceback
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True, help="folder of the built programs")
    args = parser.parse_args(argv)
    passed = failed = 0
    for test in tests:
        start = time.monotonic()
        try:
            test(args)
        except Exception:
            failed += 1
            print(f"FAIL {test.__name__} ({time.monotonic() - start:.1f}s)")
            traceback.print_exc()
        else:
            passed += 1
            print(f"PASS {test.__name__} ({time.monotonic() - start:.1f}s)")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0
