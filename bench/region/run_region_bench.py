"""Runs bench_region on private X servers at 1920x1080 and 3840x2160, with
no window manager.

    /usr/bin/python3 bench/region/run_region_bench.py --bench build/bench/region
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import benchrun  # noqa: E402

if __name__ == "__main__":
    sys.exit(benchrun.main("bench_region", wm=False))
