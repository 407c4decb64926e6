"""Runs bench_aids on private X servers at 1920x1080 and 3840x2160: where
the X server draws the view, and (ZUZ_SERVICES=toolkit) where zuz paints
it itself.

    PYTHONPATH=tests/e2e:bench /usr/bin/python3 \\
        bench/view/run_aids_bench.py --bench build/bench/view
"""

import argparse
import os
import sys

import benchrun
from drivers.xsession import new_session


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, help="folder of bench_aids")
    args = ap.parse_args()
    for (w, h) in benchrun.SCREENS:
        for services in (None, "toolkit"):
            env = {"ZUZ_SERVICES": services} if services else None
            with new_session(w, h, tray=False, env=env) as s:
                print(f"== {w}x{h}" + (f", ZUZ_SERVICES={services}" if services else ""),
                      flush=True)
                status = benchrun.run_binary(os.path.join(args.bench, "bench_aids"), s)
                if status:
                    return status
    return 0


if __name__ == "__main__":
    sys.exit(main())
