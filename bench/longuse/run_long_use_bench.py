"""Long use, counted in full: 1,000 Ctrl+Z views (scrolling and push-pull
switched on for stretches of them), 1,000 Zonara picks whose windows are
opened and closed, and one free-hand stroke of 100,000 pointer positions in
the annotation editor. Prints resident memory after the warm-up and at the
end, and what each program holds in the X server (X-Resource), in
shared-memory segments (ipcs -m) and in grabs, before and after. Figures
only: the suite's e2e_long_use.* cases check the same on shorter runs."""

import argparse
import os
import sys
import time


from drivers.longuse import Holdings, editor_trace, grabs_free, picks, views
from drivers.xsession import new_session
from drivers.zonara import Zonara
from drivers.zuz import Zuz, end_view


def report(title, count, seconds, before, after):
    grown = after.grown(before)
    print(f"{title}: {count} in {seconds:.0f} s")
    print(f"  resident memory after warm-up {before.rss_kb / 1024:.1f} MB, at the end "
          f"{after.rss_kb / 1024:.1f} MB, growth {(after.rss_kb - before.rss_kb) / 1024:+.2f} MB")
    print(f"  shared-memory segments {before.shm} -> {after.shm}; "
          f"X pixmap bytes {before.x_total('pixmap bytes')} -> {after.x_total('pixmap bytes')}")
    kinds = sorted(set(before.x) | set(after.x) - {"pixmap bytes"})
    print("  X resources (after warm-up -> at the end): " +
          ", ".join(f"{k} {before.x.get(k, 0)}->{after.x.get(k, 0)}"
                    for k in kinds if k != "pixmap bytes"))
    print(f"  grown: {grown or 'nothing'}")


def settle():
    # Longer than zuz keeps a view's buffers after the view has ended.
    time.sleep(4)


def measure(s, pid, title, count, work):
    """Runs `work` between two settled counts of what `pid` holds and
    prints them."""
    settle()
    before = Holdings(s, pid)
    started = time.monotonic()
    work()
    took = time.monotonic() - started
    settle()
    report(title, count, took, before, Holdings(s, pid))
    print(f"  no grab left standing: {grabs_free(s)}")


def run_zuz(args):
    with new_session(args.width, args.height) as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        end_view(s, zuz)
        views(s, zuz, 40, switch_every=5)
        measure(s, zuz.proc.pid,
                "zuz, Ctrl+Z views (scrolling, then push-pull, on for 25 of every 100)",
                args.views, lambda: views(s, zuz, args.views, switch_every=25))

        # The first long stroke leaves the allocator holding what such a
        # stroke needs; the warm-up is that stroke, and the figure that
        # counts is the next one.
        editor_trace(s, zuz, 5000)
        editor_trace(s, zuz, 5000)
        settle()
        short = Holdings(s, zuz.proc.pid)
        editor_trace(s, zuz, args.points)
        settle()
        before = Holdings(s, zuz.proc.pid)
        print(f"zuz, annotation editor: the first stroke of {args.points} points takes "
              f"resident memory from {short.rss_kb / 1024:.1f} MB (after strokes of 5000) to "
              f"{before.rss_kb / 1024:.1f} MB, where it stays")
        measure(s, zuz.proc.pid, "zuz, annotation editor: one more free-hand stroke, points",
                args.points, lambda: editor_trace(s, zuz, args.points))


def run_zonara(args):
    with new_session(args.width, args.height) as s:
        zuz = Zuz(s, args.bin)
        open(os.path.join(zuz.folder, "Vorlane.ini"), "w").close()
        zonara = Zonara(s, zuz.folder)
        picks(s, zonara, 40)
        measure(s, zonara.proc.pid, "Zonara, picks with region windows opened and closed",
                args.picks, lambda: picks(s, zonara, args.picks))
        zonara.end()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--views", type=int, default=1000)
    ap.add_argument("--picks", type=int, default=1000)
    ap.add_argument("--points", type=int, default=100_000)
    ap.add_argument("--width", type=int, default=1024)
    ap.add_argument("--height", type=int, default=768)
    ap.add_argument("--only", choices=("zuz", "Zonara"))
    args = ap.parse_args()
    print(f"screen {args.width}x{args.height}")
    if args.only != "Zonara":
        run_zuz(args)
    if args.only != "zuz":
        run_zonara(args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
