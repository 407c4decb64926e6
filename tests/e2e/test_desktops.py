"""Both programs on the desktops most users have: a headless GNOME Shell 43
and a KWin 5.27 session, each with its real Screenshot portal. On each: the
first view is the middle of the screen twice, pixel for pixel; Esc ends
it; `zuz --view` brings the next; Zonara's pick reaches the clipboard
exactly; the editor opens over a view, and a stroke drawn there copies at
full size and undoes by Ctrl+Z; zuz on the desktop's X server
(Xwayland) shows the same exact view. On GNOME zuz's icon registers with
the AppIndicator extension and the magnified region follows a drag; on
KDE Ctrl+Z through the desktop's own shortcut service brings a view.
Without a tray or a key, a second start of zuz brings a
view. The steps themselves are in desktopsteps.py, run inside the
session with the drivers beside them.

The sessions come from the desktops folder of the shared test material:
$ZUZ_DESKTOPS_DIR, else beside this checkout or the repository it was
cloned from; where there is none, the tests are skipped. The sanitized
build leaves them out (tests/e2e/CMakeLists.txt)."""

import os
import shutil
import subprocess
import sys
import tempfile

import pytest

from drivers.desktoprig import desktops_folder, stage
from drivers.wlsession import USER

HERE = os.path.dirname(os.path.abspath(__file__))


def why_not(script):
    if os.environ.get("ASAN_OPTIONS"):
        return "the sanitized build (the desktops run in the ordinary one)"
    if os.geteuid() != 0:
        return "the sessions run as the test account, which needs root"
    folder = desktops_folder()
    if not folder:
        where = (os.environ.get("ZUZ_DESKTOPS_DIR")
                 or "shared/desktops beside the checkout or its origin")
        return f"no desktop sessions' rig in {where}"
    if script == "gnome-session.sh" and not os.path.isdir(
            "/usr/share/gnome-shell/extensions/ubuntu-appindicators@ubuntu.com"):
        return "gnome-shell-extension-appindicator is not installed"
    need = {"gnome-session.sh": ("gnome-shell", "wl-paste"),
            "kde-session.sh": ("kwin_wayland", "wl-paste")}[script]
    for tool in need:
        if not shutil.which(tool):
            return f"{tool} is not installed"
    return None


def run_steps(args, script, scenario, options=()):
    why = why_not(script)
    if why:
        pytest.skip(why)
    folder = desktops_folder()
    tmp = tempfile.mkdtemp(prefix="zuz-desk-")
    try:
        bin_dir = os.path.join(tmp, "bin")
        run_dir = stage(tmp, args.bin, bin_dir, [os.path.join(HERE, "desktopsteps.py")])
        proc = subprocess.run(
            [os.path.join(folder, script), "-u", USER, "-s", "1024x768", "-t", "60",
             *options, "--", sys.executable, os.path.join(tmp, "desktopsteps.py"), bin_dir,
             scenario],
            env=dict(os.environ, RIG_TMP=run_dir), cwd=tmp, capture_output=True, text=True,
            timeout=240)
        print(proc.stdout, end="")
        if proc.returncode != 0:
            raise AssertionError(f"{scenario} on {script}: status {proc.returncode}\n"
                                 f"{proc.stderr[-6000:]}")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def test_gnome(args):
    run_steps(args, "gnome-session.sh", "gnome", ["--appindicator"])


def test_kde(args):
    run_steps(args, "kde-session.sh", "kde")


def test_gnome_second_start_brings_a_view(args):
    # GNOME without the AppIndicator extension: zuz has neither a tray
    # icon nor a global key there, so starting it again is the way back.
    run_steps(args, "gnome-session.sh", "second_start")
