"""The host side of the GNOME Shell and KWin sessions: where the shared
rig that starts them lies, and the folder their steps run from."""

import os
import shutil
import subprocess

from drivers.session import MARKERS, copy_programs

DRIVERS = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(os.path.dirname(DRIVERS)))


def desktops_folder():
    """The desktops folder of the shared test material: $ZUZ_DESKTOPS_DIR
    where set, else beside this checkout or beside the repository it was
    cloned from; None if there is none."""
    if os.environ.get("ZUZ_DESKTOPS_DIR"):
        folder = os.environ["ZUZ_DESKTOPS_DIR"]
        return os.path.realpath(folder) if os.path.exists(
            os.path.join(folder, "gnome-session.sh")) else None
    candidates = [os.path.join(TOP, "..", "shared", "desktops")]
    origin = subprocess.run(["git", "-C", TOP, "config", "--get", "remote.origin.url"],
                            capture_output=True, text=True).stdout.strip()
    if os.path.isdir(origin):
        candidates.append(os.path.join(origin, "..", "shared", "desktops"))
    for folder in candidates:
        if os.path.exists(os.path.join(folder, "gnome-session.sh")):
            return os.path.realpath(folder)
    return None


def stage(tmp, bin_dir, programs, scripts):
    """Fills tmp for steps run as the session's user: zuz and Zonara with
    their markers in the folder `programs`, the scripts with the drivers
    beside them, and a run folder anyone may write, which it returns."""
    os.chmod(tmp, 0o755)
    copy_programs(bin_dir, programs, ("zuz", "Zonara"), MARKERS)
    for script in scripts:
        shutil.copy(script, tmp)
    shutil.copytree(DRIVERS, os.path.join(tmp, "drivers"),
                    ignore=shutil.ignore_patterns("__pycache__"))
    run = os.path.join(tmp, "run")
    os.makedirs(run)
    os.chmod(run, 0o1777)
    # KWin and Mutter start Xwayland only where the sockets' folder is the
    # shared, sticky one it should be: on a fresh machine there is none,
    # and another X server run as the test account may have made it its own.
    sockets = "/tmp/.X11-unix"
    os.makedirs(sockets, exist_ok=True)
    if os.stat(sockets).st_mode & 0o7777 != 0o1777:
        os.chown(sockets, 0, 0)
        os.chmod(sockets, 0o1777)
    return run
