"""GNOME Shell and KWin sessions as the desktop tests see them from
inside (tests/e2e/desktopsteps.py runs there as the session's user): the
screen is read through the desktop's Screenshot portal, input goes
through the desktop's own remote-input interfaces, the clipboard is read
with wl-paste."""

import io
import os
import subprocess
import sys
import time

import dbus
from PIL import Image

from drivers.pictures import difference_box
from drivers.session import Session, wait_until

RIG = os.environ.get("RIG_DIR", "")
DESKTOP = os.environ.get("RIG_DESKTOP", "")
RUN = os.environ.get("RIG_RUN", "/tmp")
PORTAL, PORTAL_PATH = "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop"
CONTROL = 33  # Zonara's button
ESCAPE, CONTROL_L, SHIFT_L = 0xff1b, 0xffe3, 0xffe1
DOWN, RETURN = 0xff54, 0xff0d
# An answer takes well under a second, a few on a loaded machine.
SHOT_ANSWER_S = 8


STARTED = time.monotonic()


def step(what):
    print(f"  {time.monotonic() - STARTED:5.1f}s step: {what}", flush=True)


class Desktop(Session):
    """A desktop session the steps run inside, as its user: programs are
    started as children of the steps, the screen is read through the
    Screenshot portal."""

    def __init__(self, bin_dir):
        from dbus.mainloop.glib import DBusGMainLoop
        DBusGMainLoop(set_as_default=True)
        super().__init__()
        self.bin = bin_dir
        self.bus = dbus.SessionBus()
        probe = Image.open(io.BytesIO(self.shot_bytes()))
        self.width, self.height = probe.size

    # --- the screen --------------------------------------------------------------
    def shot_bytes(self):
        out = os.path.join(RUN, "shot.png")
        for _ in range(20):
            # GNOME's back-end never answers a request that met another
            # caller's (the shell refuses it as busy, and the back-end keeps
            # the request open until its caller goes): the tool gives up on
            # it well before this process would, and the next one is asked.
            proc = subprocess.run([sys.executable, os.path.join(RIG, "portal_shot.py"),
                                   "--timeout", str(SHOT_ANSWER_S), "--out", out],
                                  capture_output=True, timeout=SHOT_ANSWER_S + 30)
            if proc.returncode == 0:
                with open(out, "rb") as f:
                    data = f.read()
                os.unlink(out)
                return data
            time.sleep(0.2)
        raise AssertionError(f"no portal screenshot: {proc.stdout!r} {proc.stderr!r}")

    def screenshot(self):
        return Image.open(io.BytesIO(self.shot_bytes())).convert("RGB")

    def compared(self):
        # Clear of the view's buttons at the right edge and of the pointer,
        # which KWin draws into its pictures.
        return (0, 0, self.width - 64, self.height - 40)

    def settled(self, full_screen):
        """Waits, where the desktop can tell, until zuz's full-screen
        window is there or gone: a screenshot asked for meanwhile would
        compete with the program's own."""

    def full_screen_windows(self, cls):
        """Where the desktop can tell, the ids of the program's full-screen
        windows; None where it cannot."""
        return None

    def replaced(self, cls, before):
        """Waits, where the desktop can tell, until a full-screen window of
        the program's is there that was not among `before`: one it shows
        once its own screenshot is in."""
        if before is None:
            return
        try:
            wait_until(lambda: self.full_screen_windows(cls) - before, 30,
                       f"a new full-screen window of {cls}")
        except AssertionError:
            raise AssertionError(f"no new full-screen window; windows: {self.windows()}") from None

    def shows(self, want, what, timeout=20, view=None):
        if view is not None:
            self.settled(view)
        box = self.compared()
        last = [None]

        def matches():
            last[0] = self.screenshot()
            return not difference_box(last[0], want, box)
        try:
            wait_until(matches, timeout, what, interval=0.3)
        except AssertionError:
            last[0].save(os.path.join(RUN, "failed.png"))
            raise AssertionError(f"{what}: differs within "
                                 f"{difference_box(last[0], want, box)}") from None

    # --- programs ---------------------------------------------------------------------
    def program(self, name):
        return os.path.join(self.bin, name)

    def picking(self, pattern):
        # The picker's full-screen window shows the desktop as it was, the
        # button gone.
        self.shows(pattern, "the picker over the desktop")

    def park(self):
        # KWin draws the pointer into its pictures: it waits in the
        # bottom-right corner, outside the compared area.
        self.pointer_to(self.width - 1, self.height - 1)

    def drag(self, start, end, steps=6):
        self.pointer_to(*start)
        time.sleep(0.05)
        self.button(True)
        for i in range(1, steps + 1):
            time.sleep(0.05)
            self.pointer_to(start[0] + (end[0] - start[0]) * i // steps,
                            start[1] + (end[1] - start[1]) * i // steps)
        time.sleep(0.05)
        self.button(False)
        self.park()

    @staticmethod
    def clipboard():
        proc = subprocess.run(["wl-paste", "--no-newline", "--type", "image/png"],
                              capture_output=True, timeout=10)
        return proc.stdout if proc.returncode == 0 and proc.stdout else None


class Gnome(Desktop):
    """Keys through Mutter's remote desktop, the pointer through a Clutter
    virtual device (GNOME Shell's unsafe mode): a headless seat has no
    keyboard until a virtual one exists."""

    def __init__(self, bin_dir):
        super().__init__(bin_dir)
        self.shell = dbus.Interface(self.bus.get_object("org.gnome.Shell", "/org/gnome/Shell"),
                                    "org.gnome.Shell")
        self.eval("""const C = imports.gi.Clutter;
            const seat = C.get_default_backend().get_default_seat();
            global._zuzPtr = seat.create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
            global._zuzKbd = seat.create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE);
            true""")
        self.eval("global._zuzKbd.notify_keyval(%s, %d, imports.gi.Clutter.KeyState.PRESSED)"
                  % (self.NOW, SHIFT_L))
        self.eval("global._zuzKbd.notify_keyval(%s, %d, imports.gi.Clutter.KeyState.RELEASED)"
                  % (self.NOW, SHIFT_L))
        rd = "org.gnome.Mutter.RemoteDesktop"
        path = dbus.Interface(self.bus.get_object(rd, "/org/gnome/Mutter/RemoteDesktop"),
                              rd).CreateSession()
        self.rd = dbus.Interface(self.bus.get_object(rd, path), rd + ".Session")
        self.rd.Start()

    NOW = "imports.gi.GLib.get_monotonic_time()"

    def eval(self, js):
        ok, result = self.shell.Eval(js)
        if not ok:
            raise AssertionError(f"GNOME Shell: {result}")
        return result

    def windows(self):
        import json
        return json.loads(self.eval(
            "global.get_window_actors().map(a => a.meta_window).map(w => "
            "[w.get_wm_class(), w.is_fullscreen(), w.get_frame_rect().width,"
            " w.get_frame_rect().height, w.get_frame_rect().x, w.get_frame_rect().y,"
            " w.get_id()])"))

    def full_screen_windows(self, cls):
        return {w[6] for w in self.windows()
                if w[0] == cls and (w[1] or (w[2], w[3]) == (self.width, self.height))}

    def settled(self, full_screen):
        try:
            wait_until(lambda: any(w[0] == "zuz" and w[1] for w in self.windows())
                       == full_screen, 30, "zuz's view" if full_screen else "zuz's view to end")
        except AssertionError:
            raise AssertionError(f"no{'' if full_screen else ' end of'} view; windows: "
                                 f"{self.windows()}") from None

    def picking(self, pattern):
        # Full screen and given the input: a press before that would reach
        # the window below.
        wait_until(lambda: self.eval("(w => w ? [w.get_wm_class(), w.is_fullscreen()] : [])"
                                     "(global.display.focus_window)") == '["Zonara",true]',
                   20, "the picker")
        # GNOME places the button within the compared area, at its top left.
        super().picking(pattern)

    def key(self, keysym, *mods):
        for k in mods + (keysym,):
            self.rd.NotifyKeyboardKeysym(dbus.UInt32(k), True)
        for k in reversed(mods + (keysym,)):
            self.rd.NotifyKeyboardKeysym(dbus.UInt32(k), False)

    def pointer_to(self, x, y):
        self.eval("global._zuzPtr.notify_absolute_motion(%s, %f, %f)" % (self.NOW, x, y))

    def button(self, down, number=1):
        self.eval("global._zuzPtr.notify_button(%s, %d, imports.gi.Clutter.ButtonState.%s)"
                  % (self.NOW, number, "PRESSED" if down else "RELEASED"))


class Kde(Desktop):
    """Keys and the pointer through the RemoteDesktop portal, which KWin
    grants an unsandboxed caller without asking; its keys also reach the
    desktop's global shortcuts. The pointer moves relatively only: it is
    first pushed into the top-left corner."""

    def __init__(self, bin_dir):
        super().__init__(bin_dir)
        self.portal = dbus.Interface(self.bus.get_object(PORTAL, PORTAL_PATH),
                                     "org.freedesktop.portal.RemoteDesktop")
        result = self.request(self.portal.CreateSession,
                              opts={"session_handle_token": "zuzrd"})
        self.session = dbus.ObjectPath(result["session_handle"])
        self.request(self.portal.SelectDevices, self.session, opts={"types": dbus.UInt32(3)})
        self.request(self.portal.Start, self.session, "")
        self.at = None

    def request(self, method, *args, opts=None):
        from gi.repository import GLib
        self._n = getattr(self, "_n", 0) + 1
        token = f"zuz{os.getpid()}_{self._n}"
        sender = self.bus.get_unique_name()[1:].replace(".", "_")
        path = f"{PORTAL_PATH}/request/{sender}/{token}"
        loop = GLib.MainLoop()
        got = {}

        def answered(code, results):
            got["code"], got["results"] = int(code), results
            loop.quit()
        match = self.bus.add_signal_receiver(answered, "Response",
                                             "org.freedesktop.portal.Request", PORTAL, path)
        options = dict(opts or {})
        options["handle_token"] = token
        method(*args, dbus.Dictionary(options, signature="sv"))
        GLib.timeout_add(10000, loop.quit)
        loop.run()
        match.remove()
        if got.get("code") != 0:
            raise AssertionError(f"the RemoteDesktop portal refused: {got}")
        return got["results"]

    def key(self, keysym, *mods):
        for k in mods + (keysym,):
            self.press(k, True)
            time.sleep(0.03)
        for k in reversed(mods + (keysym,)):
            self.press(k, False)
            time.sleep(0.03)

    def press(self, keysym, down):
        self.portal.NotifyKeyboardKeysym(self.session, dbus.Dictionary({}, signature="sv"),
                                         dbus.Int32(keysym), dbus.UInt32(1 if down else 0))

    def pointer_to(self, x, y):
        empty = dbus.Dictionary({}, signature="sv")
        if self.at is None:
            self.portal.NotifyPointerMotion(self.session, empty, -10000.0, -10000.0)
            self.at = (0, 0)
        self.portal.NotifyPointerMotion(self.session, empty, float(x - self.at[0]),
                                        float(y - self.at[1]))
        self.at = (x, y)

    def button(self, down, number=1):
        # Linux's codes: BTN_LEFT, BTN_RIGHT, BTN_MIDDLE.
        code = {1: 0x110, 3: 0x111, 2: 0x112}[number]
        self.portal.NotifyPointerButton(self.session, dbus.Dictionary({}, signature="sv"),
                                        dbus.Int32(code), dbus.UInt32(1 if down else 0))




def desktop(bin_dir):
    """The session the steps run in, as the rig names it."""
    return (Gnome if DESKTOP == "gnome" else Kde)(bin_dir)
