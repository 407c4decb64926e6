"""SIGTERM, as a session sends it at logout, ends either program the
ordinary way while one of its windows is up: status 0 and its lock given
back, so the next start is not taken for a second instance. In the
sanitized build this is also the way out on which the leak check runs.
An X server that goes away under a view or a region window ends the
program too, and neither way leaves a lock, a tray icon or a
shared-memory segment behind. So does SIGTERM while a start still waits
for its first picture, from a portal that never answers."""

import json
import os
import signal

from drivers.longuse import shm_segments
from drivers.session import wait_until
from drivers.tray import icon_gone, tray_icon
from drivers.xsession import XSession, new_session, program_folder
from drivers.zonara import Zonara
from drivers.zuz import Zuz, zuz_with_view


def ends_cleanly(s, proc, lock, what, end=None, status=0, within=20):
    if end is None:
        assert os.path.exists(lock), f"{what}: no lock at {lock}"
    pid = proc.pid
    (end or (lambda: proc.send_signal(signal.SIGTERM)))()
    wait_until(lambda: proc.poll() is not None, within, f"{what} to end")
    if status is not None:
        assert proc.returncode == status, f"{what} ended with status {proc.returncode}"
    assert not os.path.exists(lock), f"{what} left its lock behind"
    # The X server lets go of a segment when it notices its client gone.
    wait_until(lambda: not shm_segments(pid), 10,
               f"{what} to leave no shared-memory segment ({shm_segments(pid)})")


def region_window(s, zonara):
    zonara.click_control()
    zonara.drag((100, 100), (300, 250))
    return wait_until(lambda: [w for w, g in zonara.region_windows() if g[2] > 300],
                      10, "the magnified-region window")


def test_terminate_during_view_and_pick(args):
    with new_session(1024, 768) as s:
        zuz = zuz_with_view(s, args.bin)
        tray_icon(s)
        ends_cleanly(s, zuz.proc, s.instance_file("zuz", ".lock"), "zuz showing its view")
        icon_gone(s)

        open(os.path.join(zuz.folder, "Vorlane.ini"), "w").close()
        zonara = Zonara(s, zuz.folder)
        zonara.click_control()
        ends_cleanly(s, zonara.proc, s.instance_file("Zonara", ".lock"),
                     "Zonara in its picker")

        zonara = Zonara(s, zuz.folder)
        region_window(s, zonara)
        ends_cleanly(s, zonara.proc, s.instance_file("Zonara", ".lock"),
                     "Zonara showing a region")


def screenshots_asked(record):
    try:
        with open(record) as f:
            return [e for e in map(json.loads, filter(str.strip, f)) if "screenshot" in e]
    except OSError:
        return []


def test_terminate_while_the_first_picture_is_awaited(args):
    # The portal would keep each start waiting 20 s, in a loop of the
    # start's own, before its event loop ever runs.
    with XSession(640, 480, tray=False, env={"WAYLAND_DISPLAY": "wayland-elsewhere"}) as s:
        s._start_bus()
        record = os.path.join(s.tmp, "portal")
        portal = os.path.join(os.path.dirname(__file__), "drivers", "fakeportal.py")
        s.spawn(["/usr/bin/python3", portal, os.devnull, record, "silent"])
        wait_until(lambda: os.path.exists(record + ".ready"), 10, "the portal")
        folder = program_folder(args.bin, s.tmp, ("zuz", "Derudovudi"))
        for name, argv in (("zuz", []), ("Derudovudi", [])):
            asked = len(screenshots_asked(record))
            proc = s.spawn([os.path.join(folder, name)] + argv)
            wait_until(lambda: len(screenshots_asked(record)) > asked, 10,
                       f"{name} to ask the portal for its first picture")
            ends_cleanly(s, proc, s.instance_file(name, ".lock"),
                         f"{name} waiting for its first picture", within=5)


def test_x_server_goes_away(args):
    # A lost display is a failure of its own: the status is the toolkit's,
    # but the program must still end and leave nothing behind.
    with new_session(1024, 768) as s:
        # The toolkit ends a program that lost its display with exit(),
        # past every destructor, so what its windows hold is never freed
        # there: the leak check would report the whole program. Memory
        # errors and undefined behaviour are still reported.
        if "ASAN_OPTIONS" in s.env:
            s.env["ASAN_OPTIONS"] += ":detect_leaks=0"
        zuz = Zuz(s, args.bin)
        open(os.path.join(zuz.folder, "Vorlane.ini"), "w").close()
        zonara = Zonara(s, zuz.folder)
        region_window(s, zonara)
        zuz.start()
        zuz.view_window()
        locks = [s.instance_file(name, ".lock") for name in ("zuz", "Zonara")]
        assert all(map(os.path.exists, locks)), locks
        server = s.procs[0]
        server.kill()
        server.wait(10)
        ends_cleanly(s, zuz.proc, locks[0],
                     "zuz when its X server went away", end=lambda: None, status=None)
        ends_cleanly(s, zonara.proc, locks[1],
                     "Zonara when its X server went away", end=lambda: None, status=None)
