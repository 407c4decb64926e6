"""checked.py fails a test on every kind of sanitizer report and on an
abort, from a process whose output nobody reads, from one the test left
running, and from one that ended by SIGTERM; and passes a clean one."""

import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# The test script's part: start the faulty program with its output thrown
# away, as the end-to-end tests start the real ones, and end well.
SYNC = ("import subprocess, sys; "
        "subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)")
# ... or leave it running, once it is past the point where SIGTERM would
# simply kill it.
DETACHED = ("import subprocess, sys; "
            "p = subprocess.Popen(sys.argv[1:], stdout=subprocess.PIPE, "
            "stderr=subprocess.DEVNULL); "
            "assert p.stdout.readline() == b'ready\\n'")


def checked(args, script, mode):
    keep = os.path.join(args.work, mode)
    proc = subprocess.run(
        [sys.executable, os.path.join(HERE, "checked.py"),
         "--suppressions", os.path.join(HERE, "lsan.supp"), "--keep", keep, "--",
         sys.executable, "-c", script, args.faulty, mode],
        capture_output=True, text=True, timeout=120)
    return proc.returncode, proc.stdout + proc.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--faulty", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    failures = []
    status, out = checked(args, SYNC, "clean")
    if status != 0 or "sanitizer report" in out:
        failures.append(f"a clean run failed ({status}):\n{out}")

    for script, mode, what in [
            (SYNC, "leak", "ERROR: LeakSanitizer: detected memory leaks"),
            (SYNC, "use-after-free", "ERROR: AddressSanitizer: heap-use-after-free"),
            (SYNC, "overflow", "UndefinedBehaviorSanitizer: undefined-behavior"),
            (SYNC, "float-to-int", "UndefinedBehaviorSanitizer: undefined-behavior"),
            (SYNC, "abort", "ERROR: AddressSanitizer: ABRT"),
            (DETACHED, "leak-then-term", "ERROR: LeakSanitizer: detected memory leaks")]:
        status, out = checked(args, script, mode)
        if status == 0 or what not in out or "faulty.cpp" not in out:
            failures.append(f"{mode}: status {status}, want a failure naming "
                            f"'{what}' in faulty.cpp:\n{out}")
        else:
            print(f"PASS {mode}")

    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
