"""The steps of the desktop tests (test_desktops.py), run inside a GNOME
Shell or KWin session as the session's user; drivers/desktops.py says how
the screen is read and input is given there.

usage: desktopsteps.py BIN_DIR SCENARIO    (exit status 0: all steps passed)
       desktopsteps.py --show PICTURE      (a full-screen window showing it)"""

import io
import os
import subprocess
import sys
import time

import dbus
from PIL import Image, ImageOps

from drivers.desktops import CONTROL, CONTROL_L, DOWN, ESCAPE, RETURN, RUN, desktop, step
from drivers.pictures import coded_pattern, difference_box, middle_twice
from drivers.session import wait_until


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


def escape(d, pattern):
    d.key(ESCAPE)
    d.shows(pattern, "the desktop after Esc", view=False)


def view_steps(d, pattern):
    view = middle_twice(pattern)
    zuz = d.spawn([d.program("zuz")])
    step("the first view, exact")
    d.shows(view, "the view zuz shows at its start", view=True)
    step("I inverts the view's colours exactly, and again back")
    d.key(ord("i"))
    d.shows(ImageOps.invert(view), "the inverted view")
    d.key(ord("i"))
    d.shows(view, "the view's own colours")
    step("Esc ends it")
    escape(d, pattern)
    step("`zuz --view`")
    asked = subprocess.run([d.program("zuz"), "--view"], timeout=30)
    assert asked.returncode == 0, asked
    d.shows(view, "the view of `zuz --view`", view=True)
    escape(d, pattern)
    assert zuz.poll() is None, "the waiting zuz ended"
    return zuz


def zonara_steps(d, pattern):
    step("Zonara's pick, exact on the clipboard")
    zonara = d.spawn([d.program("Zonara")])
    # Its button on the screen: from then on --pick goes to it.
    face = button_face(d, pattern)
    asked = subprocess.run([d.program("Zonara"), "--pick"], timeout=30)
    assert asked.returncode == 0, asked
    a, b = (100, 120), (300, 260)
    want = pattern.crop((a[0], a[1], b[0], b[1]))
    d.picking(pattern)
    d.drag(a, b)

    def picked():
        # The editor's steps before left the whole screen there.
        data = d.clipboard()
        got = Image.open(io.BytesIO(data)).convert("RGB") if data else None
        return got if got and got.size == want.size else None
    try:
        got = wait_until(picked, 15, "the picked region on the clipboard", interval=0.3)
    except AssertionError:
        raise AssertionError("no picture of the region on the clipboard; the screen is in "
                             f"failed.png, windows: {getattr(d, 'windows', list)()}") from None
    assert not difference_box(got, want, (0, 0) + want.size), "the clipboard's picture differs"
    return zonara, face


def button_face(d, pattern):
    """The pixels of the one window on the pattern, the button, once two
    looks agree: the compositor may be fading it in."""
    box, seen = d.compared(), []

    def steady():
        shot = d.screenshot()
        at = difference_box(shot, pattern, box)
        seen.append(shot.crop(at) if at else None)
        face, before = seen[-1], seen[-2] if len(seen) > 1 else None
        if not face or not before or face.size != (CONTROL, CONTROL) or before.size != face.size:
            return None
        return None if difference_box(face, before, (0, 0) + face.size) else face
    return wait_until(steady, 30, "Zonara's button", interval=0.3)


def second_pick_steps(d, pattern, face_before):
    step("a pick over the region window: the frozen screen shows neither it nor the button")
    # The compositor would fade both out, whole at first, into its picture.
    asked = subprocess.run([d.program("Zonara"), "--pick"], timeout=30)
    assert asked.returncode == 0, asked
    d.picking(pattern)
    d.key(ESCAPE)
    step("Esc: the button back, as it looked before the picks")
    face = button_face(d, pattern)
    assert not difference_box(face, face_before, (0, 0) + face.size), "the button's face"


def open_editor(d, view):
    """A view by `zuz --view`, and the editor over it by its pencil."""
    asked = subprocess.run([d.program("zuz"), "--view"], timeout=30)
    assert asked.returncode == 0, asked
    d.shows(view, "the view of `zuz --view`", view=True)
    # The pencil, at the view's top-right corner.
    views = d.full_screen_windows("zuz")
    d.pointer_to(d.width - 12, 12)
    d.button(True)
    d.button(False)
    d.park()
    # The editor takes its picture through the portal before it shows.
    d.replaced("zuz", views)
    # The editor covers the screen with the view's picture and its toolbar.
    middle = (d.width // 4, d.height // 4, 3 * d.width // 4, 3 * d.height // 4)

    def editing():
        shot = d.screenshot()
        return (difference_box(shot, view, d.compared())
                and not difference_box(shot, view, middle))
    wait_until(editing, 20, "the editor over the view's picture", interval=0.3)


def editor_steps(d, pattern):
    step("the editor opened on a view")
    view = middle_twice(pattern)
    open_editor(d, view)
    # A double-click closes it.
    d.pointer_to(d.width // 2, d.height // 2)
    for _ in range(2):
        d.button(True)
        d.button(False)
    d.park()
    d.shows(pattern, "the desktop after the editor", view=False)
    open_editor(d, view)
    drawing_steps(d, view)
    # With a pen a double-click draws: the menu's first item closes it.
    cx, cy = d.width // 2, d.height // 2
    d.pointer_to(cx, cy)
    d.button(True, 3)
    d.button(False, 3)
    wait_until(lambda: difference_box(d.screenshot(), view, (cx, cy, cx + 80, cy + 40)), 20,
               "the editor's menu", interval=0.3)
    d.key(DOWN)
    d.key(RETURN)
    d.park()
    d.shows(pattern, "the desktop after the editor's menu closed it", view=False)


def drawing_steps(d, view):
    """A red stroke by its key and a drag, the copy at the screen's full
    size, and zuz's Ctrl+Z (the desktop's shortcut on KDE) undoing it."""
    step("a stroke drawn, copied and undone in the editor")
    x0, y0, x1, y1 = d.compared()
    below = (x0, 48, x1, y1)  # the toolbar may still show along the top
    stroke = (90, 140, 310, 200)
    d.key(ord("r"))
    d.drag((100, 150), (300, 190))

    def drawn():
        shot = d.screenshot()
        outside = shot.copy()
        outside.paste(view.crop(stroke), stroke[:2])
        red = sum(1 for p in shot.crop(stroke).getdata() if p[0] > 200 and p[1] < 30 and p[2] < 30)
        return shot if red >= 200 and not difference_box(outside, view, below) else None
    shot = wait_until(drawn, 20, "the red stroke alone", interval=0.3)
    d.key(ord("c"), CONTROL_L)
    copied = wait_until(d.clipboard, 10, "the picture on the clipboard")
    copied = Image.open(io.BytesIO(copied)).convert("RGB")
    assert copied.size == (d.width, d.height), copied.size
    assert not difference_box(copied, shot, stroke), "the copy differs from the screen"
    d.key(ord("z"), CONTROL_L)
    wait_until(lambda: not difference_box(d.screenshot(), view, below), 20, "the stroke undone",
               interval=0.3)


def region_drag_steps(d):
    step("the region window shown and dragged")

    def region():
        found = [w for w in d.windows() if w[0] == "Zonara" and not w[1]
                 and (w[2], w[3]) != (CONTROL, CONTROL)]
        return found[0] if found else None
    def placed():
        # A new window reads (0, 0) until the compositor has placed it (GNOME):
        # the drag starts once it stands still elsewhere.
        first = region()
        time.sleep(0.3)
        return first if first and region() == first and first[4:6] != [0, 0] else None
    before = wait_until(placed, 20, "the magnified region placed")
    start = (before[4] + 12, before[5] + 12)
    by = (150, 100)
    d.drag(start, (start[0] + by[0], start[1] + by[1]), steps=8)

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
    escape(d, pattern)
    asked = subprocess.run([d.program("zuz"), "--view"], timeout=30, env=x11)
    assert asked.returncode == 0, asked
    d.shows(view, "the view of `zuz --view` on Xwayland", view=True)
    escape(d, pattern)


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
    zonara, face = zonara_steps(d, pattern)
    region_drag_steps(d)
    second_pick_steps(d, pattern, face)
    xwayland_steps(d, pattern, zuz, zonara)


def scenario_kde(d, pattern):
    zuz = view_steps(d, pattern)
    step("Ctrl+Z through the desktop's shortcut")
    d.key(ord("z"), CONTROL_L)
    d.shows(middle_twice(pattern), "the view of Ctrl+Z", view=True)
    escape(d, pattern)
    editor_steps(d, pattern)
    zonara, face = zonara_steps(d, pattern)
    second_pick_steps(d, pattern, face)
    xwayland_steps(d, pattern, zuz, zonara)


def scenario_second_start(d, pattern):
    zuz = d.spawn([d.program("zuz")])
    view = middle_twice(pattern)
    d.shows(view, "the view zuz shows at its start", view=True)
    escape(d, pattern)
    step("a second start of zuz brings a view")
    d.spawn([d.program("zuz")])
    d.shows(view, "the view of a second start", view=True)
    assert zuz.poll() is None, "the waiting zuz ended"


def main():
    if sys.argv[1] == "--show":
        show(sys.argv[2])
        return 0
    bin_dir, scenario = sys.argv[1], sys.argv[2]
    d = desktop(bin_dir)
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
