"""What every desktop the tests start has in common: the programs it
started, a folder of its own, waiting on conditions with time-outs and an
end that leaves nothing behind."""

import os
import shutil
import subprocess
import tempfile
import time

# Where they are, the programs do not show their tip dialogs.
MARKERS = ("Vivoduzivi.ini", "Vorlane.ini")


class Timeout(AssertionError):
    pass


def wait_until(predicate, timeout=10.0, what="condition", interval=0.05):
    """Polls until predicate() returns a true value, which it returns."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)


def settle(get, ok, what, timeout=10, interval=0.05):
    """Waits until ok(get()) and returns that value; a time-out names the
    last value seen, which it also carries as `last`."""
    last = [None]

    def test():
        last[0] = get()
        return ok(last[0])
    try:
        wait_until(test, timeout, what, interval)
    except Timeout as e:
        error = Timeout(f"{e}; last seen: {last[0]}")
        error.last = last[0]
        raise error from None
    return last[0]


def stays(predicate, seconds, what):
    """Fails as soon as predicate() turns false within the given time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        assert predicate(), what
        time.sleep(0.05)


def copy_programs(bin_dir, folder, names, markers=()):
    """Copies of the built programs (those there are) and the given
    markers in folder, which it returns. Where a program is a launcher, the
    program proper beside it goes too."""
    os.makedirs(folder, exist_ok=True)
    for name in names:
        if os.path.exists(os.path.join(bin_dir, name)):
            shutil.copy2(os.path.join(bin_dir, name), folder)
        module = os.path.join(bin_dir, name + "-program.so")
        if os.path.exists(module):
            shutil.copy2(module, folder)
    for marker in markers:
        with open(os.path.join(folder, marker), "wb") as f:
            f.write(b"\r\n")
    return folder


def proc_status(pid, field):
    """The first number of a field of /proc/<pid>/status (VmRSS, VmHWM in
    kB, Uid), or None."""
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return None


def end_processes(procs):
    """Asks each to end, then waits; one that does not is killed."""
    for proc in reversed(procs):
        if proc.poll() is None:
            proc.terminate()
    for proc in reversed(procs):
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class Session:
    """A desktop the tests start and end: `procs` are the programs started
    in it, ended by close(); `tmp` is its own folder, removed then. Each
    kind of desktop says how programs are started (spawn) and how its
    screen is read (screenshot)."""

    def __init__(self, prefix=None):
        self.procs = []
        self.tmp = tempfile.mkdtemp(prefix=prefix) if prefix else None

    def started(self, proc):
        self.procs.append(proc)
        return proc

    def spawn(self, argv, **kw):
        return self.started(subprocess.Popen(argv, **kw))

    def screenshot(self):
        raise NotImplementedError

    def close(self):
        end_processes(self.procs)
        self.remove_folder()

    def remove_folder(self):
        if self.tmp:
            shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
