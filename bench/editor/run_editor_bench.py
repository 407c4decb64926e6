"""Runs the editor benchmark at 1920x1080 and 3840x2160, each on a private
X server with a window manager.

    /usr/bin/python3 bench/editor/run_editor_bench.py --bench build/bench/editor
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import benchrun  # noqa: E402

if __name__ == "__main__":
    sys.exit(benchrun.main("bench_editor"))
