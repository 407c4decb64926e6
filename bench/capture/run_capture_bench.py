"""Times "Snarell" in Zonara's menu to the capture program's picker on the
screen, beside Zonara's own click on its button to its picker, on private
X servers at 1920x1080 and 3840x2160 (median of 15 each, the first of each
left out, each after a pause of PAUSE seconds with nothing going on, as a
user's clicks come). "On the screen" is the picker window's MapNotify as
the X server sends it, seen by a client of the bench's own; both are
started the same way, by one xdotool command.

The capture program waits in the background once Zonara has been up a few
seconds; --cold leaves it out (a program folder without it at first), so
that every "Snarell" starts a process of its own, as before.

    PYTHONPATH=tests/e2e:bench /usr/bin/python3 \\
        bench/capture/run_capture_bench.py --bin build/bin [--cold]
"""

import argparse
import os
import select
import shutil
import statistics
import sys
import time

from Xlib import X, display as xdisplay

import benchrun
from drivers.captureprogram import capture_pids
from drivers.pictures import test_pattern
from drivers.session import wait_until
from drivers.xsession import XSession, program_folder
from drivers.zonara import Zonara

RUNS = 16
PAUSE = 1.0
SNARELL = 5  # "Snarell", five items down Zonara's menu


class MapWatch:
    """MapNotify of top-level windows, as they come."""

    def __init__(self, name):
        self.dpy = xdisplay.Display(name)
        self.dpy.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.dpy.sync()

    def drain(self):
        while self.dpy.pending_events():
            self.dpy.next_event()

    def wait_for(self, title, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            while self.dpy.pending_events():
                ev = self.dpy.next_event()
                if ev.type == X.MapNotify:
                    at = time.perf_counter()
                    try:
                        if ev.window.get_wm_name() == title:
                            return at
                    except Exception:
                        pass
            select.select([self.dpy], [], [], 0.05)
        raise TimeoutError(f"no {title} mapped")


def escape(xs, gone):
    """Esc until the picker has gone: one that comes before the picker has
    the keyboard would be lost."""
    for _ in range(20):
        xs.xdotool("key", "Escape")
        try:
            wait_until(gone, 0.5, "the picker to go")
            return
        except AssertionError:
            pass
    raise TimeoutError("the picker stayed")


def bench(args, w, h):
    with XSession(w, h, wm=False, tray=False) as xs:
        xs.set_background(test_pattern(w, h))
        folder = program_folder(args.bin, xs.tmp, names=("Zonara",))
        open(os.path.join(folder, "Vorlane.ini"), "w").close()
        if not args.cold:
            shutil.copy2(os.path.join(args.bin, "Derudovudi"), folder)
        z = Zonara(xs, folder)
        if args.cold:
            shutil.copy2(os.path.join(args.bin, "Derudovudi"), folder)
        else:
            channel = os.path.join(xs.runtime, "Derudovudi.channel")
            pid = wait_until(lambda: os.path.exists(channel) and capture_pids(folder, True), 20,
                             "the capture program to wait")[0]
            print(f"waiting capture program before its first pick: {resources(pid)}")
        watch = MapWatch(xs.display_name)
        own, snarell = [], []
        for _ in range(RUNS):
            # Zonara's own click.
            time.sleep(PAUSE)
            xs.xdotool("mousemove", *z.control_centre())
            watch.drain()
            t0 = time.perf_counter()
            xs.xdotool("click", "1")
            own.append((watch.wait_for("Capture Area") - t0) * 1000)
            escape(xs, lambda: not xs.windows(name="^Capture Area$"))
            wait_until(z.find_control, 10, "the button back")

            # "Snarell" from the menu: the item is chosen with Return.
            time.sleep(PAUSE)
            before = len(z.windows())
            xs.xdotool("mousemove", *z.control_centre(), "click", "3")
            wait_until(lambda: len(z.windows()) > before, 10, "the menu")
            xs.xdotool("key", *(["Down"] * SNARELL))
            watch.drain()
            t0 = time.perf_counter()
            xs.xdotool("key", "Return")
            snarell.append((watch.wait_for("Capture Area") - t0) * 1000)
            escape(xs, lambda: not xs.windows(name="^Capture Area$") and
                   not capture_pids(folder, False))
        own, snarell = own[1:], snarell[1:]
        waiting = capture_pids(folder, True)
        if waiting:
            print(f"waiting capture program after the picks: {resources(waiting[0])}")
        print(f"screen {w}x{h} ({'cold' if args.cold else 'waiting'}): Zonara click -> picker: median {statistics.median(own):.1f} ms"
              f" (max {max(own):.1f}); Snarell -> picker: median"
              f" {statistics.median(snarell):.1f} ms (max {max(snarell):.1f}); difference"
              f" {statistics.median(snarell) - statistics.median(own):+.1f} ms")
        z.end()


def resources(pid):
    """Resident memory and the wake-ups of a quiet minute."""
    def switches():
        with open(f"/proc/{pid}/status") as f:
            fields = dict(line.split(":", 1) for line in f)
        return (int(fields["voluntary_ctxt_switches"]) +
                int(fields["nonvoluntary_ctxt_switches"]), fields["VmRSS"].strip())
    before, _ = switches()
    time.sleep(60)
    after, rss = switches()
    return f"RSS {rss}, {after - before} wake-ups in a quiet minute"


def main():
    sys.stdout.reconfigure(line_buffering=True)
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True, help="folder of the built programs")
    ap.add_argument("--cold", action="store_true",
                    help="no capture program waiting: each Snarell starts one")
    args = ap.parse_args()
    for (w, h) in benchrun.SCREENS:
        bench(args, w, h)
    return 0


if __name__ == "__main__":
    sys.exit(main())
