"""How fast Ctrl+Z brings up the view, and what zuz holds while it waits;
with --trigger view, how fast `zuz --view` does (a process that hands the
request to the running zuz, as a key bound in the desktop's settings runs
it).

Measured on the X server itself: the key goes in through XTEST and a
one-pixel GetImage is polled until the screen shows the view; the figure
is from the key event to the view on the screen (the end of zuz's flush
plus one poll). Warm is one view right after another; cold is a view
after a pause longer than zuz keeps its paint buffer (2.5 s), and after a
long one (60 s) in which anything else may have gone cold.

What zuz holds while it waits is read just before the last cold Ctrl+Z,
2.5 s and 60 s after a view ended (a kept buffer that the kernel had taken
away would show there as less resident), broken down by buffer (see
memory()). Resident memory is counted in full: shared
segments with the pages only the X server touched, and library pages that
other programs share as well. MB here are 2^20 bytes. Figures only:
nothing here passes or fails."""

import argparse
import os
import statistics
import sys
import time


from Xlib import X, XK
from Xlib.ext import res, xtest

from drivers.pictures import colour_close, gradient_colour
from drivers.session import wait_until
from drivers.xsession import new_session
from drivers.zuz import Zuz, end_view, views

SAMPLES = 20
# How long zuz keeps its paint buffer after a view ends.
RELEASE_S = 2.0
MB = 1024 * 1024


def capture_segments(pid):
    """Resident bytes of each System V segment the process made: its whole
    resident size, also the pages only the X server has touched."""
    sizes = []
    with open("/proc/sysvipc/shm") as f:
        head = f.readline().split()
        for line in f:
            row = dict(zip(head, line.split()))
            if int(row["cpid"]) == pid and int(row["nattch"]) > 0:
                sizes.append(int(row["rss"]))
    return sorted(sizes, reverse=True)


def memory(pid, dpy):
    """What the process holds while it waits, in bytes, by buffer: the
    capture's MIT-SHM segments (System V), the paint buffer (Qt's backing
    store, a memfd it shares with the X server), other anonymous memory
    (heap), mapped files (libraries, fonts), and on the X server's side the
    pixmaps it holds for the process (X-Resource)."""
    kinds = {"paint": 0, "anon": 0, "file": 0}
    name = None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            field = line.split()
            if not field[0].endswith(":"):
                name = field[5] if len(field) > 5 else ""
                continue
            if field[0] != "Rss:":
                continue
            rss = int(field[1]) * 1024
            if name.startswith("/SYSV"):
                continue  # counted in full below
            if name.startswith("/memfd:") or name.startswith("/dev/shm/"):
                kinds["paint"] += rss
            elif name and not name.startswith("["):
                kinds["file"] += rss
            else:
                kinds["anon"] += rss
    segments = capture_segments(pid)
    kinds["capture"] = sum(segments)
    server = 0
    for c in dpy.res_query_client_ids([{"client": 0, "mask": res.LocalClientPIDMask}]).ids:
        if c.value and c.value[0] == pid:
            server += dpy.res_query_client_pixmap_bytes(c.spec.client).bytes
    kinds["server"] = server
    return kinds, segments


def memory_line(pid, dpy):
    kinds, segments = memory(pid, dpy)
    total = sum(kinds.values())
    segs = " + ".join(f"{b / MB:.1f}" for b in segments) or "none"
    return (f"waiting: {total / MB:.1f} MB = capture segments {kinds['capture'] / MB:.1f} [{segs}]"
            f" + paint buffer {kinds['paint'] / MB:.1f} + other heap {kinds['anon'] / MB:.1f}"
            f" + libraries and fonts {kinds['file'] / MB:.1f}"
            f" + X server pixmaps {kinds['server'] / MB:.1f}")


def settle(s, zuz, desktop_shown):
    """Ends any view and waits for the desktop; False if it does not show."""
    for _ in range(3):
        if desktop_shown():
            return True
        for wid in views(s):
            s.xdotool("windowactivate", "--sync", wid, "key", "Escape")
        try:
            wait_until(desktop_shown, 3, "the desktop")
            return True
        except AssertionError:
            pass
    return False


def measure(args, w, h, pause, samples, with_memory=False):
    # Both triggers take turns, so that a busy machine weighs on each alike.
    triggers = {"key": ["Ctrl+Z"], "view": ["zuz --view"],
                "both": ["Ctrl+Z", "zuz --view"]}[args.trigger]
    with new_session(w, h) as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        end_view(s, zuz)
        # A point whose colour the 2x view changes: a quarter of the way in.
        px, py = w // 8, h // 8
        want = gradient_colour(px, py, w, h)

        def desktop_shown():
            b, g, r = s.root.get_image(px, py, 1, 1, X.ZPixmap, 0xFFFFFFFF).data[:3]
            return colour_close((r, g, b), want, 4)
        ctrl = s.dpy.keysym_to_keycode(XK.string_to_keysym("Control_L"))
        z = s.dpy.keysym_to_keycode(XK.string_to_keysym("z"))
        times = {t: [] for t in triggers}
        started = []
        lost = 0
        while min(len(v) for v in times.values()) < samples:
            what = triggers[sum(len(v) for v in times.values()) % len(triggers)]
            if not settle(s, zuz, desktop_shown):
                # The desktop did not come back (a busy machine): count the
                # sample as lost rather than measure from a wrong start.
                lost += 1
                print("lost a sample; zuz windows:",
                      [s.window_geometry(x) for x in s.windows(cls="zuz")], flush=True)
                assert lost <= SAMPLES, "the desktop never came back"
                continue
            time.sleep(pause)
            if with_memory and len(times[what]) == samples - 1:
                # As zuz is when the last Ctrl+Z comes: waiting since `pause`.
                waiting = memory_line(zuz.proc.pid, s.dpy)
            if what == "Ctrl+Z":
                # Pressed and released at once, so that no auto-repeat of a
                # held key brings a second view.
                xtest.fake_input(s.dpy, X.KeyPress, ctrl)
                xtest.fake_input(s.dpy, X.KeyPress, z)
                s.dpy.sync()
                start = time.perf_counter()
                xtest.fake_input(s.dpy, X.KeyRelease, z)
                xtest.fake_input(s.dpy, X.KeyRelease, ctrl)
                s.dpy.flush()
            else:
                # posix_spawn, not a fork of this large process: what is
                # measured is zuz's share, as a desktop starts a bound
                # command.
                program = os.path.join(zuz.folder, "zuz")
                start = time.perf_counter()
                started.append(os.posix_spawn(program, [program, "--view"], s.env))
            deadline = start + 10
            while desktop_shown():
                if time.perf_counter() > deadline:
                    raise AssertionError(f"no view after {what}")
            times[what].append((time.perf_counter() - start) * 1000)
        settle(s, zuz, desktop_shown)  # the last view ends too: zuz waits again
        for pid in started:
            os.waitpid(pid, 0)
        kind = f"cold after {pause:g} s" if pause > RELEASE_S else "warm (one view after another)"
        for what, ms in times.items():
            med = statistics.median(ms)
            print(f"{w}x{h}, {kind}: {what} to view on screen, median of {samples}: {med:.1f} ms "
                  f"(min {min(ms):.1f}, max {max(ms):.1f})"
                  + (f"; {lost} samples lost" if lost else ""), flush=True)
        if with_memory:
            print(f"{w}x{h}, {waiting}", flush=True)
        return med


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--sizes", default="1920x1080,3840x2160")
    ap.add_argument("--trigger", choices=("key", "view", "both"), default="key",
                    help="Ctrl+Z through XTEST, a `zuz --view` process, or both in turn")
    ap.add_argument("--long-samples", type=int, default=4,
                    help="views after a 60 s pause, per size (0: none)")
    args = ap.parse_args()
    for size in args.sizes.split(","):
        w, h = (int(v) for v in size.split("x"))
        measure(args, w, h, 0.0, SAMPLES)
        measure(args, w, h, RELEASE_S + 0.5, 10, with_memory=True)
        if args.long_samples:
            measure(args, w, h, 60.0, args.long_samples, with_memory=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
