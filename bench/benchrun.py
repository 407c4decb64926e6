"""What the bench runners share. The runners import it, and the
end-to-end drivers (tests/e2e/drivers) to drive the programs as the tests
do, by name: scripts/bench.sh runs them with PYTHONPATH=tests/e2e:bench."""

import argparse
import os
import subprocess
import sys

from drivers.xsession import new_session

# A full HD monitor and a 4K one: where painting costs grow with the pixels.
SCREENS = [(1920, 1080), (3840, 2160)]


def run_binary(path, session, timeout=600):
    """Runs one bench binary on `session`'s display and prints its figures;
    returns its exit status, with what it said on stderr printed when that
    is not 0."""
    out = subprocess.run([path], env=session.env, capture_output=True, text=True,
                         timeout=timeout)
    print(out.stdout.strip(), flush=True)
    if out.returncode:
        print(out.stderr.strip(), file=sys.stderr)
    return out.returncode


def run_on_each_screen(path, screens=SCREENS, **session_options):
    """Runs a bench binary once on a private X server of each size (the
    root window showing the test pattern), each run under a heading;
    returns the first failing exit status, or 0."""
    for (w, h) in screens:
        with new_session(w, h, tray=False, **session_options) as s:
            print(f"== {w}x{h}", flush=True)
            status = run_binary(path, s)
            if status:
                return status
    return 0


def main(name, **session_options):
    """The whole of a runner that runs bench binary `name`, found in the
    folder --bench names, on each screen."""
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, help=f"folder of {name}")
    args = ap.parse_args()
    return run_on_each_screen(os.path.join(args.bench, name), **session_options)
