"""A private X desktop of several monitors: Xorg with the dummy video
driver, whose RandR outputs the toolkit reports as separate screens, laid
out with xrandr. Everything else (window manager, tray host, xdotool,
screenshots) is XSession's."""

import os
import shutil
import subprocess
from collections import namedtuple

from drivers.session import wait_until
from drivers.xsession import XSession

# The shared configuration: one dummy device with a framebuffer of up to
# 4096 x 2160 and a monitor that accepts any mode.
BASE_CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "..",
                           "shared", "xorg", "dummy-multihead.conf")

# Without a seat there are no real input devices to add; xdotool's come
# through XTEST.
SERVER_FLAGS = """Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
"""

# The same, for a checkout without ../shared beside it.
FALLBACK_CONFIG = """Section "Device"
  Identifier "d"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "m"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "s"
  Device "d"
  Monitor "m"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2160
  EndSubSection
EndSection
"""


class Monitor(namedtuple("Monitor", "w h x y primary")):
    @property
    def box(self):
        return (self.x, self.y, self.w, self.h)

    @property
    def centre(self):
        return (self.x + self.w // 2, self.y + self.h // 2)


def modeline(w, h, refresh=60):
    """A mode within the monitor section's sync ranges, as cvt would give
    but without needing it."""
    hs, he, ht = w + 48, w + 80, w + 160
    vs, ve, vt = h + 3, h + 6, h + 30
    clock = ht * vt * refresh / 1e6
    return [f"{clock:.2f}", w, hs, he, ht, h, vs, ve, vt, "-hsync", "+vsync"]


class XorgSession(XSession):
    """monitors: (width, height, x, y, primary) for each output, in device
    pixels; the framebuffer (and so the root window, width x height) is
    their bounding box. The tray host stands on its toolkit's first
    monitor: the leftmost one in the layouts tried."""

    def __init__(self, monitors, wm=True, tray=True, env=None):
        self.monitors = [Monitor(*m) for m in monitors]
        if sum(m.primary for m in self.monitors) != 1:
            raise ValueError("exactly one monitor is the primary one")
        width = max(m.x + m.w for m in self.monitors)
        height = max(m.y + m.h for m in self.monitors)
        super().__init__(width, height, wm=wm, tray=tray, env=env)

    @property
    def primary(self):
        return next(m for m in self.monitors if m.primary)

    def _start_server(self):
        confdir = os.path.join(self.tmp, "xorg.conf.d")
        os.makedirs(confdir)
        config = os.path.join(self.tmp, "xorg.conf")
        if os.path.exists(BASE_CONFIG):
            shutil.copyfile(BASE_CONFIG, config)
        else:
            with open(config, "w") as f:
                f.write(FALLBACK_CONFIG)
        with open(os.path.join(confdir, "10-e2e.conf"), "w") as f:
            f.write(SERVER_FLAGS)
        self.xorg_log = os.path.join(self.tmp, "Xorg.log")
        # -sharevts: servers side by side share the console instead of each
        # taking a VT of its own.
        self.display_name = self.start_x_server(
            ["Xorg", "-config", config, "-configdir", confdir, "-logfile", self.xorg_log,
             "-nolisten", "tcp", "-noreset", "-novtswitch", "-sharevts"], 30)
        if not self.display_name:
            self.procs[0].kill()
            self.procs[0].wait()
            raise RuntimeError("Xorg did not start:\n" + self._log_tail())
        self._lay_out()

    def _log_tail(self, lines=30):
        try:
            with open(self.xorg_log, errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except OSError:
            return "(no log)"

    def xrandr(self, *args):
        return subprocess.run(["xrandr", *map(str, args)],
                              env=dict(os.environ, DISPLAY=self.display_name),
                              check=True, capture_output=True, text=True, timeout=20).stdout

    def _lay_out(self):
        outputs = [line.split()[0] for line in self.xrandr("--query").splitlines()
                   if line.startswith("DUMMY")]
        if len(outputs) < len(self.monitors):
            raise RuntimeError(f"only {len(outputs)} dummy outputs")
        for size in sorted({(m.w, m.h) for m in self.monitors}):
            self.xrandr("--newmode", f"e2e_{size[0]}x{size[1]}", *modeline(*size))
        args = ["--fb", f"{self.width}x{self.height}"]
        for out, m in zip(outputs, self.monitors):
            self.xrandr("--addmode", out, f"e2e_{m.w}x{m.h}")
            args += ["--output", out, "--mode", f"e2e_{m.w}x{m.h}", "--pos", f"{m.x}x{m.y}"]
            if m.primary:
                args.append("--primary")
        for out in outputs[len(self.monitors):]:
            args += ["--output", out, "--off"]
        self.xrandr(*args)
        # What the clients see: RandR monitors in exactly this layout.
        want = sorted((m.w, m.h, m.x, m.y, bool(m.primary)) for m in self.monitors)
        wait_until(lambda: sorted(self.active_monitors()) == want, 10,
                   f"the monitor layout {want} (have {self.active_monitors()})")

    def relayout(self, layout, fb=None):
        """Lays the outputs out anew while clients run, as a user's xrandr
        call would. layout: for each dummy output in turn, (width, height,
        x, y, primary), or None for one switched off. The framebuffer
        becomes fb (width, height), by default the new monitors' bounding
        box, which is what xrandr makes it when not told. Returns once the
        server announces exactly these monitors; the root window's
        background is the caller's to repaint where the size changed."""
        query = self.xrandr("--query").splitlines()
        outputs = [line.split()[0] for line in query if line.startswith("DUMMY")]
        if len(outputs) < len(layout):
            raise RuntimeError(f"only {len(outputs)} dummy outputs")
        monitors = [None if m is None else Monitor(*m) for m in layout]
        on = [m for m in monitors if m is not None]
        if sum(m.primary for m in on) != 1:
            raise ValueError("exactly one monitor is the primary one")
        # xrandr would shift such a layout to the origin, and the wait
        # below would time out without saying why.
        if min(m.x for m in on) or min(m.y for m in on):
            raise ValueError("the monitors' top-left corner is not at the origin")
        width, height = fb or (max(m.x + m.w for m in on), max(m.y + m.h for m in on))
        # Mode lines stand indented under the outputs that have them; the
        # server refuses a second mode of the same name.
        modes = {line.split()[0] for line in query if line[:1].isspace()}
        args = ["--fb", f"{width}x{height}"]
        for out, m in zip(outputs, monitors):
            if m is None:
                args += ["--output", out, "--off"]
                continue
            name = f"e2e_{m.w}x{m.h}"
            if name not in modes:
                self.xrandr("--newmode", name, *modeline(m.w, m.h))
                modes.add(name)
            self.xrandr("--addmode", out, name)
            args += ["--output", out, "--mode", name, "--pos", f"{m.x}x{m.y}"]
            if m.primary:
                args.append("--primary")
        self.xrandr(*args)
        self.monitors = on
        self.width, self.height = width, height
        want = sorted((m.w, m.h, m.x, m.y, bool(m.primary)) for m in on)
        wait_until(lambda: sorted(self.active_monitors()) == want, 10,
                   f"the monitor layout {want} (have {self.active_monitors()})")
        # Screenshots and the background go by the root window's size.
        def root_size():
            g = self.root.get_geometry()
            return (g.width, g.height)
        wait_until(lambda: root_size() == (width, height), 10,
                   f"a root window of {width} x {height}")

    def active_monitors(self):
        """(w, h, x, y, primary) of every monitor the server announces."""
        found = []
        for line in self.xrandr("--listactivemonitors").splitlines()[1:]:
            # " 0: +*DUMMY0 1024/271x768/203+0+0  DUMMY0"
            flags, geo = line.split()[1:3]
            size, x, y = geo.split("+")
            w, h = (int(v.split("/")[0]) for v in size.split("x"))
            found.append((w, h, int(x), int(y), "*" in flags))
        return found

    def monitor_at(self, x, y):
        return next((m for m in self.monitors
                     if m.x <= x < m.x + m.w and m.y <= y < m.y + m.h), None)
