"""The capture program's processes, found by what they run: a test or a
bench sees whether one waits in the background for zuz and Zonara, or was
started on its own for one pick."""

import os


def capture_pids(folder, waiting=None):
    """The pids of the capture program in the program folder `folder`; only
    those that wait in the background (True) or only those started on
    their own (False)."""
    exe = os.path.realpath(os.path.join(folder, "Derudovudi"))
    pids = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink(f"/proc/{pid}/exe") != exe:
                continue
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                is_waiting = b"--wait" in f.read().split(b"\0")
        except OSError:
            continue
        if waiting is None or waiting == is_waiting:
            pids.append(int(pid))
    return pids
