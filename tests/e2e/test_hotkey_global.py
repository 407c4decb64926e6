"""The global Ctrl+Z of zuz on a real X server: with another client
focused, Ctrl+Z (also with NumLock or CapsLock on) brings up a view of
what that client showed and never reaches the client; Ctrl+Shift+Z, Alt+Z
and Z reach the client and bring no view; Ctrl+Z during a view magnifies
the view again, once however long the key is held, and not at all while
an input box of zuz is open; so does a desktop's binding that runs
`zuz --view` and repeats while held; a Ctrl+Z that another client holds
leaves zuz running with its icon."""

import os
import time

from Xlib import X

from drivers.client import MAGENTA, Client, hold_ctrl_z
from drivers.menus import open_menu
from drivers.pictures import (colour_close, expect_mapping, mapping_mismatches,
                              middle_twice_source, sample_points)
from drivers.session import stays, wait_until
from drivers.tray import press_icon
from drivers.xsession import new_session
from drivers.zuz import end_view, expect_no_view, views, waiting_zuz, zuz_with_view


def modifier_state(s):
    return s.root.query_pointer().mask


def client_shown_in_view(s, box):
    """Waits until the 2x view shows the client: a view point whose source
    lies inside the client window is magenta."""
    w, h = s.width, s.height
    x, y, cw, ch = box
    points = []
    for fx in (0.25, 0.5, 0.75):
        for fy in (0.25, 0.5, 0.75):
            sx, sy = x + cw * fx, y + ch * fy
            points.append((int((sx - w / 4) * 2), int((sy - h / 4) * 2)))

    def ok():
        shot = s.screenshot()
        return all(colour_close(shot.getpixel(p), MAGENTA, 6) for p in points)
    wait_until(ok, 10, "the view to show the other client twice as large")


def test_ctrl_z_over_another_client(args):
    w, h = 800, 600
    with new_session(w, h) as s:
        zuz = waiting_zuz(s, args.bin)
        box = (w // 2 - 80, h // 2 - 60, 160, 120)
        client = Client(s, box)
        try:
            box = s.window_geometry(client.win.id)
            for locks in ([], ["Num_Lock"], ["Caps_Lock"], ["Num_Lock", "Caps_Lock"]):
                client.focus()
                for key in locks:
                    s.xdotool("key", key)
                mask = modifier_state(s)
                if "Num_Lock" in locks:
                    assert mask & X.Mod2Mask, f"NumLock is not on ({mask:#x})"
                if "Caps_Lock" in locks:
                    assert mask & X.LockMask, f"CapsLock is not on ({mask:#x})"
                client.pump()
                client.keys.clear()
                s.xdotool("key", "ctrl+z")
                wid = zuz.view_window()
                assert "_NET_WM_STATE_ABOVE" in s.net_wm_state(wid), s.net_wm_state(wid)
                client_shown_in_view(s, box)
                # The key was zuz's alone.
                assert not client.got_z(), f"the client saw Ctrl+Z ({locks})"
                end_view(s, zuz)
                for key in locks:
                    s.xdotool("key", key)
            assert not modifier_state(s) & (X.Mod2Mask | X.LockMask)
        finally:
            client.close()
        assert zuz.proc.poll() is None


def test_other_combinations_do_nothing(args):
    w, h = 800, 600
    with new_session(w, h) as s:
        zuz = waiting_zuz(s, args.bin)
        client = Client(s, (100, 100, 200, 150))
        try:
            for combo, state in (("ctrl+shift+z", X.ControlMask | X.ShiftMask),
                                 ("alt+z", X.Mod1Mask), ("z", 0)):
                client.focus()
                client.pump()
                client.keys.clear()
                s.xdotool("key", combo)
                # The client gets the key: the server gave it to no grab.
                wait_until(lambda: client.got_z(), 5, f"the client to get {combo}")
                got = client.got_z()[0][1] & (X.ControlMask | X.ShiftMask | X.Mod1Mask)
                assert got == state, (combo, got)
                expect_no_view(s, 1.0)
        finally:
            client.close()
        assert zuz.proc.poll() is None


def start_up_view(s, args, w, h):
    """Starts zuz and waits for its start-up view; zuz and the points the
    view was checked at."""
    zuz = zuz_with_view(s, args.bin)
    pts = sample_points(w, h)
    expect_mapping(s, middle_twice_source(w, h), pts, "the start-up view")
    return zuz, pts


def test_ctrl_z_during_a_view_compounds(args):
    w, h = 800, 600
    with new_session(w, h) as s:
        zuz, pts = start_up_view(s, args, w, h)
        s.xdotool("key", "ctrl+z")
        # Four times about the middle now.
        four_times = lambda x, y: (3 * w / 8 + x / 4, 3 * h / 8 + y / 4)  # noqa: E731
        expect_mapping(s, four_times, pts, "the view magnified again", tolerance=5)
        assert len(views(s)) == 1
        stays(lambda: not mapping_mismatches(s, four_times, pts, 5), 1.0, "one Ctrl+Z magnified twice")

        # A binding that runs `zuz --view` on a key held down (sway's
        # bindsym without --no-repeat): a request at the key's rate.
        for _ in range(8):
            s.spawn([os.path.join(zuz.folder, "zuz"), "--view"])
            time.sleep(0.04)
        eight_times = lambda x, y: (7 * w / 16 + x / 8, 7 * h / 16 + y / 8)  # noqa: E731
        expect_mapping(s, eight_times, pts, "the view magnified once more", tolerance=5)
        stays(lambda: not mapping_mismatches(s, eight_times, pts, 5), 1.0,
              "the repeated `zuz --view` magnified again")


def test_held_ctrl_z_and_a_box_each_take_one_view(args):
    w, h = 800, 600
    with new_session(w, h) as s:
        zuz, pts = start_up_view(s, args, w, h)
        # Held past the server's repeat delay, Ctrl+Z repeats about twenty
        # times; only the press counts.
        s.xdotool("keydown", "ctrl+z")
        time.sleep(1.5)
        s.xdotool("keyup", "ctrl+z")
        twice_again = lambda x, y: (3 * w / 8 + x / 4, 3 * h / 8 + y / 4)  # noqa: E731
        expect_mapping(s, twice_again, pts, "the view magnified once more", tolerance=5)
        stays(lambda: not mapping_mismatches(s, twice_again, pts, 5), 1.0, "the held key magnified again")

        # The speed's input box ("速度", then "自定义"): Ctrl+Z while it is
        # open brings nothing, then or after the box.
        before = set(s.windows(cls="zuz"))
        open_menu(s, w // 2, h // 2)
        s.xdotool("key", *(["Down"] * 11), "Right", *(["Down"] * 4), "Return")
        wait_until(lambda: len(set(s.windows(cls="zuz")) - before) == 1, 10, "the input box")
        s.xdotool("key", "ctrl+z")
        s.xdotool("key", "Escape")
        wait_until(lambda: set(s.windows(cls="zuz")) == before, 10, "the input box to close")
        expect_mapping(s, twice_again, pts, "the view as it was before the box", tolerance=5)
        stays(lambda: not mapping_mismatches(s, twice_again, pts, 5), 1.0, "a view came after the box")
        assert zuz.proc.poll() is None


def test_a_held_hotkey_is_silent(args):
    w, h = 800, 600
    with new_session(w, h) as s:
        # Another client claims Ctrl+Z first.
        other = hold_ctrl_z(s)
        try:
            zuz = zuz_with_view(s, args.bin)
            end_view(s, zuz)
            assert zuz.proc.poll() is None, "zuz ended"
            # Ctrl+Z stays with its holder; the icon still magnifies.
            s.xdotool("key", "ctrl+z")

            def holder_got_it():
                seen = False
                while other.pending_events():
                    seen = other.next_event().type == X.KeyPress or seen
                return seen
            wait_until(holder_got_it, 5, "the holder of Ctrl+Z to get it", interval=0.02)
            expect_no_view(s, 1.0)
            press_icon(s, zuz.view_window)
        finally:
            other.close()
