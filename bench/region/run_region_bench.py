"""Runs bench_region on private X servers at 1920x1080 and 3840x2160.

    /usr/bin/python3 bench/region/run_region_bench.py --bench build/bench/region
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import benchrun  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, help="folder of bench_region")
    args = ap.parse_args()
    return benchrun.run_on_each_screen(os.path.join(args.bench, "bench_region"), wm=False)


if __name__ == "__main__":
    sys.exit(main())
