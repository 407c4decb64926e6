"""Runs bench_region on private X servers at 1920x1080 and 3840x2160, with
no window manager.

    PYTHONPATH=tests/e2e:bench /usr/bin/python3 \\
        bench/region/run_region_bench.py --bench build/bench/region
"""

import sys

import benchrun

if __name__ == "__main__":
    sys.exit(benchrun.main("bench_region", wm=False))
