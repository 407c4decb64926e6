"""Runs bench_region on private X servers at 1920x1080 and 3840x2160.

    /usr/bin/python3 bench/region/run_region_bench.py --bench build/bench/region
"""

import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "e2e"))
from drivers.xsession import new_session  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, help="folder of bench_region")
    args = ap.parse_args()
    for (w, h) in [(1920, 1080), (3840, 2160)]:
        with new_session(w, h, wm=False, tray=False) as xs:
            out = subprocess.run([os.path.join(args.bench, "bench_region")], env=xs.env,
                                 capture_output=True, text=True, timeout=600)
            print(out.stdout, end="")
            if out.returncode != 0:
                print(out.stderr, file=sys.stderr)
                return out.returncode
    return 0


if __name__ == "__main__":
    sys.exit(main())
