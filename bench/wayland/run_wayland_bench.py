"""Wayland against X11, at 1920x1080: `zuz --view` to the view on the
screen, and a click on Zonara's button to the picker on the screen; the
median (and the spread) of 10 each, on a headless sway with the desktop
portals and on Xvfb with openbox.

"On the screen" is read back from the screen itself: on sway by grim, one
pixel at a time (a poll costs some 10 ms, which the figures include), on
X11 by a one-pixel GetImage. The view is on the screen once a point shows
the enlarged picture; the picker, which shows the frozen screen, once
Zonara's button has left it and the compositor or window manager reports
the picker's window. The portal's own share, a Screenshot request's round
trip, is measured on its own; on GNOME and KDE (--desktops) also from a
click on another program's button that asks for it, which has the desktop
do what any click has it do.

Beside them, after a pause of a second each: `Zonara --pick` to the
picker, and on sway the same view asked for over zuz's channel by a
process that is already running (bench/wayland/trigger.py), the floor of
what `zuz --view`, which sway starts for a bound key, can cost. Figures
only: nothing here passes or fails."""

import argparse
import errno
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

from drivers.pictures import coded_pattern
from drivers.session import wait_until
from drivers.wlsession import WaylandSession, missing
from drivers.xsession import XSession, program_folder

W, H = 1920, 1080
SAMPLES = 10
# Before each `Zonara --pick`: long enough for anything a previous pick
# left warm to have cooled, as between a user's picks.
PAUSE_S = 1.0
# A point that the view (the middle twice) shows in another colour.
PROBE = (200, 150)
PORTAL_ROUND_TRIP = r'''
import time, dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib
DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
sender = bus.get_unique_name()[1:].replace(".", "_")
portal = bus.get_object("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop")
loop = GLib.MainLoop()
for i in range(%d):
    token = "bench%%d" %% i
    done = []
    match = bus.add_signal_receiver(
        lambda code, results: (done.append(time.monotonic()), loop.quit()),
        "Response", "org.freedesktop.portal.Request",
        path="/org/freedesktop/portal/desktop/request/%%s/%%s" %% (sender, token))
    start = time.monotonic()
    portal.Screenshot("", {"handle_token": token, "interactive": False},
                      dbus_interface="org.freedesktop.portal.Screenshot")
    loop.run()
    match.remove()
    print((done[0] - start) * 1000)
''' % SAMPLES


def expected_view_colour(pattern):
    return pattern.getpixel((W // 4 + PROBE[0] // 2, H // 4 + PROBE[1] // 2))


def figures(name, samples):
    ms = sorted(samples)
    print(f"  {name:<34} median {statistics.median(ms):7.1f} ms"
          f"   (min {ms[0]:.1f}, max {ms[-1]:.1f}, n={len(ms)})")


# --- sway --------------------------------------------------------------------
def open_writer(fifo):
    """The FIFO's writing end once its reader has it open, else None."""
    try:
        return os.open(fifo, os.O_WRONLY | os.O_NONBLOCK)
    except OSError as e:
        if e.errno == errno.ENXIO:
            return None
        raise


def sway_pixel(s, x, y):
    out = s.run(["grim", "-g", f"{x},{y} 1x1", "-t", "ppm", "-"]).stdout
    return tuple(out[-3:])


def sway_bench(bin_dir, pattern):
    view, view_request, pick, pick_request = [], [], [], []
    with WaylandSession(bin_dir, W, H, background=pattern) as s:
        want = expected_view_colour(pattern)
        s.spawn([s.program("zuz")])
        s.full_screen_window("zuz")
        wait_until(lambda: sway_pixel(s, *PROBE) == want, 10, "the first view")
        fifo = os.path.join(s.tmp, "trigger")
        os.mkfifo(fifo, 0o666)
        os.chmod(fifo, 0o666)
        trigger = os.path.join(s.tmp, "trigger.py")
        shutil.copy(os.path.join(HERE, "trigger.py"), trigger)
        s.spawn(["/usr/bin/python3", trigger, fifo, s.program("zuz")])
        with os.fdopen(wait_until(lambda: open_writer(fifo), 10, "the trigger"), "w") as asks:
            # In turns, so that a busy machine weighs on both alike.
            for i in range(2 * SAMPLES):
                how = ("start", "request")[i % 2]
                s.key("Escape")
                wait_until(lambda: sway_pixel(s, *PROBE) == pattern.getpixel(PROBE), 10,
                           "the desktop")
                time.sleep(PAUSE_S)
                start = time.monotonic()
                asks.write(how + "\n")
                asks.flush()
                wait_until(lambda: sway_pixel(s, *PROBE) == want, 10, "the view", interval=0)
                (view if how == "start" else view_request).append(
                    (time.monotonic() - start) * 1000)
        s.key("Escape")
        s.no_full_screen_window("zuz")

        s.spawn([s.program("Zonara")])
        button = wait_until(lambda: s.windows("Zonara"), 10, "Zonara's button")[0]["rect"]
        centre = (button["x"] + button["width"] // 2, button["y"] + button["height"] // 2)
        # Above and left of the pointer, which the compositor draws.
        probe = (button["x"] + 3, button["y"] + 3)
        background = pattern.getpixel(probe)
        for _ in range(SAMPLES):
            wait_until(lambda: sway_pixel(s, *probe) != background, 10, "the button")
            s.pointer_to(*centre)
            start = time.monotonic()
            s.pointer_to(*centre, buttons=1)
            s.pointer_to(*centre)
            wait_until(lambda: sway_pixel(s, *probe) == background
                       and any(w["name"] == "Capture Area" for w in s.windows("Zonara")),
                       10, "the picker", interval=0)
            pick.append((time.monotonic() - start) * 1000)
            s.park_pointer()
            s.key("Escape")
            wait_until(lambda: not any(w["name"] == "Capture Area" for w in s.windows("Zonara")),
                       10, "the picker to go")
        for _ in range(SAMPLES):
            wait_until(lambda: sway_pixel(s, *probe) != background, 10, "the button")
            time.sleep(PAUSE_S)
            start = time.monotonic()
            s.spawn([s.program("Zonara"), "--pick"])
            wait_until(lambda: sway_pixel(s, *probe) == background
                       and any(w["name"] == "Capture Area" for w in s.windows("Zonara")),
                       10, "the picker", interval=0)
            pick_request.append((time.monotonic() - start) * 1000)
            s.key("Escape")
            wait_until(lambda: not any(w["name"] == "Capture Area" for w in s.windows("Zonara")),
                       10, "the picker to go")
        script = os.path.join(s.tmp, "roundtrip.py")
        with open(script, "w") as f:
            f.write(PORTAL_ROUND_TRIP)
        out = s.run(["/usr/bin/python3", script], timeout=120).stdout.decode().split()
        portal = [float(v) for v in out]
    return view, view_request, pick, pick_request, portal


# --- GNOME and KDE -------------------------------------------------------------
def desktop_bench(bin_dir, script, trace=None):
    """The steps of desktop_bench_steps.py inside a session of the shared
    desktops folder (see tests/e2e/test_desktops.py). With `trace` (a file
    name) the programs' own timings of each step, and the moments the
    steps started and ended the compositor's way, are written there."""
    from drivers.desktoprig import desktops_folder, stage
    from drivers.wlsession import USER
    folder = desktops_folder()
    tmp = tempfile.mkdtemp(prefix="zuz-bench-")
    try:
        e2e = os.path.join(HERE, "..", "..", "tests", "e2e")
        run = stage(tmp, bin_dir, tmp, [os.path.join(e2e, "desktopsteps.py")]
                    + [os.path.join(HERE, name)
                       for name in ("desktop_bench_steps.py", "roundtrip.py",
                                    "clickroundtrip.py")])
        proc = subprocess.run(
            [os.path.join(folder, script), "-u", USER, "-s", f"{W}x{H}"]
            + (["-e", "QT_LOGGING_RULES=zuz.capture.timing.debug=true",
                "-e", "ZUZ_BENCH_TRACE=1"] if trace else [])
            + ["--",
             "/usr/bin/python3", os.path.join(tmp, "desktop_bench_steps.py"), tmp,
             str(SAMPLES)], env=dict(os.environ, RIG_TMP=run), cwd=tmp, capture_output=True,
            text=True, timeout=600)
        if trace:
            with open(trace, "a") as f:
                f.write(f"# {script}\n")
                f.writelines(line + "\n" for line in proc.stderr.splitlines()
                             if "zuz.capture.timing" in line or line.startswith("bench "))
        lines = [line for line in proc.stdout.splitlines() if line.startswith("{")]
        if proc.returncode != 0 or not lines:
            raise AssertionError(f"{script}: {proc.stdout[-2000:]}{proc.stderr[-3000:]}")
        return json.loads(lines[-1])
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


# --- X11 -----------------------------------------------------------------------
def x_pixel(xs, x, y):
    return xs.screenshot((x, y, 1, 1)).getpixel((0, 0))


def x_end_view(xs, pattern):
    """Esc until the desktop shows again: a key pressed the moment the view
    is on the screen may come before the window has the input."""
    for _ in range(5):
        xs.xdotool("key", "Escape")
        try:
            wait_until(lambda: x_pixel(xs, *PROBE) == pattern.getpixel(PROBE), 2, "the desktop")
            return
        except AssertionError:
            pass
    raise AssertionError("the view does not end on Esc")


def x11_bench(bin_dir, pattern):
    view, pick, pick_request = [], [], []
    with XSession(W, H) as xs:
        xs.set_background(pattern)
        folder = program_folder(bin_dir, xs.tmp, ("zuz", "Zonara"))
        for marker in ("Vivoduzivi.ini", "Vorlane.ini"):
            with open(os.path.join(folder, marker), "wb") as f:
                f.write(b"\r\n")
        want = expected_view_colour(pattern)
        xs.spawn([os.path.join(folder, "zuz")])
        wait_until(lambda: x_pixel(xs, *PROBE) == want, 10, "the first view")
        for _ in range(SAMPLES):
            x_end_view(xs, pattern)
            start = time.monotonic()
            xs.spawn([os.path.join(folder, "zuz"), "--view"])
            wait_until(lambda: x_pixel(xs, *PROBE) == want, 10, "the view", interval=0)
            view.append((time.monotonic() - start) * 1000)
        xs.xdotool("key", "Escape")

        xs.spawn([os.path.join(folder, "Zonara")])
        wid = wait_until(lambda: xs.windows(cls="Zonara"), 10, "Zonara's button")[0]
        x, y, w, h = xs.window_geometry(wid)
        centre = (x + w // 2, y + h // 2)
        probe = (x + 3, y + 3)
        background = pattern.getpixel(probe)
        for _ in range(SAMPLES):
            wait_until(lambda: x_pixel(xs, *probe) != background, 10, "the button")
            xs.xdotool("mousemove", *centre)
            start = time.monotonic()
            xs.xdotool("click", "1")
            wait_until(lambda: x_pixel(xs, *probe) == background
                       and xs.windows(name="^Capture Area$"), 10, "the picker", interval=0)
            pick.append((time.monotonic() - start) * 1000)
            xs.xdotool("key", "Escape")
            wait_until(lambda: not xs.windows(name="^Capture Area$"), 10, "the picker to go")
        for _ in range(SAMPLES):
            wait_until(lambda: x_pixel(xs, *probe) != background, 10, "the button")
            time.sleep(PAUSE_S)
            start = time.monotonic()
            xs.spawn([os.path.join(folder, "Zonara"), "--pick"])
            wait_until(lambda: x_pixel(xs, *probe) == background
                       and xs.windows(name="^Capture Area$"), 10, "the picker", interval=0)
            pick_request.append((time.monotonic() - start) * 1000)
            xs.xdotool("key", "Escape")
            wait_until(lambda: not xs.windows(name="^Capture Area$"), 10, "the picker to go")
    return view, pick, pick_request


def main():
    global SAMPLES
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--samples", type=int, default=SAMPLES,
                        help="samples of each figure on X11 and sway")
    parser.add_argument("--sway-only", action="store_true", help="no X11 figures")
    parser.add_argument("--desktops", nargs="?", const="gnome,kde",
                        help="GNOME Shell and KWin only (or those named, as gnome,kde), "
                             "from the shared desktops folder")
    parser.add_argument("--trace", metavar="FILE",
                        help="with --desktops: the programs' timings of each step into FILE "
                             "(trace_steps.py FILE sums them up)")
    args = parser.parse_args()
    SAMPLES = args.samples
    pattern = coded_pattern(W, H)
    if args.desktops:
        print(f"{W}x{H}, {SAMPLES} samples each, a pause of 1 s before each")
        for name, script, key in (("GNOME Shell 43 (headless)", "gnome-session.sh",
                                   "zuz --view"),
                                  ("KWin 5.27 (virtual)", "kde-session.sh",
                                   "Ctrl+Z (the desktop's shortcut)")):
            if script.split("-")[0] not in args.desktops.split(","):
                continue
            got = desktop_bench(args.bin, script, args.trace)
            print(f"{name}:")
            figures(f"{key} -> view mapped", got["view"])
            figures("Zonara click -> picker mapped", got["pick"])
            figures("Screenshot portal round trip", got["portal"])
            figures("another program's button, click -> portal's answer", got["click portal"])
        return 0
    why = missing()
    print(f"{W}x{H}, {SAMPLES} samples each")
    if not args.sway_only:
        x_view, x_pick, x_pick_request = x11_bench(args.bin, pattern)
        print("X11 (Xvfb, openbox):")
        figures("zuz --view -> view on screen", x_view)
        figures("Zonara click -> picker shown", x_pick)
        figures("Zonara --pick -> picker shown", x_pick_request)
    if why:
        print(f"sway: not measured ({why})")
        return 0
    w_view, w_view_request, w_pick, w_pick_request, portal = sway_bench(args.bin, pattern)
    print("Wayland (headless sway, pixman, xdg-desktop-portal-wlr):")
    figures("zuz --view -> view on screen", w_view)
    figures("channel request -> view on screen", w_view_request)
    figures("Zonara click -> picker shown", w_pick)
    figures("Zonara --pick -> picker shown", w_pick_request)
    figures("Screenshot portal round trip", portal)
    return 0


if __name__ == "__main__":
    sys.exit(main())
