"""Runs the benchmark of the editor's drawing at 1920x1080 and 3840x2160,
each on a private X server with a window manager.

    PYTHONPATH=tests/e2e:bench /usr/bin/python3 \\
        bench/editordraw/run_editordraw_bench.py --bench build/bench/editordraw
"""

import sys

import benchrun

if __name__ == "__main__":
    sys.exit(benchrun.main("bench_editordraw"))
