"""zuz on a real X desktop: the start-up view at two screen sizes, the
wheel, the second instance and a start after a killed one, one instance on
each of two displays of one user, and ZUZ_SERVICES=x11 on an X11 session
whose environment still names a Wayland display. Dragging, the menu's
sizes and the ways of ending a view are part of the first-day journey
(test_journey_zuz.py)."""

import os
import signal

from drivers.pictures import (coded_pattern, decode, expect_mapping, middle_twice_source,
                              sample_points)
from drivers.session import wait_until
from drivers.xsession import new_session
from drivers.zuz import Zuz, expect_no_view, views, waiting_zuz, zuz_with_view


def test_startup_shows_the_middle_twice(args):
    for (w, h) in [(1024, 768), (1920, 1080)]:
        with new_session(w, h) as s:
            zuz = Zuz(s, args.bin)
            zuz.start()
            wid = zuz.view_window()
            assert "_NET_WM_STATE_ABOVE" in s.net_wm_state(wid), s.net_wm_state(wid)
            expect_mapping(s, middle_twice_source(w, h), sample_points(w, h),
                           f"2x middle at {w}x{h}")


def test_x11_named_over_a_stale_wayland_display(args):
    # The X server's own ways serve throughout: the picture is the X
    # server's (no portal runs here), and the view covers the screen as an
    # X11 window, not as a full-screen one of a Wayland desktop's X server.
    w, h = 1024, 768
    env = {"WAYLAND_DISPLAY": "wayland-elsewhere", "ZUZ_SERVICES": "x11"}
    with new_session(w, h, env=env) as s:
        zuz = Zuz(s, args.bin)
        zuz.start()
        wid = zuz.view_window()
        wait_until(lambda: "_NET_WM_STATE_ABOVE" in s.net_wm_state(wid), 10, "a topmost view")
        assert "_NET_WM_STATE_FULLSCREEN" not in s.net_wm_state(wid), s.net_wm_state(wid)
        expect_mapping(s, middle_twice_source(w, h), sample_points(w, h), "the X server's picture")


def test_second_instance_and_killed_instance(args):
    w, h = 1024, 768
    with new_session(w, h) as s:
        first = zuz_with_view(s, args.bin)

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
        expect_mapping(s, middle_twice_source(w, h), sample_points(w, h), "a view after the kill")
        assert third.poll() is None
        assert not s.windows(name="zuz 提示"), "a stale lock blocked the new start"


def test_each_display_has_its_own_instance(args):
    # Two sessions of one user (a remote desktop beside the local one)
    # share the runtime folder: zuz runs on both, and a later start on
    # either display brings its view there, not on the other.
    with new_session(1024, 768) as near, new_session(800, 600) as far:
        far.env["XDG_RUNTIME_DIR"] = near.runtime
        on_near = waiting_zuz(near, args.bin)
        on_far = waiting_zuz(far, args.bin)
        assert not far.windows(name="zuz 提示"), "the second display's zuz was refused"
        later = far.spawn([os.path.join(on_far.folder, "zuz"), "--view"])
        on_far.view_window()
        wait_until(lambda: later.poll() is not None, 10, "the later start to hand over")
        expect_no_view(near)
        later = near.spawn([os.path.join(on_near.folder, "zuz"), "--view"])
        on_near.view_window()
        assert len(views(far)) == 1, views(far)


def test_a_wheel_notch_keeps_the_pointed_pixel(args):
    # Every pixel names its coordinates; the one under the pointer must stay
    # within a pixel of the same after each notch, while one far from it
    # shows the zoom happened.
    w, h = 1024, 768
    with new_session(w, h, coded_pattern) as s:
        zuz_with_view(s, args.bin)
        px, py = 301, 577
        far = (40, 40)
        s.xdotool("mousemove", px, py)
        wait_until(lambda: decode(s.screenshot().getpixel((px, py))) == (w // 4 + px // 2,
                                                                          h // 4 + py // 2),
                   10, "the start-up view")
        for button in (4, 4, 5, 5, 5):
            shot = s.screenshot()
            pointed, away = decode(shot.getpixel((px, py))), decode(shot.getpixel(far))
            s.xdotool("click", button)
            wait_until(lambda: decode(s.screenshot().getpixel(far)) != away, 10,
                       f"the view to zoom for button {button}")
            now = decode(s.screenshot().getpixel((px, py)))
            assert abs(now[0] - pointed[0]) <= 1 and abs(now[1] - pointed[1]) <= 1, \
                f"button {button}: {pointed} under the pointer became {now}"
