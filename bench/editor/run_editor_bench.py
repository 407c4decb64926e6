"""Runs the editor benchmark at 1920x1080 and 3840x2160, each on a private
X server with a window manager."""

import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "e2e"))
from drivers.xsession import new_session  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, help="folder of bench_editor")
    args = ap.parse_args()
    for (w, h) in [(1920, 1080), (3840, 2160)]:
        with new_session(w, h, tray=False) as s:
            print(f"== {w}x{h}")
            out = subprocess.run([os.path.join(args.bench, "bench_editor")], env=s.env,
                                 capture_output=True, text=True, timeout=600)
            print(out.stdout.strip())
            if out.returncode:
                print(out.stderr.strip())
                return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
