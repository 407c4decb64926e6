"""Inside a GNOME Shell or KWin session (run_wayland_bench.py --desktops
starts one): after a pause, the time from `zuz --view` (GNOME) or Ctrl+Z
through the desktop's shortcut (KDE) to zuz's full-screen view mapped by
the compositor, and from a click on Zonara's button to the picker mapped;
and beside them the Screenshot portal's round trip, alone and from a
click on another program's button that asks for it (clickroundtrip.py).
Prints one line of JSON with the samples in milliseconds.

"Mapped" is what the compositor itself reports: a script of GNOME Shell's
(through its Eval) or KWin's, whose handlers call back over the bus as a
window becomes full-screen. The frame follows within a refresh.

usage: desktop_bench_steps.py BIN_DIR SAMPLES"""

import json
import os
import select
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
# How long a hand holds a button down in a click.
HOLD = 0.1
TRACE = bool(os.environ.get("ZUZ_BENCH_TRACE"))


def mark(step, at):
    """Beside the programs' own timings, on the same clock."""
    if TRACE:
        print(f"bench {step} {at * 1000:.1f}", file=sys.stderr, flush=True)
ROUND_TRIP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "roundtrip.py")
CLICK_ROUND_TRIP = os.path.join(os.path.dirname(ROUND_TRIP), "clickroundtrip.py")


class Probe(dbus.service.Object):
    """The desktop's own script reports each window that becomes full-screen
    or goes, over the bus. Waiting blocks until such a report comes: a
    probe that polled would take a core, or GNOME Shell's main loop, away
    from the desktop whose speed it measures."""

    def __init__(self, d):
        self.d = d
        self.name = dbus.service.BusName("org.zuz.Bench", d.bus)
        super().__init__(d.bus, "/")
        self.state = {}
        self.seen = {}

    @dbus.service.method("org.zuz.Bench")
    def Seen(self, cls, shown, x, y, width, height):
        self.state[str(cls).lower()] = bool(shown)
        self.seen[str(cls).lower()] = (time.monotonic(), (int(x), int(y), int(width), int(height)))

    def pump(self):
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)

    def wait(self, cls, shown=True, timeout=10):
        cls = cls.lower()
        late = []
        timer = GLib.timeout_add(int(timeout * 1000), lambda: late.append(True) and False)
        try:
            while self.state.get(cls, False) != shown:
                if late:
                    raise AssertionError(f"{cls} {'not shown' if shown else 'still shown'}")
                GLib.MainContext.default().iteration(True)
        finally:
            if not late:
                GLib.source_remove(timer)
        return self.seen[cls][0]

    def button(self, cls="zonara", size=(CONTROL, CONTROL)):
        """The middle of the window of `cls` once it is shown, of `size` if
        one is given."""
        def found():
            self.pump()
            at = self.seen.get(cls)
            return at if at and self.placed(at[1], size) else None
        x, y, width, height = wait_until(found, 20, f"{cls}'s window")[1]
        return x + width // 2, y + height // 2

    @staticmethod
    def placed(area, size):
        return area[2] > 0 and (size is None or area[2:] == size)


class GnomeProbe(Probe):
    SCRIPT = """(() => {
const { Gio, GLib } = imports.gi;
function tell(w, shown) {
    const r = w.get_frame_rect();
    Gio.DBus.session.call("org.zuz.Bench", "/", "org.zuz.Bench", "Seen",
        new GLib.Variant("(sbiiii)", [String(w.get_wm_class()), shown, r.x, r.y, r.width,
                                      r.height]),
        null, Gio.DBusCallFlags.NO_AUTO_START, -1, null, null);
}
function watch(w) {
    tell(w, w.is_fullscreen());
    w.connect("notify::fullscreen", () => tell(w, w.is_fullscreen()));
    w.connect("notify::wm-class", () => tell(w, w.is_fullscreen()));
    w.connect("position-changed", () => tell(w, w.is_fullscreen()));
    w.connect("unmanaged", () => tell(w, false));
}
global.get_window_actors().forEach(a => watch(a.meta_window));
global.display.connect("window-created", (d, w) => watch(w));
return true;
})()"""

    def __init__(self, d):
        super().__init__(d)
        d.eval(self.SCRIPT)

    @staticmethod
    def placed(area, size):
        # GNOME reports a new window at (0, 0) until it has placed it.
        return Probe.placed(area, size) and area[:2] != (0, 0)


class KwinProbe(Probe):
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
        super().__init__(d)
        script = os.path.join(RUN, "bench.js")
        with open(script, "w") as f:
            f.write(self.SCRIPT)
        kwin = d.bus.get_object("org.kde.KWin", "/Scripting")
        kwin.loadScript(script, "zuzbench", dbus_interface="org.kde.kwin.Scripting",
                        signature="ss")
        kwin.start(dbus_interface="org.kde.kwin.Scripting")


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


def click(d, at):
    """A click on the button at `at` as a hand makes it: the pointer rests
    on the button a while, the button is held down for a tenth of a second
    and let go; the time it is let go, when a button acts. Let go at once,
    the button's pressed face would still be on its way to the screen,
    which on GNOME's software drawing takes a frame of 50 to 80 ms that no
    hand's click waits for.
    GNOME hands the window under its virtual pointer the pointer's arrival
    only with the device's next event: moved once, the pointer would
    arrive with the press, and the button's cursor with it, whose frame
    takes GNOME's software drawing some 90 ms. So it moves on by a pixel."""
    d.pointer_to(*at)
    time.sleep(0.05)
    d.pointer_to(at[0] + 1, at[1])
    time.sleep(PAUSE)
    d.button(True)
    time.sleep(HOLD)
    start = time.monotonic()
    d.button(False)
    return start


def click_round_trips(d, probe, samples):
    """From a click on a window of another program, which asks the portal at
    each, to the answer: what a click costs the desktop before the portal
    answers, beside what Zonara's click costs."""
    proc = d.spawn([sys.executable, CLICK_ROUND_TRIP, str(CONTROL)], stdout=subprocess.PIPE,
                   text=True)
    try:
        centre = probe.button("zuzbenchclick", size=None)
        got = []
        for _ in range(samples):
            start = click(d, centre)
            if not select.select([proc.stdout], [], [], 10)[0]:
                raise AssertionError("no answer to a click on the other program's button")
            answered = proc.stdout.readline()
            if not answered:
                raise AssertionError("the other program's button ended")
            got.append((float(answered) - start) * 1000)
        return got
    finally:
        proc.kill()
        proc.wait()


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
            if desktop == "gnome":
                start = time.monotonic()
                d.spawn([d.program("zuz"), "--view"])
            else:
                # From the press of Z, Ctrl held down a moment before it as
                # a hand would.
                d.press(CONTROL_L, True)
                time.sleep(0.03)
                start = time.monotonic()
                d.press(ord("z"), True)
                d.press(ord("z"), False)
                d.press(CONTROL_L, False)
            mark("view asked", start)
            mapped = probe.wait(zuz_class)
            mark("view mapped", mapped)
            view.append((mapped - start) * 1000)
        end(d, probe, zuz_class)

        zonara = d.spawn([d.program("Zonara")])
        centre = probe.button()
        pick = []
        for _ in range(samples):
            start = click(d, centre)
            mark("pick clicked", start)
            mapped = probe.wait("Zonara")
            mark("picker mapped", mapped)
            pick.append((mapped - start) * 1000)
            d.park()
            end(d, probe, "Zonara")
        # Where the other program's button will be placed.
        zonara.terminate()
        zonara.wait(timeout=10)
        out = subprocess.run([sys.executable, ROUND_TRIP, str(samples), str(PAUSE)],
                             capture_output=True,
                             text=True, timeout=120).stdout.split()
        print(json.dumps({"view": view, "pick": pick, "portal": [float(v) for v in out],
                          "click portal": click_round_trips(d, probe, samples)}))
    finally:
        d.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
