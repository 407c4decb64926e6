"""A screen reader's view of an XSession: the accessibility bus of
at-spi2-core started on the session's own D-Bus, and the programs' trees
read over it (a11yreader.py, run anew for each reading)."""

import json
import os
import subprocess
import sys

from drivers.session import settle

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
READER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "a11yreader.py")


def why_no_reader():
    """Why a screen reader cannot be had here, or None."""
    if not os.access(BUS_LAUNCHER, os.X_OK):
        return f"no accessibility bus: {BUS_LAUNCHER} (at-spi2-core) is not installed"
    probe = subprocess.run([sys.executable, "-c",
                            "import gi; gi.require_version('Atspi', '2.0')"],
                           capture_output=True)
    if probe.returncode != 0:
        return "no AT-SPI client: gir1.2-atspi-2.0 or python3-gi is not installed"
    return None


def start_reader_bus(s):
    """The session's bus and its accessibility bus, for programs started
    after this; the settings the bus launcher reads live in memory, so
    nothing the session does reaches the user's. Returns None, or why the
    bus did not come up."""
    s._start_bus()
    s.env["GSETTINGS_BACKEND"] = "memory"
    # Qt exposes its tree where the desktop's switch is off as well.
    s.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    s.spawn([BUS_LAUNCHER, "--launch-immediately", "--a11y=1", "--screen-reader=1"])
    try:
        settle(lambda: _reader(s, "tree"), lambda r: r.returncode == 0, "the accessibility bus", 15,
               0.3)
    except AssertionError as e:
        return f"the accessibility bus did not answer: {e}"
    return None


def tree(s):
    """Every application's tree on the bus."""
    r = _reader(s, "tree")
    assert r.returncode == 0, r.stderr
    return json.loads(r.stdout)


def press(s, app, name):
    """A reader's press on app's push button called name."""
    r = _reader(s, "press", app, name)
    assert r.stdout.strip() == "pressed", f"no push button {name!r} in {app}: {r.stderr}"


def _reader(s, *argv):
    return subprocess.run([sys.executable, READER, *argv], capture_output=True, text=True,
                          timeout=30, env=s.env)
