"""Two builds measured in one run: a bench runner started for each build in
turn, round after round, so that both meet the same machine. Prints each
figure's median over the rounds for both builds, and the spread between
rounds of the same build, the run-to-run noise a difference must beat.

    PYTHONPATH=tests/e2e:bench /usr/bin/python3 bench/sidebyside.py --rounds 3 \\
        --a /tmp/before --b build -- bench/tray/run_hotkey_bench.py --bin {}/bin

Every `{}` in the command stands for the build's folder. A figure is a
number followed by "ms" or "wake-ups/s" on a line of the runner's output;
the text before it, with the screen size that the runner printed last,
names it. Figures only: nothing here passes or fails."""

import argparse
import re
import statistics
import subprocess
import sys
import time
from collections import defaultdict

FIGURE = re.compile(r"(?P<value>\d+(?:\.\d+)?)\s*(?P<unit>ms|wake-ups/s)")
SCREEN = re.compile(r"(\d+x\d+)")


def figures(output):
    """(name, unit, value) of each figure in a runner's output."""
    screen = heading = ""
    for line in output.splitlines():
        if line.startswith("==") or line.startswith("screen "):
            found = SCREEN.search(line)
            screen = found.group(1) if found else screen
            heading = ""
            continue
        # A heading of its own names the desktop the figures below it are of.
        if line.rstrip().endswith(":") and not line.startswith(" ") and not FIGURE.search(line):
            heading = line.split("(")[0].strip().rstrip(":")
            continue
        for m in FIGURE.finditer(line):
            # Only the first figure of a line (a median) unless the line
            # holds one figure per unit (the idle runner's).
            label = re.sub(r"\([^)]*\)|median( of \d+)?", "", line[:m.start()])
            label = " ".join(label.split()).rstrip(":, ")
            if SCREEN.match(label):
                name = label
            else:
                name = " ".join(part for part in (screen, heading, label) if part)
            yield name, m.group("unit"), float(m.group("value"))
            if m.group("unit") == "ms":
                break


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--a", required=True, help="the build before")
    ap.add_argument("--b", required=True, help="the build after")
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--pause", type=float, default=1.0,
                    help="seconds between two runs")
    ap.add_argument("command", nargs=argparse.REMAINDER)
    args = ap.parse_args()
    command = [c for c in args.command if c != "--"]
    values = defaultdict(lambda: defaultdict(list))
    order = []
    for r in range(args.rounds):
        for side, folder in (("a", args.a), ("b", args.b)):
            run = [sys.executable if c == "python3" else c.replace("{}", folder) for c in command]
            if run[0].endswith(".py"):
                run.insert(0, sys.executable)
            out = subprocess.run(run, capture_output=True, text=True)
            if out.returncode:
                print(out.stdout, out.stderr, file=sys.stderr)
                return out.returncode
            for name, unit, value in figures(out.stdout):
                key = (name, unit)
                if key not in order:
                    order.append(key)
                values[key][side].append(value)
            print(f"round {r + 1}, {side}: done", file=sys.stderr, flush=True)
            time.sleep(args.pause)
    width = max((len(n) for n, _ in order), default=10)
    print(f"{'figure':<{width}}  {'before':>9}  {'after':>9}  {'change':>8}  noise (a, b)")
    for key in order:
        name, unit = key
        a, b = values[key]["a"], values[key]["b"]
        if not a or not b:
            continue
        ma, mb = statistics.median(a), statistics.median(b)
        print(f"{name:<{width}}  {ma:9.1f}  {mb:9.1f}  {mb - ma:+8.1f}  "
              f"{max(a) - min(a):.1f}, {max(b) - min(b):.1f} {unit}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
