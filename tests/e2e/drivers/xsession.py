"""A private X desktop for driving the real programs: Xvfb, a window
manager, a tray host, input through xdotool and pixels read back through
the X server itself."""

import ctypes
import os
import select
import subprocess
import tempfile
import time

from PIL import Image
import Xlib.error
from Xlib import X, display as xdisplay
from Xlib.ext import xtest

from drivers.pictures import coded_pattern, test_pattern
from drivers.session import Session, copy_programs, end_processes, wait_until


def _keep_large_buffers_in_the_heap():
    """python-xlib reads a whole screen into a buffer it grows megabytes at
    a time. With glibc's default such a buffer is mapped and unmapped anew
    at each step, unless the process happened to free a larger block
    before, and a screenshot then takes five times as long: long enough
    to miss the short frames of an animation. A threshold above a 4K
    screen's size keeps them in the heap."""
    try:
        libc = ctypes.CDLL(None)
        libc.mallopt(-3, 32 << 20)  # M_MMAP_THRESHOLD
        libc.mallopt(-1, 64 << 20)  # M_TRIM_THRESHOLD
    except (OSError, AttributeError):
        pass  # another C library: screenshots are slower, that is all


_keep_large_buffers_in_the_heap()


# What ties a program to the desktop it was started from.
SESSION_VARS = ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER", "XAUTHORITY",
                "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "XDG_SESSION_TYPE",
                "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_IM_MODULE",
                "XMODIFIERS", "GTK_IM_MODULE", "SWAYSOCK", "I3SOCK", "KDE_FULL_SESSION",
                "GNOME_DESKTOP_SESSION_ID", "AT_SPI_BUS_ADDRESS")
# An address no bus answers on.
NO_BUS = "unix:path=/nonexistent/zuz-no-session-bus"


class XSession(Session):
    def __init__(self, width=1024, height=768, wm=True, tray=True, env=None, depth=24):
        """wm: True or "openbox" for openbox, "xfwm4" for xfwm4 (which
        refuses the focus to a window that asks for it with an old time),
        False for none. env: variables for the programs on top of the clean
        environment, e.g. QT_SCALE_FACTOR, which is otherwise taken away.
        depth: the screen's bits per pixel (8, 16, 24, 30)."""
        super().__init__("zuz-e2e-")
        self.width, self.height, self.depth = width, height, depth
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
        self.display_name = self.start_x_server(
            ["Xvfb", "-screen", "0", f"{self.width}x{self.height}x{self.depth}", "-nolisten",
             "tcp", "-dpi", "96", "-noreset"], 20)
        if not self.display_name:
            raise RuntimeError("Xvfb did not start")

    def start_x_server(self, argv, timeout):
        """Starts an X server that writes its display number once it accepts
        connections (-displayfd); the display's name, or None if it died or
        said nothing in time."""
        rfd, wfd = os.pipe()
        self.started(subprocess.Popen(argv + ["-displayfd", str(wfd)], pass_fds=(wfd,),
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(wfd)
        number = b""
        deadline = time.monotonic() + timeout
        with os.fdopen(rfd, "rb", buffering=0) as r:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([r], [], [], left)[0]:
                    break
                chunk = r.read(1)
                if not chunk:
                    break
                number += chunk
        return ":" + number.decode().strip() if number.strip() else None

    def instance_file(self, program, suffix):
        """Where a program on this display keeps its lock (".lock") or its
        channel (".channel"): in the runtime folder, named for the display
        (src/shared/instanceaddress.h); a Wayland socket in the session's
        environment names it in place of the display."""
        wayland = self.env.get("WAYLAND_DISPLAY")
        session = ("wayland:" + wayland if wayland else
                   "x11::" + self.display_name.lstrip(":").split(".")[0])
        h = 14695981039346656037
        for byte in session.encode():
            h = ((h ^ byte) * 1099511628211) % (1 << 64)
        return os.path.join(self.runtime, f"{program}-{h:016x}{suffix}")

    def spawn(self, argv, **kw):
        return self.started(subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL,
                                             stderr=kw.pop("stderr", subprocess.DEVNULL), **kw))

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
        end_processes(self.procs[1:])
        end_processes(self.procs[:1])
        try:
            self.dpy.close()
        except Exception:
            pass
        self.remove_folder()

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

    def drag(self, a, b, steps=4, release=True):
        """A left-button drag from a to b in `steps` moves."""
        self.xdotool("mousemove", *a, "mousedown", 1)
        for i in range(1, steps + 1):
            self.xdotool("mousemove", a[0] + (b[0] - a[0]) * i // steps,
                         a[1] + (b[1] - a[1]) * i // steps)
        if release:
            self.xdotool("mouseup", 1)

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

    def viewable(self, wid):
        try:
            win = self.dpy.create_resource_object("window", wid)
            return win.get_attributes().map_state == X.IsViewable
        except Exception:  # destroyed
            return False

    def input_state(self):
        """Who may have the pointer and the keyboard, for a failure message:
        whether another client holds either grabbed, and the top-level
        window under the pointer with its class."""
        other = xdisplay.Display(self.display_name)
        try:
            root = other.screen().root
            status = {X.GrabSuccess: "free", X.AlreadyGrabbed: "grabbed by another client",
                      X.GrabFrozen: "frozen by another client's grab"}
            pointer = root.grab_pointer(False, X.ButtonPressMask, X.GrabModeAsync,
                                        X.GrabModeAsync, X.NONE, X.NONE, X.CurrentTime)
            keyboard = root.grab_keyboard(False, X.GrabModeAsync, X.GrabModeAsync, X.CurrentTime)
            other.ungrab_pointer(X.CurrentTime)
            other.ungrab_keyboard(X.CurrentTime)
            at = root.query_pointer()
            under = at.child.id if at.child else None
            classes = self.windows_at(at.root_x, at.root_y)
            return (f"pointer {status.get(pointer, pointer)}, keyboard "
                    f"{status.get(keyboard, keyboard)}; pointer at {(at.root_x, at.root_y)} "
                    f"over {under}, buttons mask {at.mask:#x}; windows there: {classes}")
        finally:
            other.close()

    def overlays(self):
        """Classes of the visible windows no window manager manages (menus,
        pickers, tooltips): one of another client's may hold the pointer."""
        found = []
        for child in self.root.query_tree().children:
            try:
                a = child.get_attributes()
                if a.map_state == X.IsViewable and a.override_redirect:
                    found.append((child.id, _class_within(child)))
            except Xlib.error.XError:
                pass  # gone meanwhile
        return found

    def windows_at(self, x, y):
        """Classes of the visible top-level windows holding root pixel
        (x, y), topmost first."""
        found = []
        for child in reversed(self.root.query_tree().children):
            try:
                if child.get_attributes().map_state != X.IsViewable:
                    continue
                g = child.get_geometry()
                if not (g.x <= x < g.x + g.width and g.y <= y < g.y + g.height):
                    continue
                found.append((child.id, _class_within(child)))
            except Xlib.error.XError:
                pass  # gone meanwhile
        return found

    def net_wm_state(self, wid):
        w = self.dpy.create_resource_object("window", wid)
        prop = w.get_full_property(self.dpy.intern_atom("_NET_WM_STATE"), X.AnyPropertyType)
        if not prop:
            return set()
        return {self.dpy.get_atom_name(a) for a in prop.value}


def _class_within(window, depth=2):
    """The WM_CLASS of a window or of the client inside its frame."""
    got = window.get_wm_class()
    if got or depth == 0:
        return got and got[1]
    for child in window.query_tree().children:
        got = _class_within(child, depth - 1)
        if got:
            return got
    return None


def program_folder(bin_dir, tmp, names=("zuz",)):
    """A fresh program folder holding copies of the built programs."""
    return copy_programs(bin_dir, tempfile.mkdtemp(prefix="prog-", dir=tmp), names)


def new_session(width, height, pattern=test_pattern, **kw):
    """An XSession (kw: its options) showing pattern(width, height) on its
    root window."""
    s = XSession(width, height, **kw)
    s.set_background(pattern(width, height))
    return s


def painted(s):
    """Puts coded_pattern on the root window; returns it."""
    pattern = coded_pattern(s.width, s.height)
    s.set_background(pattern)
    return pattern
