"""SIGTERM, as a session sends it at logout, ends either program the
ordinary way while one of its windows is up: status 0 and its lock given
back, so the next start is not taken for a second instance. In the
sanitized build this is also the way out on which the leak check runs."""

import os
import signal
import sys

from test_region_pick import Zonara
from xsession import main, wait_until
from zuzdriver import Zuz, new_session


def ends_cleanly(s, proc, lock, what):
    assert os.path.exists(lock), f"{what}: no lock at {lock}"
    proc.send_signal(signal.SIGTERM)
    wait_until(lambda: proc.poll() is not None, 20, f"{what} to end on SIGTERM")
    assert proc.returncode == 0, f"{what} ended with status {proc.returncode}"
    assert not os.path.exists(lock), f"{what} left its lock behind"


def terminate_during_view_and_pick(args):
    with new_session(1024, 768) as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        zuz.view_window()
        ends_cleanly(s, zuz.proc, os.path.join(s.runtime, "zuz.lock"), "zuz showing its view")

        open(os.path.join(zuz.folder, "Vorlane.ini"), "w").close()
        zonara = Zonara(s, zuz.folder)
        zonara.click_control()
        ends_cleanly(s, zonara.proc, os.path.join(s.runtime, "Zonara.lock"),
                     "Zonara in its picker")


if __name__ == "__main__":
    sys.exit(main([terminate_during_view_and_pick]))
