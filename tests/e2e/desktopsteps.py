"""The steps of the desktop tests, run inside a GNOME Shell or KWin session
(desktopsession.py starts one) as the session's user: the screen is read
through the desktop's Screenshot portal, input goes through the desktop's
own remote-input interfaces, the clipboard is read with wl-paste.

usage: desktopsteps.py BIN_DIR SCENARIO    (exit status 0: all steps passed)
       desktopsteps.py --show PICTURE      (a full-screen window showing it)"""

import io
import os
import subprocess
import sys
import time

import dbus
from PIL import Image, ImageChops

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import wait_until  # noqa: E402
from zuzdriver import coded_pattern  # noqa: E402

RIG = os.environ.get("RIG_DIR", "")
DESKTOP = os.environ.get("RIG_DESKTOP", "")
RUN = os.environ.get("RIG_RUN", "/tmp")
PORTAL, PORTAL_PATH = "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop"
CONTROL = 33  # Zonara's button
ESCAPE, CONTROL_L, SHIFT_L = 0xff1b, 0xffe3, 0xffe1


def show(picture):
    import gi
    gi.require_version("Gtk", "3.0")
    from gi.repository import Gtk
    window = Gtk.Window(title="pattern")
    window.add(Gtk.Image.new_from_file(picture))
    window.connect("destroy", Gtk.main_quit)
    window.fullscreen()
    window.show_all()
    Gtk.main()


STARTED = time.monotonic()


def step(what):
    print(f"  {time.monotonic() - STARTED:5.1f}s step: {what}", flush=True)


class Desktop:
    def __init__(self, bin_dir):
        from dbus.mainloop.glib import DBusGMainLoop
        DBusGMainLoop(set_as_default=True)
        self.bin = bin_dir
        self.bus = dbus.SessionBus()
        self.procs = []
        probe = Image.open(io.BytesIO(self.shot_bytes()))
        self.width, self.height = probe.size

    # --- the screen --------------------------------------------------------------
    def shot_bytes(self):
        out = os.path.join(RUN, "shot.png")
        for _ in range(20):
            proc = subprocess.run([sys.executable, os.path.join(RIG, "portal_shot.py"),
                                   "--out", out], capture_output=True, timeout=30)
            if proc.returncode == 0:
                with open(out, "rb") as f:
                    data = f.read()
                os.unlink(out)
                return data
            # The screenshot service may be busy with the program's request.
            time.sleep(0.2)
        raise AssertionError(f"no portal screenshot: {proc.stderr!r}")

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

    def shows(self, want, what, timeout=20, view=None):
        if view is not None:
            self.settled(view)
        box = self.compared()
        last = [None]

        def matches():
            last[0] = self.screenshot()
            return not ImageChops.difference(last[0].crop(box), want.crop(box)).getbbox()
        try:
            wait_until(matches, timeout, what, interval=0.3)
        except AssertionError:
            diff = ImageChops.difference(last[0].crop(box), want.crop(box)).getbbox()
            last[0].save(os.path.join(RUN, "failed.png"))
            raise AssertionError(f"{what}: differs within {diff}") from None

    # --- programs ---------------------------------------------------------------------
    def spawn(self, argv, **kw):
        proc = subprocess.Popen(argv, **kw)
        self.procs.append(proc)
        return proc

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

    def close(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.terminate()
        for proc in self.procs:
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()


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
            " w.get_frame_rect().height, w.get_frame_rect().x, w.get_frame_rect().y])"))

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

    def key(self, keysym, *mods):
        for k in mods + (keysym,):
            self.rd.NotifyKeyboardKeysym(dbus.UInt32(k), True)
        for k in reversed(mods + (keysym,)):
            self.rd.NotifyKeyboardKeysym(dbus.UInt32(k), False)

    def pointer_to(self, x, y):
        self.eval("global._zuzPtr.notify_absolute_motion(%s, %f, %f)" % (self.NOW, x, y))

    def button(self, down):
        self.eval("global._zuzPtr.notify_button(%s, 1, imports.gi.Clutter.ButtonState.%s)"
                  % (self.NOW, "PRESSED" if down else "RELEASED"))


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
        empty = dbus.Dictionary({}, signature="sv")
        for k in mods + (keysym,):
            self.portal.NotifyKeyboardKeysym(self.session, empty, dbus.Int32(k), dbus.UInt32(1))
            time.sleep(0.03)
        for k in reversed(mods + (keysym,)):
            self.portal.NotifyKeyboardKeysym(self.session, empty, dbus.Int32(k), dbus.UInt32(0))
            time.sleep(0.03)

    def pointer_to(self, x, y):
        empty = dbus.Dictionary({}, signature="sv")
        if self.at is None:
            self.portal.NotifyPointerMotion(self.session, empty, -10000.0, -10000.0)
            self.at = (0, 0)
        self.portal.NotifyPointerMotion(self.session, empty, float(x - self.at[0]),
                                        float(y - self.at[1]))
        self.at = (x, y)

    def button(self, down):
        self.portal.NotifyPointerButton(self.session, dbus.Dictionary({}, signature="sv"),
                                        dbus.Int32(0x110), dbus.UInt32(1 if down else 0))


def middle_twice(pattern):
    w, h = pattern.size
    return pattern.crop((w // 4, h // 4, 3 * w // 4, 3 * h // 4)).resize((w, h), Image.NEAREST)


def drag(d, start, end, steps=6):
    d.pointer_to(*start)
    time.sleep(0.05)
    d.button(True)
    for i in range(1, steps + 1):
        time.sleep(0.05)
        d.pointer_to(start[0] + (end[0] - start[0]) * i // steps,
                     start[1] + (end[1] - start[1]) * i // steps)
    time.sleep(0.05)
    d.button(False)
    d.park()


def clipboard():
    proc = subprocess.run(["wl-paste", "--no-newline", "--type", "image/png"],
                          capture_output=True, timeout=10)
    return proc.stdout if proc.returncode == 0 and proc.stdout else None


def view_steps(d, pattern):
    view = middle_twice(pattern)
    zuz = d.spawn([d.program("zuz")])
    step("the first view, exact")
    d.shows(view, "the view zuz shows at its start", view=True)
    step("Esc ends it")
    d.key(ESCAPE)
    d.shows(pattern, "the desktop after Esc", view=False)
    step("`zuz --view`")
    asked = subprocess.run([d.program("zuz"), "--view"], timeout=30)
    assert asked.returncode == 0, asked
    d.shows(view, "the view of `zuz --view`", view=True)
    d.key(ESCAPE)
    d.shows(pattern, "the desktop after Esc", view=False)
    assert zuz.poll() is None, "the waiting zuz ended"
    return zuz


def zonara_steps(d, pattern):
    step("Zonara's pick, exact on the clipboard")
    zonara = d.spawn([d.program("Zonara")])
    # Its button on the screen: from then on --pick goes to it.
    box = d.compared()
    wait_until(lambda: ImageChops.difference(d.screenshot().crop(box),
                                             pattern.crop(box)).getbbox(), 30,
               "Zonara's button", interval=0.3)
    asked = subprocess.run([d.program("Zonara"), "--pick"], timeout=30)
    assert asked.returncode == 0, asked
    a, b = (100, 120), (300, 260)
    want = pattern.crop((a[0], a[1], b[0], b[1]))
    d.picking(pattern)
    drag(d, a, b)

    def picked():
        data = clipboard()
        return Image.open(io.BytesIO(data)).convert("RGB") if data else None
    try:
        got = wait_until(picked, 15, "the picked region on the clipboard", interval=0.3)
    except AssertionError:
        raise AssertionError("no picture on the clipboard; the screen is in failed.png, "
                             f"windows: {getattr(d, 'windows', list)()}") from None
    assert got.size == want.size, (got.size, want.size)
    assert not ImageChops.difference(got, want).getbbox(), "the clipboard's picture differs"
    return zonara


def editor_steps(d, pattern):
    step("the editor opened on a view")
    view = middle_twice(pattern)
    asked = subprocess.run([d.program("zuz"), "--view"], timeout=30)
    assert asked.returncode == 0, asked
    d.shows(view, "the view of `zuz --view`", view=True)
    # The pencil, at the view's top-right corner.
    d.pointer_to(d.width - 12, 12)
    d.button(True)
    d.button(False)
    d.park()
    # The editor covers the screen with the view's picture and its toolbar.
    middle = (d.width // 4, d.height // 4, 3 * d.width // 4, 3 * d.height // 4)

    def editing():
        shot = d.screenshot()
        return (ImageChops.difference(shot.crop(d.compared()), view.crop(d.compared())).getbbox()
                and not ImageChops.difference(shot.crop(middle), view.crop(middle)).getbbox())
    wait_until(editing, 20, "the editor over the view's picture", interval=0.3)
    # A double-click closes it.
    d.pointer_to(d.width // 2, d.height // 2)
    for _ in range(2):
        d.button(True)
        d.button(False)
    d.park()
    d.shows(pattern, "the desktop after the editor", view=False)


def region_drag_steps(d):
    step("the region window shown and dragged")

    def region():
        found = [w for w in d.windows() if w[0] == "Zonara" and not w[1]
                 and (w[2], w[3]) != (CONTROL, CONTROL)]
        return found[0] if found else None
    before = wait_until(region, 20, "the magnified region")
    start = (before[4] + 12, before[5] + 12)
    by = (150, 100)
    drag(d, start, (start[0] + by[0], start[1] + by[1]), steps=8)

    def followed():
        now = region()
        return now and all(abs(b) * 0.7 <= n - o <= abs(b) + 2
                           for n, o, b in zip(now[4:6], before[4:6], by))
    wait_until(followed, 10, f"the region to follow the drag from {before}")


def xwayland_steps(d, pattern, zuz, zonara):
    # An X11 program on the desktop's X server sees only the X11 programs
    # there: its picture comes from the portal all the same.
    step("zuz on Xwayland: the first view, exact; Esc; `zuz --view`")
    for program in (zuz, zonara):
        program.terminate()
        program.wait(timeout=20)
    x11 = dict(os.environ, QT_QPA_PLATFORM="xcb")
    view = middle_twice(pattern)
    d.spawn([d.program("zuz")], env=x11)
    d.shows(view, "the view of zuz on Xwayland", view=True)
    d.key(ESCAPE)
    d.shows(pattern, "the desktop after Esc", view=False)
    asked = subprocess.run([d.program("zuz"), "--view"], timeout=30, env=x11)
    assert asked.returncode == 0, asked
    d.shows(view, "the view of `zuz --view` on Xwayland", view=True)
    d.key(ESCAPE)
    d.shows(pattern, "the desktop after Esc", view=False)


def tray_steps(d):
    step("the tray icon appears (the AppIndicator extension)")
    watcher = d.bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")

    def items():
        return [str(i) for i in watcher.Get("org.kde.StatusNotifierWatcher",
                                            "RegisteredStatusNotifierItems",
                                            dbus_interface=dbus.PROPERTIES_IFACE)]
    wait_until(items, 20, "zuz's icon with the extension's watcher", interval=0.3)


def scenario_gnome(d, pattern):
    zuz = view_steps(d, pattern)
    tray_steps(d)
    editor_steps(d, pattern)
    zonara = zonara_steps(d, pattern)
    region_drag_steps(d)
    xwayland_steps(d, pattern, zuz, zonara)


def scenario_kde(d, pattern):
    zuz = view_steps(d, pattern)
    step("Ctrl+Z through the desktop's shortcut")
    d.key(ord("z"), CONTROL_L)
    d.shows(middle_twice(pattern), "the view of Ctrl+Z", view=True)
    d.key(ESCAPE)
    d.shows(pattern, "the desktop after Esc", view=False)
    editor_steps(d, pattern)
    zonara = zonara_steps(d, pattern)
    xwayland_steps(d, pattern, zuz, zonara)


def scenario_second_start(d, pattern):
    zuz = d.spawn([d.program("zuz")])
    view = middle_twice(pattern)
    d.shows(view, "the view zuz shows at its start", view=True)
    d.key(ESCAPE)
    d.shows(pattern, "the desktop after Esc", view=False)
    step("a second start of zuz brings a view")
    d.spawn([d.program("zuz")])
    d.shows(view, "the view of a second start", view=True)
    assert zuz.poll() is None, "the waiting zuz ended"


def main():
    if sys.argv[1] == "--show":
        show(sys.argv[2])
        return 0
    bin_dir, scenario = sys.argv[1], sys.argv[2]
    d = (Gnome if DESKTOP == "gnome" else Kde)(bin_dir)
    try:
        pattern = coded_pattern(d.width, d.height)
        picture = os.path.join(RUN, "pattern.png")
        pattern.save(picture)
        d.spawn([sys.executable, os.path.abspath(__file__), "--show", picture])
        d.park()
        step("the pattern fills the screen")
        d.shows(pattern, "the pattern window")
        globals()["scenario_" + scenario](d, pattern)
    finally:
        d.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
