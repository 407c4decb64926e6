"""The X clipboard, read and filled through xclip."""

import subprocess

from drivers.session import wait_until


def clip_targets(xs):
    proc = subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"],
                          env=xs.env, capture_output=True, timeout=10)
    return proc.stdout.decode(errors="replace").split() if proc.returncode == 0 else []


def clip_read(xs, target):
    proc = subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", target],
                          env=xs.env, capture_output=True, timeout=20)
    return proc.stdout if proc.returncode == 0 else None


def clip_put(xs, data, target):
    # xclip serves the selection from a child that outlives this call.
    subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-i"], input=data,
                   env=xs.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=10, check=True)
    wait_until(lambda: clip_read(xs, target) == data, 10, "xclip to own the clipboard")
