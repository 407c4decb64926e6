"""Summarises a file written by run_wayland_bench.py --desktops --trace:
for each desktop and each measured action, the median time of every
step after the action, in ms (the programs' own stamps and the bench's
share the monotonic clock); then what the programs add to the portal's
wait, the whole time less the time from the request to the answer: from
the action, and from the moment the program has the key or the click.

usage: trace_steps.py FILE"""
import re
import statistics
import sys

STARTS = ("view asked", "pick clicked")
ENDS = {"view asked": "view mapped", "pick clicked": "picker mapped"}
RECEIVED = {"view asked": "key activated", "pick clicked": "pick begins"}


def main():
    events, desktop = [], None
    with open(sys.argv[1]) as f:
        for line in f:
            if line.startswith("#"):
                desktop = line.split()[1].split("-")[0]
                continue
            m = re.match(r"(?:zuz\.capture\.timing: |bench )(.*) ([\d.]+)$", line.strip())
            if m:
                events.append((desktop, float(m.group(2)), m.group(1)))
    # Output of the programs and of the bench may interleave out of order.
    events.sort()
    samples, current = {}, None
    for desktop, at, step in events:
        if step in STARTS:
            current = (at, {})
            samples.setdefault((desktop, step), []).append(current[1])
        elif current and step not in current[1]:
            current[1][step] = at - current[0]
    for (desktop, start), runs in samples.items():
        print(f"{desktop}, from {start}:")
        steps = {}
        for run in runs:
            for step, ms in run.items():
                steps.setdefault(step, []).append(ms)
        for step, ms in sorted(steps.items(), key=lambda s: statistics.median(s[1])):
            print(f"  {step:24s} {statistics.median(ms):8.1f} ms  (n={len(ms)})")
        added = [(run[ENDS[start]] - run["portal response"] + run["portal request sent"],
                  run.get(RECEIVED[start], 0.0)) for run in runs
                 if {ENDS[start], "portal response", "portal request sent"} <= run.keys()]
        for label, values in (("from the action", [a for a, _ in added]),
                              ("from the program's receipt", [a - r for a, r in added])):
            if values:
                print(f"  added to the portal's wait, {label}: median "
                      f"{statistics.median(values):.1f} ms (min {min(values):.1f}, "
                      f"max {max(values):.1f}, n={len(values)})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
