"""Inside a GNOME Shell or KWin session (run_wayland_bench.py --desktops
starts one): after a pause, the time from `zuz --view` (GNOME) or Ctrl+Z
through the desktop's shortcut (KDE) to zuz's full-screen view mapped by
the compositor, and from a click on Zonara's button to the picker mapped;
and the Screenshot portal's round trip beside them. Prints one line of
JSON with the samples in milliseconds.

"Mapped" is what the compositor itself reports: GNOME Shell's window list
(polled through its Eval), KWin's scripting, whose handler calls back
over the bus. The frame follows within a refresh.

usage: desktop_bench_steps.py BIN_DIR SAMPLES"""

import json
import os
import subprocess
import sys
import time

import dbus
import dbus.service
from gi.repository import GLib

from drivers.desktops import CONTROL, CONTROL_L, ESCAPE, RUN, Gnome, Kde
from drivers.pictures import coded_pattern
from drivers.session import wait_until

PAUSE = 1.0
TRACE = bool(os.environ.get("ZUZ_BENCH_TRACE"))


def mark(step, at):
    """Beside the programs' own timings, on the same clock."""
    if TRACE:
        print(f"bench {step} {at * 1000:.1f}", file=sys.stderr, flush=True)
ROUND_TRIP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "roundtrip.py")


class GnomeProbe:
    def __init__(self, d):
        self.d = d

    def full_screen(self, cls):
        return any(w[0] == cls and w[1] for w in self.d.windows())

    def wait(self, cls, shown=True, timeout=10):
        start = time.monotonic()
        while self.full_screen(cls) != shown:
            if time.monotonic() - start > timeout:
                raise AssertionError(f"{cls} {'not shown' if shown else 'still shown'}")
        return time.monotonic()

    def button(self):
        found = wait_until(lambda: [w for w in self.d.windows()
                                    if w[0] == "Zonara" and (w[2], w[3]) == (CONTROL, CONTROL)],
                           20, "Zonara's button")[0]
        return found[4] + CONTROL // 2, found[5] + CONTROL // 2


class KwinProbe(dbus.service.Object):
    """A KWin script reports each window that becomes full-screen or goes."""
    SCRIPT = """
function tell(c, shown) {
    callDBus("org.zuz.Bench", "/", "org.zuz.Bench", "Seen", String(c.resourceClass), shown,
             c.x, c.y, c.width, c.height);
}
function watch(c) {
    tell(c, c.fullScreen);
    c.fullScreenChanged.connect(function () { tell(c, c.fullScreen); });
}
workspace.clientList().forEach(watch);
workspace.clientAdded.connect(watch);
workspace.clientRemoved.connect(function (c) { tell(c, false); });
"""

    def __init__(self, d):
        self.d = d
        self.name = dbus.service.BusName("org.zuz.Bench", d.bus)
        super().__init__(d.bus, "/")
        self.state = {}
        self.seen = {}
        script = os.path.join(RUN, "bench.js")
        with open(script, "w") as f:
            f.write(self.SCRIPT)
        kwin = d.bus.get_object("org.kde.KWin", "/Scripting")
        kwin.loadScript(script, "zuzbench", dbus_interface="org.kde.kwin.Scripting",
                        signature="ss")
        kwin.start(dbus_interface="org.kde.kwin.Scripting")

    @dbus.service.method("org.zuz.Bench")
    def Seen(self, cls, shown, x, y, width, height):
        self.state[str(cls).lower()] = bool(shown)
        self.seen[str(cls).lower()] = (time.monotonic(), (int(x), int(y), int(width), int(height)))

    def pump(self):
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)

    def wait(self, cls, shown=True, timeout=10):
        start = time.monotonic()
        cls = cls.lower()
        while self.state.get(cls, False) != shown:
            GLib.MainContext.default().iteration(False)
            if time.monotonic() - start > timeout:
                raise AssertionError(f"{cls} {'not shown' if shown else 'still shown'}")
        return self.seen[cls][0]

    def button(self):
        def found():
            self.pump()
            at = self.seen.get("zonara")
            return at if at and at[1][2:] == (CONTROL, CONTROL) else None
        x, y, _, _ = wait_until(found, 20, "Zonara's button")[1]
        return x + CONTROL // 2, y + CONTROL // 2


def end(d, probe, cls):
    """Esc until the full-screen window is gone: a key pressed the moment
    the window is mapped may come before it has the input."""
    for _ in range(5):
        time.sleep(0.3)
        d.key(ESCAPE)
        try:
            probe.wait(cls, shown=False, timeout=3)
            return
        except AssertionError:
            pass
    raise AssertionError(f"{cls} does not end on Esc")


def main():
    bin_dir, samples = sys.argv[1], int(sys.argv[2])
    desktop = os.environ.get("RIG_DESKTOP")
    d = (Gnome if desktop == "gnome" else Kde)(bin_dir)
    probe = GnomeProbe(d) if desktop == "gnome" else KwinProbe(d)
    zuz_class = "zuz"
    try:
        pattern = coded_pattern(d.width, d.height)
        picture = os.path.join(RUN, "pattern.png")
        pattern.save(picture)
        d.spawn([sys.executable, os.path.join(os.path.dirname(ROUND_TRIP), "desktopsteps.py"),
                 "--show", picture])
        d.park()
        d.shows(pattern, "the pattern window")
        d.spawn([d.program("zuz")])
        probe.wait(zuz_class)
        view = []
        for _ in range(samples):
            end(d, probe, zuz_class)
            time.sleep(PAUSE)
            start = time.monotonic()
            if desktop == "gnome":
                d.spawn([d.program("zuz"), "--view"])
            else:
                d.key(ord("z"), CONTROL_L)
            mark("view asked", start)
            mapped = probe.wait(zuz_class)
            mark("view mapped", mapped)
            view.append((mapped - start) * 1000)
        end(d, probe, zuz_class)

        d.spawn([d.program("Zonara")])
        centre = probe.button()
        pick = []
        for _ in range(samples):
            time.sleep(PAUSE)
            d.pointer_to(*centre)
            start = time.monotonic()
            d.button(True)
            d.button(False)
            mark("pick clicked", start)
            mapped = probe.wait("Zonara")
            mark("picker mapped", mapped)
            pick.append((mapped - start) * 1000)
            d.park()
            end(d, probe, "Zonara")
        out = subprocess.run([sys.executable, ROUND_TRIP, str(samples), str(PAUSE)],
                             capture_output=True,
                             text=True, timeout=120).stdout.split()
        print(json.dumps({"view": view, "pick": pick, "portal": [float(v) for v in out]}))
    finally:
        d.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
