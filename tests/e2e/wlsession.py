"""A private headless Wayland desktop for driving the real programs: sway
with the desktop portals (wlsession.sh) on a D-Bus session of its own, all
run under the unprivileged test account, since sway refuses root. Input
goes through sway's own seat commands and wtype, pixels are read back with
grim and the clipboard with wl-paste."""

import glob
import io
import json
import os
import pwd
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time

from PIL import Image

from xsession import copy_program, wait_until

USER = "zuztest"
HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = ("sway", "swaybg", "grim", "wtype", "wayvnc", "wl-paste", "pipewire", "dbus-run-session",
         "runuser")


def missing():
    """Why no Wayland session can run here, or None."""
    if os.geteuid() != 0:
        return "the test switches to its unprivileged account, which needs root"
    try:
        pwd.getpwnam(USER)
    except KeyError:
        return f"no account {USER} (scripts/setup-testuser.sh makes it)"
    for tool in TOOLS:
        if not shutil.which(tool):
            return f"{tool} is not installed"
    for path in ("/usr/libexec/xdg-desktop-portal", "/usr/libexec/xdg-desktop-portal-wlr"):
        if not os.path.exists(path):
            return f"{path} is not installed"
    return None


SANITIZER_VARS = ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")


class WaylandSession:
    def __init__(self, bin_dir, width=1024, height=768, background=None, scale=1):
        """width, height: the output's size in logical pixels; scale: its
        scale, so that it has width x scale device pixels across.
        background: a PIL image shown stretched over the whole output."""
        self.width, self.height, self.scale = width, height, scale
        self.user = pwd.getpwnam(USER)
        self.tmp = tempfile.mkdtemp(prefix="zuz-wl-")
        os.chmod(self.tmp, 0o755)
        self.runtime = self._own_dir("runtime", 0o700)
        self.home = self._own_dir("home", 0o700)
        self.procs = []
        self.session = None
        self._vnc = None
        try:
            # The test account cannot be counted on to read the build tree.
            self.bin = os.path.join(self.tmp, "bin")
            os.makedirs(self.bin)
            for name in ("zuz", "Zonara", "Derudovudi"):
                copy_program(bin_dir, name, self.bin)
            for marker in ("Vivoduzivi.ini", "Vorlane.ini"):
                with open(os.path.join(self.bin, marker), "wb") as f:
                    f.write(b"\r\n")
            bg = "#808080 solid_color"
            if background is not None:
                path = os.path.join(self.tmp, "background.png")
                background.save(path)
                bg = f"{path} stretch"
            config = os.path.join(self.tmp, "sway.conf")
            with open(config, "w") as f:
                f.write(f"output HEADLESS-1 resolution {width * scale}x{height * scale} "
                        f"scale {scale} bg {bg}\n"
                        "default_border none\ndefault_floating_border none\n"
                        "focus_follows_mouse no\n")
            self._start_session(config)
        except BaseException:
            self.close()
            raise

    def _own_dir(self, name, mode):
        path = os.path.join(self.tmp, name)
        os.makedirs(path, mode=mode)
        os.chown(path, self.user.pw_uid, self.user.pw_gid)
        return path

    def _sanitizer_env(self):
        """The sanitizers' options with their report folder moved to one
        the test account can write; close() hands the reports back."""
        self.reports = self._own_dir("reports", 0o755)
        self.report_target = None
        env = {}
        for var in SANITIZER_VARS:
            value = os.environ.get(var)
            if not value:
                continue
            parts = []
            for part in value.split(":"):
                key, _, val = part.partition("=")
                if key == "log_path":
                    self.report_target = val
                    val = os.path.join(self.reports, os.path.basename(val))
                elif key == "suppressions":
                    copy = os.path.join(self.tmp, os.path.basename(val))
                    shutil.copy(val, copy)
                    os.chmod(copy, 0o644)
                    val = copy
                parts.append(f"{key}={val}")
            if var == "ASAN_OPTIONS":
                # No leak check at exit here: Qt 6.4's Wayland client leaves
                # its protocol objects to the process's end, and with them
                # whatever only they still reach (the clipboard's picture,
                # Mesa's and the platform theme's state), which
                # LeakSanitizer reports as allocations of the program's own.
                # Memory errors and undefined behaviour are caught as
                # everywhere else; the X11 tests check the leaks.
                parts.append("detect_leaks=0")
            env[var] = ":".join(parts)
        return env

    def _start_session(self, config):
        env_file = os.path.join(self.runtime, "session.env")
        script = os.path.join(self.tmp, "wlsession.sh")
        shutil.copy(os.path.join(HERE, "wlsession.sh"), script)
        os.chmod(script, 0o755)
        base = {"PATH": "/usr/local/bin:/usr/bin:/bin", "HOME": self.home, "LANG": "C.UTF-8",
                "LANGUAGE": "zh_CN", "XDG_RUNTIME_DIR": self.runtime}
        self.session = subprocess.Popen(
            ["runuser", "-u", USER, "--", "env", "-i"] + [f"{k}={v}" for k, v in base.items()]
            + ["dbus-run-session", "--", script, self.runtime, config, env_file],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True,
            cwd=self.tmp)
        wait_until(lambda: os.path.exists(env_file) or self.session.poll() is not None, 30,
                   "the Wayland desktop to come up")
        if not os.path.exists(env_file):
            raise AssertionError("the Wayland desktop did not start:\n" + self.log("sway"))
        self.env = dict(base)
        with open(env_file) as f:
            self.env.update(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        # The programs see the desktop as what it is, sway (the portal's
        # back-ends were started as for GNOME, see wlsession.sh).
        self.env.update({"QT_QPA_PLATFORM": "wayland", "XDG_CURRENT_DESKTOP": "sway",
                         "XDG_SESSION_TYPE": "wayland"})
        self.env.update(self._sanitizer_env())
        # A headless seat has neither pointer nor keyboard, and a client
        # binds them only when the seat has them. A virtual keyboard that
        # lasts the session (wtype, asleep before its one key) and wayvnc's
        # virtual pointer let the programs have theirs from the start; keys
        # come through wtype, the pointer through wayvnc.
        self.spawn(["wtype", "-s", "3600000", "-k", "F24"])
        self.spawn(["wayvnc", "--unix-socket", os.path.join(self.runtime, "vnc")])
        wait_until(lambda: any(seat.get("capabilities", 0) & 3 == 3 for seat in json.loads(
            self.run(["swaymsg", "-t", "get_seats", "-r"]).stdout or b"[]")), 10,
            "a pointer and a keyboard on the seat")
        # The compositor draws the pointer into every picture of the screen:
        # it waits in the bottom-right corner, where one pixel of it shows.
        self.park_pointer()

    def log(self, name):
        try:
            with open(os.path.join(self.runtime, f"{name}.log"), errors="replace") as f:
                return f.read()[-4000:]
        except OSError:
            return ""

    def command(self, argv, env=None):
        """argv as run by the test account in the desktop."""
        full = dict(self.env, **(env or {}))
        return (["runuser", "-u", USER, "--", "env", "-i"]
                + [f"{k}={v}" for k, v in full.items()] + list(argv))

    def spawn(self, argv, env=None):
        proc = subprocess.Popen(self.command(argv, env), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, cwd=self.tmp)
        self.procs.append(proc)
        return proc

    def run(self, argv, timeout=20, env=None, **kw):
        return subprocess.run(self.command(argv, env), capture_output=True, timeout=timeout,
                              cwd=self.tmp, **kw)

    def program(self, name):
        return os.path.join(self.bin, name)

    # --- what the desktop shows ------------------------------------------------
    def swaymsg(self, *args):
        proc = self.run(["swaymsg"] + list(args))
        if proc.returncode != 0:
            raise AssertionError(f"swaymsg {' '.join(args)}: {proc.stdout!r} {proc.stderr!r}")
        return proc.stdout

    def windows(self, app_id=None):
        """Every visible window: dicts of sway's tree nodes."""
        tree = json.loads(self.run(["swaymsg", "-t", "get_tree", "-r"]).stdout or b"{}")
        found = []

        def walk(node):
            if node.get("pid") and node.get("visible") and (
                    app_id is None or node.get("app_id") == app_id):
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(tree)
        return found

    def full_screen_window(self, app_id, timeout=10):
        def find():
            for w in self.windows(app_id):
                r = w["rect"]
                if w.get("fullscreen_mode") and (r["width"], r["height"]) == (
                        self.width, self.height):
                    return w
            return None
        return wait_until(find, timeout, f"a full-screen {app_id} window")

    def no_full_screen_window(self, app_id, timeout=10):
        wait_until(lambda: not any(w.get("fullscreen_mode") for w in self.windows(app_id)),
                   timeout, f"no full-screen {app_id} window")

    def screenshot(self):
        proc = self.run(["grim", "-t", "png", "-"])
        if proc.returncode != 0:
            raise AssertionError(f"grim: {proc.stderr!r}")
        return Image.open(io.BytesIO(proc.stdout)).convert("RGB")

    # --- input ---------------------------------------------------------------------
    def _pointer(self):
        """wayvnc's pointer, driven as a VNC viewer drives it: its events
        reach the programs as a real pointer's do."""
        if self._vnc is None:
            sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            path = os.path.join(self.runtime, "vnc")
            wait_until(lambda: os.path.exists(path), 10, "wayvnc's socket")
            sock.connect(path)
            sock.settimeout(10)

            def read(n):
                data = b""
                while len(data) < n:
                    chunk = sock.recv(n - len(data))
                    if not chunk:
                        raise AssertionError("wayvnc closed the connection")
                    data += chunk
                return data
            version = read(12)
            sock.sendall(version)
            types = read(read(1)[0])
            if 1 not in types:
                raise AssertionError(f"wayvnc wants authentication: {types!r}")
            sock.sendall(b"\x01")
            if struct.unpack(">I", read(4))[0] != 0:
                raise AssertionError("wayvnc refused the connection")
            sock.sendall(b"\x01")  # shared
            read(20)
            read(struct.unpack(">I", read(4))[0])
            self._vnc = sock
        return self._vnc

    def pointer_to(self, x, y, buttons=0):
        self._pointer().sendall(struct.pack(">BBHH", 5, buttons, x, y))
        self._buttons = buttons
        self._at = (x, y)

    def park_pointer(self):
        # The pointer moves in the output's device pixels.
        self.pointer_to(self.width * self.scale - 1, self.height * self.scale - 1)

    def drag(self, start, end, steps=4, pause=0.0):
        """pause: seconds between steps, as a hand takes them; a program
        that hands the drag to the compositor needs the button still down
        when its request arrives."""
        self.pointer_to(*start)
        self.pointer_to(*start, buttons=1)
        for i in range(1, steps + 1):
            time.sleep(pause)
            self.pointer_to(start[0] + (end[0] - start[0]) * i // steps,
                            start[1] + (end[1] - start[1]) * i // steps, buttons=1)
        time.sleep(pause)
        self.pointer_to(*end)

    def key(self, name):
        self.run(["wtype", "-k", name])

    def clipboard(self, mime="image/png"):
        proc = self.run(["wl-paste", "--no-newline", "--type", mime], timeout=10)
        return proc.stdout if proc.returncode == 0 else None

    # --- the end ---------------------------------------------------------------------
    def close(self):
        if self._vnc:
            self._vnc.close()
        for proc in self.procs:
            if proc.poll() is None:
                proc.terminate()
        for proc in self.procs:
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        if self.session:
            # The desktop and what D-Bus activated for it share one group.
            try:
                os.killpg(self.session.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                self.session.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.session.pid, signal.SIGKILL)
                self.session.wait()
            # Wait for the rest of the group, the programs' sanitizer
            # reports are written as they end.
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and _group_alive(self.session.pid):
                time.sleep(0.05)
        if getattr(self, "report_target", None):
            for report in glob.glob(os.path.join(self.reports, "*")):
                shutil.copy(report, os.path.dirname(self.report_target))
        shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def _group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False
