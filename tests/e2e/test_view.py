"""zuz on a real X desktop: the start-up view at two screen sizes, the
second instance and a start after a killed one. Dragging, the menu's
sizes and the ways of ending a view are part of the first-day journey
(test_journey_zuz.py)."""

import signal
import sys

from xsession import main, wait_until
from zuzdriver import Zuz, expect_mapping, new_session, sample_points


def middle_twice(w, h):
    return lambda x, y: (w / 4 + x / 2, h / 4 + y / 2)


def startup_shows_the_middle_twice(args):
    for (w, h) in [(1024, 768), (1920, 1080)]:
        with new_session(w, h) as s:
            zuz = Zuz(s, args.bin)
            zuz.start()
            wid = zuz.view_window()
            assert "_NET_WM_STATE_ABOVE" in s.net_wm_state(wid), s.net_wm_state(wid)
            expect_mapping(s, middle_twice(w, h), sample_points(w, h), f"2x middle at {w}x{h}")


def second_instance_and_killed_instance(args):
    w, h = 1024, 768
    with new_session(w, h) as s:
        first = Zuz(s, args.bin)
        first.start()
        first.view_window()

        proc2 = s.spawn([first.proc.args[0]])
        box = wait_until(lambda: s.windows(name="zuz 提示"), 10, "the hint message box")
        assert proc2.poll() is None, "the second start ended before its message was closed"
        s.xdotool("windowactivate", "--sync", box[0], "key", "Return")
        wait_until(lambda: proc2.poll() is not None, 10, "the second start to end")
        assert proc2.returncode == 0, proc2.returncode
        assert first.proc.poll() is None, "the first instance was disturbed"

        first.proc.send_signal(signal.SIGKILL)
        first.proc.wait(10)
        wait_until(lambda: not s.windows(cls="zuz"), 10, "the killed view to vanish")
        third = s.spawn([first.proc.args[0]])
        first.view_window()
        expect_mapping(s, middle_twice(w, h), sample_points(w, h), "a view after the kill")
        assert third.poll() is None
        assert not s.windows(name="zuz 提示"), "a stale lock blocked the new start"


if __name__ == "__main__":
    sys.exit(main([startup_shows_the_middle_twice, second_instance_and_killed_instance]))
