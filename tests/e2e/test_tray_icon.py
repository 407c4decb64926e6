"""zuz in the notification area of a real tray host (trayer): the icon is
embedded and alternates its two frames every second. That a right-button
press on it brings a topmost view, left clicks nothing, and "退出！！！"
takes it away at once is part of the first-day journey
(test_journey_zuz.py)."""

import time

from drivers.tray import tray_icon
from drivers.xsession import new_session
from drivers.zuz import waiting_zuz


def test_icon_alternates_every_second(args):
    w, h = 800, 600
    with new_session(w, h) as s:
        zuz = waiting_zuz(s, args.bin)
        wid, box = tray_icon(s)
        # Watch the icon for a bit over three seconds.
        shots, changes = [], []
        last = s.screenshot(box).tobytes()
        shots.append(last)
        start = time.monotonic()
        while time.monotonic() - start < 3.3:
            now = s.screenshot(box).tobytes()
            if now != last:
                changes.append(time.monotonic())
                shots.append(now)
                last = now
            time.sleep(0.02)
        assert len(changes) >= 2, f"the icon changed {len(changes)} times in 3.3 s"
        assert len(set(shots)) == 2, f"{len(set(shots))} different icon pictures"
        for a, b in zip(changes, changes[1:]):
            assert 0.7 < b - a < 1.3, f"frames {b - a:.2f}s apart"
        # Two screenshots a second apart differ.
        first = s.screenshot(box).tobytes()
        time.sleep(1.0)
        assert s.screenshot(box).tobytes() != first, "the icon did not change in a second"
        assert zuz.proc.poll() is None
