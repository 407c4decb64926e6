"""How fast Ctrl+Z brings up the view, and what zuz holds while it waits.

Measured on the X server itself: the key goes in through XTEST and a
one-pixel GetImage is polled until the screen shows the view; the figure
is from the key event to the view on the screen (the end of zuz's flush
plus one poll). Resident memory is read from /proc after one view has
been shown and ended. Figures only: nothing here passes or fails."""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "e2e"))

from Xlib import X, XK
from Xlib.ext import xtest

from test_tray_icon import end_view, views  # noqa: E402
from xsession import colour_close, gradient_colour, wait_until  # noqa: E402
from zuzdriver import Zuz, new_session  # noqa: E402

SAMPLES = 20
# How long zuz keeps its screen-sized buffers after a view ends.
RELEASE_S = 2.0


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


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


def measure(args, w, h, pause, samples):
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
        times = []
        lost = 0
        while len(times) < samples:
            if not settle(s, zuz, desktop_shown):
                # The desktop did not come back (a busy machine): count the
                # sample as lost rather than measure from a wrong start.
                lost += 1
                print("lost a sample; zuz windows:",
                      [s.window_geometry(x) for x in s.windows(cls="zuz")], flush=True)
                assert lost <= SAMPLES, "the desktop never came back"
                continue
            time.sleep(pause)
            # Pressed and released at once, so that no auto-repeat of a
            # held key brings a second view.
            xtest.fake_input(s.dpy, X.KeyPress, ctrl)
            xtest.fake_input(s.dpy, X.KeyPress, z)
            s.dpy.sync()
            start = time.perf_counter()
            xtest.fake_input(s.dpy, X.KeyRelease, z)
            xtest.fake_input(s.dpy, X.KeyRelease, ctrl)
            s.dpy.flush()
            deadline = start + 10
            while desktop_shown():
                if time.perf_counter() > deadline:
                    raise AssertionError("no view after Ctrl+Z")
            times.append((time.perf_counter() - start) * 1000)
        settle(s, zuz, desktop_shown)  # the last view ends too: zuz waits again
        time.sleep(RELEASE_S + 0.5)
        rss = rss_mb(zuz.proc.pid)
        med = statistics.median(times)
        kind = "cold (buffers given back)" if pause > RELEASE_S else "warm (one view after another)"
        print(f"{w}x{h}, {kind}: Ctrl+Z to view on screen, median of {samples}: {med:.1f} ms "
              f"(min {min(times):.1f}, max {max(times):.1f}); "
              f"RSS waiting after {samples} views: {rss:.1f} MB"
              + (f"; {lost} samples lost" if lost else ""), flush=True)
        return med, rss


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    args = ap.parse_args()
    for w, h in [(1920, 1080), (3840, 2160)]:
        measure(args, w, h, 0.0, SAMPLES)
        measure(args, w, h, RELEASE_S + 0.5, 10)
    return 0


if __name__ == "__main__":
    sys.exit(main())
