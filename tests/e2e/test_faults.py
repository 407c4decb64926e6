"""Both programs run by an ordinary user from a program folder that user
cannot write, with awkward things in it: an unreadable marker file, a
folder where a marker file would be, the sibling program not executable
or missing. Each program comes up, keeps running and loses nothing: the
tick of the tip dialog lands in the user's configuration folder."""

import os
import signal

from drivers.installrig import (MARKERS, ZONARA_END, ZONARA_FULL_SCREEN, User, no_tip_dialogs,
                                processes_running, shared_tmp, tick_tip_dialog, zonara_control,
                                zonara_menu)
from drivers.menus import choose
from drivers.session import stays, wait_until
from drivers.xsession import new_session, program_folder
from drivers.zuz import Zuz

ZUZ_MENU_ZONARA = 12  # "Zonara", twelve items down the view's menu


def test_awkward_folder_as_ordinary_user(args):
    base = shared_tmp("zuz-faults-")
    try:
        with new_session(1024, 768) as s:
            user = User(os.path.join(base, "user"))
            folder = program_folder(args.bin, base, ("zuz", "Zonara"))
            os.chmod(folder, 0o755)
            user.protect(folder)
            s.env = user.env(s)
            zuz_exe, zonara_exe = (os.path.join(folder, p) for p in ("zuz", "Zonara"))

            # zuz: its marker is there but unreadable, Zonara is not executable.
            marker = os.path.join(folder, MARKERS["zuz"])
            open(marker, "w").close()
            os.chmod(marker, 0)
            os.chmod(zonara_exe, 0o644)
            zuz = Zuz(s, None, with_marker=False, folder=folder)
            zuz.proc = s.spawn([zuz_exe], **user.popen_args())
            zuz.view_window()
            no_tip_dialogs(s)
            choose(s, 500, 400, ZUZ_MENU_ZONARA)
            stays(lambda: not processes_running(zonara_exe) and zuz.proc.poll() is None, 1.5,
                  "a Zonara that is not executable was started, or zuz ended")
            zuz.proc.send_signal(signal.SIGTERM)
            wait_until(lambda: zuz.proc.poll() is not None, 10, "zuz to end")
            assert zuz.proc.returncode == 0, zuz.proc.returncode
            assert not os.listdir(user.runtime), os.listdir(user.runtime)

            # Zonara: a folder stands where its marker would be, zuz is missing.
            os.mkdir(os.path.join(folder, MARKERS["Zonara"]))
            os.chmod(zonara_exe, 0o755)
            os.remove(zuz_exe)
            zonara = s.spawn([zonara_exe], **user.popen_args())
            zonara_control(s)
            config_marker = os.path.join(user.config, "Zonara", MARKERS["Zonara"])
            tick_tip_dialog(s, "Zonara", config_marker)
            zonara_menu(s, ZONARA_FULL_SCREEN)
            stays(lambda: not s.windows(cls="zuz") and zonara.poll() is None, 1.5,
                  "a missing zuz showed something, or Zonara ended")
            zonara_menu(s, ZONARA_END)
            wait_until(lambda: zonara.poll() is not None, 10, "Zonara to end")
            assert zonara.returncode == 0, zonara.returncode
            assert os.path.isfile(config_marker)
            assert not os.listdir(user.runtime), os.listdir(user.runtime)
    finally:
        import shutil
        shutil.rmtree(base, ignore_errors=True)
