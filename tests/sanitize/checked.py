"""Runs one test of the sanitized build and fails it on any sanitizer
report, whichever process wrote it.

The end-to-end tests start the programs with their output thrown away,
and a program may outlive the script that started it, so the reports go
to files in a folder of this run's own, and every process the test leaves
behind is adopted, ended and waited for before the folder is read.

    checked.py --suppressions lsan.supp --keep <folder> -- command args..."""

import argparse
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

PR_SET_CHILD_SUBREAPER = 36
REPORT = "report"  # the sanitizers write report.<pid>
LINGER = 10.0  # seconds a program left running gets to end by itself
GRACE = 10.0  # seconds between SIGTERM and SIGKILL; the leak check runs at exit


def options(folder, suppressions):
    log = os.path.join(folder, REPORT)
    # halt_on_error: the first fault ends the process, so a later one
    # cannot hide it; detect_leaks: LeakSanitizer at every ordinary exit;
    # handle_abort: an abort (a fatal message of Qt's, a failed assertion,
    # an uncaught exception) is reported with its stack like a crash.
    # UndefinedBehaviorSanitizer writes its message to the program's own
    # stderr and only its summary line, with the source line, to the log:
    # run the program by hand to see the whole message.
    common = f"log_path={log}:halt_on_error=1:print_summary=1"
    ours = {
        "ASAN_OPTIONS": f"{common}:detect_leaks=1:abort_on_error=0:handle_abort=1:"
                        "check_initialization_order=1",
        "UBSAN_OPTIONS": f"{common}:print_stacktrace=1",
        "LSAN_OPTIONS": f"suppressions={suppressions}:print_suppressions=0",
    }
    # Options given to the run come last and so win, e.g.
    # ASAN_OPTIONS=detect_stack_use_after_return=1 ctest ...
    return {name: ":".join(filter(None, (value, os.environ.get(name))))
            for name, value in ours.items()}


def children():
    """The live (not yet reaped) children of this process, adopted ones
    included."""
    me = str(os.getpid())
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if fields[1] == me:
            found.append((int(pid), fields[0]))
    return found


def reap():
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read().replace(b"\0", b" ").decode(errors="replace").strip()
    except OSError:
        return "?"


def settle(timeout):
    """Reaps children until none is left or the time is up; returns the
    pids still alive."""
    deadline = time.monotonic() + timeout
    while True:
        reap()
        alive = [pid for pid, state in children() if state != "Z"]
        if not alive or time.monotonic() > deadline:
            return alive
        time.sleep(0.05)


def end_leftovers():
    alive = settle(LINGER)
    for pid in alive:
        print(f"checked.py: ending what the test left running: {pid} {command_line(pid)}")
        os.kill(pid, signal.SIGTERM)
    alive = settle(GRACE)
    for pid in alive:
        print(f"checked.py: killing {pid} {command_line(pid)}, which ignored SIGTERM "
              "(its leaks go unchecked)")
        os.kill(pid, signal.SIGKILL)
    settle(5)


def reports(folder):
    return sorted(os.path.join(folder, name) for name in os.listdir(folder)
                  if name.startswith(REPORT))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--suppressions", required=True)
    parser.add_argument("--keep", required=True,
                        help="folder that receives the reports of a failed run")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command")

    # Reports of an earlier run must not be taken for this one's.
    shutil.rmtree(args.keep, ignore_errors=True)
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
    # Under /tmp and open to all: the install tests run the programs as
    # another user, who must be able to write a report too.
    folder = tempfile.mkdtemp(prefix="sanitizer-")
    os.chmod(folder, 0o1777)
    env = dict(os.environ, **options(folder, os.path.abspath(args.suppressions)))
    try:
        proc = subprocess.Popen(command, env=env)
        try:
            status = proc.wait()
        except KeyboardInterrupt:
            proc.send_signal(signal.SIGINT)
            status = proc.wait()
        end_leftovers()

        found = reports(folder)
        if found:
            shutil.copytree(folder, args.keep)
            for path in found:
                print(f"\n===== sanitizer report {os.path.basename(path)} "
                      f"(kept in {args.keep}) =====")
                with open(path, errors="replace") as f:
                    text = f.read()
                print(text if len(text) < 20000 else text[:20000] + "\n[...]")
            print(f"checked.py: {len(found)} sanitizer report(s)")
            return status or 1
        return status
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
