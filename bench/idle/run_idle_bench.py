"""What the programs cost while nobody uses them: wake-ups per second and
share of one core, read from /proc over a quiet stretch.

    PYTHONPATH=tests/e2e:bench /usr/bin/python3 bench/idle/run_idle_bench.py --bin build/bin

Wake-ups are the voluntary and involuntary context switches of all the
process's threads; the core share is its user and system time over the
wall time. Measured on a private desktop (Xvfb, openbox, trayer) for zuz
waiting in the tray, Zonara with only its button, and Zonara with a
magnified region open and scrolling off. Figures only: nothing here passes
or fails."""

import argparse
import os
import sys
import time


from drivers.session import wait_until
from drivers.xsession import new_session, program_folder
from drivers.zonara import Zonara
from drivers.zuz import Zuz, end_view

SECONDS = 10.0
# How long a program is left alone before the measurement, so that what it
# does once after a change (repaints, freeing buffers) is over.
SETTLE_S = 3.0
TICKS = os.sysconf("SC_CLK_TCK")


def counters(pid):
    """(context switches, CPU seconds) summed over every thread of pid."""
    switches = 0
    ticks = 0
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches:",
                                        "nonvoluntary_ctxt_switches:")):
                        switches += int(line.split()[1])
            with open(f"/proc/{pid}/task/{tid}/stat") as f:
                # The command name may hold spaces: fields count from the ')'.
                fields = f.read().rsplit(")", 1)[1].split()
                ticks += int(fields[11]) + int(fields[12])  # utime, stime
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return switches, ticks / TICKS


def measure(name, pid):
    time.sleep(SETTLE_S)
    s0, c0 = counters(pid)
    t0 = time.monotonic()
    time.sleep(SECONDS)
    s1, c1 = counters(pid)
    wall = time.monotonic() - t0
    print(f"{name:<44} {(s1 - s0) / wall:8.1f} wake-ups/s {100 * (c1 - c0) / wall:7.2f} % of a core")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True, help="folder of the built programs")
    args = ap.parse_args()
    print(f"idle cost over {SECONDS:.0f} s (target: at most 5 wake-ups/s and 0.1 % of a core)")
    with new_session(1024, 768) as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        end_view(s, zuz)
        measure("zuz waiting in the tray", zuz.proc.pid)
    with new_session(1024, 768) as s:
        folder = program_folder(args.bin, s.tmp, names=("Zonara",))
        open(os.path.join(folder, "Vorlane.ini"), "w").close()
        z = Zonara(s, folder)
        measure("Zonara with only its button", z.proc.pid)
        z.click_control()
        z.drag((200, 150), (261, 191))
        wait_until(lambda: z.region_windows(), 10, "the magnified-region window")
        measure("Zonara with a region open, scrolling off", z.proc.pid)
    return 0


if __name__ == "__main__":
    sys.exit(main())
