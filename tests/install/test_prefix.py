"""cmake --install into a fresh prefix, checked as a desktop and a user
meet it: the files and launchers, the entries, icons and metadata pass
their validators; then, run by a user who cannot write the program folder,
Zonara's "全屏放大" starts the installed zuz, both tip dialogs' check
boxes leave their markers in the user's configuration folder, and the
next start shows neither dialog. Installing again over programs that run
leaves them the files they have mapped."""

import mmap
import os

import pytest

from drivers.installrig import (IDS, module_folder, MARKERS, MODULES, PROGRAM_DIR, PROGRAMS, ZONARA_END,
                                ZONARA_FULL_SCREEN, Installed, User, check_tree, desktop_entry,
                                no_tip_dialogs, process_uid, processes_running, run,
                                tick_tip_dialog, wm_class, zonara_control, zonara_menu)
from drivers.session import wait_until
from drivers.xsession import XSession

BUILD = None
TMP = None  # holds the prefix and the user's home


@pytest.fixture(scope="module", autouse=True)
def work(args):
    global BUILD, TMP
    with module_folder(args, "zuz-install-") as (BUILD, TMP):
        yield


def prefix():
    """The build installed once into a temporary prefix."""
    path = os.path.join(TMP, "prefix")
    if not os.path.isdir(path):
        run(["cmake", "--install", BUILD, "--prefix", path])
    return path


def test_installed_tree_is_complete_and_valid(args):
    check_tree(prefix())


def test_reinstalling_keeps_running_programs_whole(args):
    # Mapped as the loader maps them; the install sees older files to replace.
    programs = os.path.join(prefix(), PROGRAM_DIR)
    held = []
    try:
        for name in PROGRAMS + MODULES:
            path = os.path.join(programs, name)
            with open(path, "rb") as f:
                mapped = mmap.mmap(f.fileno(), 0, prot=mmap.PROT_READ)
            held.append((path, os.stat(path).st_ino, mapped, bytes(mapped)))
            os.utime(path, (1, 1))
        run(["cmake", "--install", BUILD, "--prefix", prefix()])
        for path, inode, mapped, before in held:
            assert os.stat(path).st_mtime > 1, f"{path} was not installed again"
            assert os.stat(path).st_ino != inode, f"{path} was rewritten in place"
            assert mapped[:] == before, f"the running copy of {path} changed"
    finally:
        for _, _, mapped, _ in held:
            mapped.close()


def test_zonara_starts_installed_zuz_and_ticks_stick(args):
    top = prefix()
    programs = os.path.join(top, PROGRAM_DIR)
    with XSession() as s:
        user = User(os.path.join(TMP, "user"))
        user.protect(programs)
        s.env = user.env(s)
        as_user = user.popen_args()
        markers = {p: os.path.join(user.config, p, MARKERS[p]) for p in MARKERS}
        # Docks match windows to menu entries by this class.
        wm_classes = {p: desktop_entry(os.path.join(top, "share", "applications",
                                                    cid + ".desktop"))["StartupWMClass"]
                      for p, cid in IDS.items()}
        started = []
        try:
            zonara = s.spawn([os.path.join(top, "bin", "Zonara")], **as_user)
            assert wm_classes["Zonara"] in wm_class(s, zonara_control(s))
            tick_tip_dialog(s, "Zonara", markers["Zonara"])

            zonara_menu(s, ZONARA_FULL_SCREEN)
            exe = os.path.join(programs, "zuz")
            pid = wait_until(lambda: processes_running(exe), 15, "the installed zuz")[0]
            started.append(pid)
            assert process_uid(pid) == user.uid
            zuz = Installed(s, os.path.join(top, "bin", "zuz"), as_user)
            view = zuz.view_window()
            assert wm_classes["zuz"] in wm_class(s, view), wm_class(s, view)
            tick_tip_dialog(s, "zuz", markers["zuz"])
            for name in MARKERS.values():
                assert not os.path.exists(os.path.join(programs, name)), name

            zuz.quit()
            wait_until(lambda: not processes_running(exe), 10, "zuz to end")
            zonara_menu(s, ZONARA_END)
            wait_until(lambda: zonara.poll() is not None, 10, "Zonara to end")
            assert zonara.returncode == 0, zonara.returncode

            # The next start, through the launchers: no dialog from either.
            zuz.start()
            view = zuz.view_window()
            wait_until(lambda: "_NET_WM_STATE_ABOVE" in s.net_wm_state(view), 10,
                       "a topmost view")
            s.spawn([os.path.join(top, "bin", "Zonara")], **as_user)
            zonara_control(s)
            no_tip_dialogs(s)
        finally:
            for pid in started:
                try:
                    os.kill(pid, 15)
                except ProcessLookupError:
                    pass
