"""zuz on desktops unlike the plain one: a window manager that refuses the
focus to windows the user did not just ask for (xfwm4) as well as
openbox, a dock with struts along the bottom, other keyboard layouts, a
tray host that comes late or not at all.

Keys go in as key codes through XTEST, so that the physical key is the one
meant whatever the layout: 37 Control, 9 Esc, 52 and 53 the keys a US
keyboard labels Z and X, 29 the one it labels Y (Z on a German keyboard)."""

import subprocess

from Xlib import X, Xatom, Xutil, display as xdisplay
from Xlib.ext import xtest

from drivers.client import Client, hold_ctrl_z
from drivers.pictures import colour_close
from drivers.session import wait_until
from drivers.tray import press_icon
from drivers.xsession import new_session
from drivers.zuz import expect_no_view, waiting_zuz

CTRL, ESC, KEY_Y, KEY_Z, KEY_X = 37, 9, 29, 52, 53
DOCK_COLOUR = (20, 160, 40)
DOCK_HEIGHT = 40


def press(s, *codes):
    """Presses the keys in order and lets them go in reverse."""
    for code in codes:
        xtest.fake_input(s.dpy, X.KeyPress, code)
    for code in reversed(codes):
        xtest.fake_input(s.dpy, X.KeyRelease, code)
    s.dpy.sync()


def expect_view_gone(zuz, failure):
    try:
        zuz.view_gone(5)
    except AssertionError:
        raise AssertionError(failure) from None


def hotkey(s, client, z_key=KEY_Z, zuz=None):
    """Ctrl+Z typed into the client, which has noted the user's last input
    (_NET_WM_USER_TIME) as toolkits do, at a moment after the Ctrl press
    and before the Z: a view that asks for the focus with a time older
    than that is refused it by a window manager with focus-stealing
    prevention. Ctrl is held, as by a hand, until zuz shows its view."""
    client.pump()
    xtest.fake_input(s.dpy, X.KeyPress, CTRL)
    s.dpy.sync()
    ctrl = wait_until(lambda: client.next_key_event(), 5, "the client to get Ctrl").time
    now = wait_until(lambda: (lambda t: t if t > ctrl else None)(client.server_time()), 5,
                     "the server's clock to pass the Ctrl press")
    client.win.change_property(client.dpy.intern_atom("_NET_WM_USER_TIME"), Xatom.CARDINAL, 32,
                               [now])
    client.dpy.sync()
    xtest.fake_input(s.dpy, X.KeyPress, z_key)
    xtest.fake_input(s.dpy, X.KeyRelease, z_key)
    s.dpy.sync()
    try:
        return zuz.view_window() if zuz is not None else None
    finally:
        xtest.fake_input(s.dpy, X.KeyRelease, CTRL)
        s.dpy.sync()


class TypingClient(Client):
    def __init__(self, s, box):
        super().__init__(s, box)
        self.win.change_attributes(event_mask=X.KeyPressMask | X.ExposureMask |
                                   X.PropertyChangeMask)
        self.dpy.sync()

    def next_key_event(self):
        while self.dpy.pending_events():
            ev = self.dpy.next_event()
            if ev.type == X.KeyPress:
                return ev
        return None

    def server_time(self):
        """The server's time now: that of a property change of our own."""
        atom = self.dpy.intern_atom("_ZUZ_TEST_NOW")
        self.win.change_property(atom, Xatom.CARDINAL, 32, [0])
        self.dpy.sync()
        while True:
            ev = self.dpy.next_event()
            if ev.type == X.PropertyNotify and ev.atom == atom:
                return ev.time


def setxkbmap(s, layout):
    subprocess.run(["setxkbmap", layout], env=s.env, check=True, timeout=20)


class Dock:
    """A panel along the left half of the bottom edge (the tray host keeps
    the right end) that reserves its strip of the screen."""

    def __init__(self, s):
        self.dpy = xdisplay.Display(s.display_name)
        screen = self.dpy.screen()
        pixel = screen.default_colormap.alloc_color(*(c * 257 for c in DOCK_COLOUR)).pixel
        y = s.height - DOCK_HEIGHT
        width = s.width // 2
        self.win = screen.root.create_window(0, y, width, DOCK_HEIGHT, 0, screen.root_depth,
                                             X.InputOutput, X.CopyFromParent,
                                             background_pixel=pixel)
        atom = self.dpy.intern_atom
        self.win.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                                 [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        self.win.change_property(atom("_NET_WM_STRUT"), Xatom.CARDINAL, 32,
                                 [0, 0, 0, DOCK_HEIGHT])
        self.win.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32,
                                 [0, 0, 0, DOCK_HEIGHT, 0, 0, 0, 0, 0, 0, 0, width - 1])
        self.win.set_wm_name("dock")
        # Placed where it asks to be, as panels are.
        self.win.set_wm_normal_hints(flags=Xutil.USPosition | Xutil.PPosition | Xutil.PSize,
                                     x=0, y=y, width=width, height=DOCK_HEIGHT)
        self.win.map()
        self.dpy.sync()
        wait_until(lambda: colour_close(s.screenshot((width // 2, y + 5, 1, 1)).getpixel((0, 0)),
                                        DOCK_COLOUR), 10, "the dock to show")

    def close(self):
        self.dpy.close()


def expect_view_over_dock(s):
    """The view covers the dock: the dock's strip shows the enlarged
    screen (the middle of the screen twice as large)."""
    y = s.height - DOCK_HEIGHT // 2
    xs = [s.width // 8, s.width // 4, s.width // 3]

    def covered():
        shot = s.screenshot()
        return not any(colour_close(shot.getpixel((x, y)), DOCK_COLOUR, 10) for x in xs)
    wait_until(covered, 10, "the view to cover the dock")


def expect_keyboard(s, wid, what):
    """Waits until the view has the keyboard focus, given by the window
    manager with no step of ours."""
    try:
        wait_until(lambda: s.dpy.get_input_focus().focus.id == wid, 5, "the keyboard focus")
    except AssertionError:
        raise AssertionError(f"{what}: the view never got the keyboard") from None


def test_views_take_the_keyboard(args):
    """Ctrl+Z with another program focused, then Esc or X with no other
    step, ends the view; the view covers a dock; so does one from the tray
    icon. Under openbox and under xfwm4."""
    for wm in ("openbox", "xfwm4"):
        with new_session(800, 600, wm=wm) as s:
            dock = Dock(s)
            zuz = waiting_zuz(s, args.bin)
            client = TypingClient(s, (200, 150, 300, 200))
            try:
                for ender, name in ((ESC, "Esc"), (KEY_X, "X")):
                    client.focus()
                    client.pump()
                    client.keys.clear()
                    wid = hotkey(s, client, zuz=zuz)
                    expect_keyboard(s, wid, f"{wm}, Ctrl+Z")
                    expect_view_over_dock(s)
                    press(s, ender)
                    expect_view_gone(zuz, f"{wm}: {name} did not end the hotkey view")
                    typed = [k for k in client.pump() if k[0] in ("x", "z")]
                    assert not typed, f"{wm}: the client got {typed}"
                view = press_icon(s, lambda: zuz.view_window(2.5), attempts=4)
                expect_keyboard(s, view, f"{wm}, the icon")
                press(s, ESC)
                expect_view_gone(zuz, f"{wm}: Esc did not end the icon's view")
            finally:
                client.close()
                dock.close()
            assert zuz.proc.poll() is None


def test_keys_follow_the_layout(args):
    """Under a Cyrillic layout Ctrl+Z and X are the keys a US keyboard
    labels so; under a German one Ctrl+Z is the key labelled Z there; the
    layout changes while zuz waits."""
    with new_session(800, 600, wm="xfwm4") as s:
        zuz = waiting_zuz(s, args.bin)
        client = TypingClient(s, (200, 150, 300, 200))
        try:
            for layout, z_key, not_z in (("ru", KEY_Z, None), ("de", KEY_Y, KEY_Z),
                                         ("us", KEY_Z, KEY_Y)):
                setxkbmap(s, layout)
                if not_z is not None:
                    client.focus()
                    hotkey(s, client, not_z)
                    expect_no_view(s, 1.0)
                client.focus()
                try:
                    wid = hotkey(s, client, z_key, zuz)
                except AssertionError:
                    raise AssertionError(f"no view from Ctrl+Z under layout {layout}") from None
                expect_keyboard(s, wid, f"layout {layout}")
                press(s, KEY_X)
                expect_view_gone(zuz, f"X did not end the view under layout {layout}")
        finally:
            client.close()
        assert zuz.proc.poll() is None


def test_a_late_tray_host_gets_the_icon(args):
    with new_session(800, 600, wm="openbox", tray=False) as s:
        zuz = waiting_zuz(s, args.bin)
        s.start_tray()
        press_icon(s, lambda: zuz.view_window(2.5), attempts=4)
        assert zuz.proc.poll() is None


def test_with_no_way_back_zuz_says_so_and_ends(args):
    """No tray host and Ctrl+Z held by another client: when the view ends,
    zuz says once how to get the next one and ends, rather than wait where
    nothing can reach it."""
    with new_session(800, 600, wm="openbox", tray=False) as s:
        other = hold_ctrl_z(s)
        try:
            zuz = waiting_zuz(s, args.bin)
            box = wait_until(lambda: s.windows(name="zuz 提示"), 10, "zuz's message")
            s.xdotool("windowactivate", "--sync", box[0], "key", "Return")
            wait_until(lambda: zuz.proc.poll() is not None, 10, "zuz to end")
            assert zuz.proc.returncode == 0, zuz.proc.returncode
            assert len(s.windows(name="zuz 提示", visible=False)) == 0
        finally:
            other.close()
