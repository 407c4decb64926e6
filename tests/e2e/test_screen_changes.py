"""Monitors that change while the programs run (Xorg's dummy driver, laid
out anew with xrandr). zuz, waiting between views: the next Ctrl+Z view
covers the monitor under the pointer as that monitor is now and shows its
middle twice, after the monitor of the last view took another mode, after
it was switched off and the desktop shrank, and once it is switched on
again elsewhere at another size; and once a view has ended, what zuz keeps
for the next capture is one shared-memory segment, the size of that
view's monitor, not one of a monitor that has changed since. A view that
is up when its monitor grows, shrinks or goes covers that monitor as it is
now (the primary one once it has gone) and keeps showing the picture it
froze. Zonara: when the monitor that holds its
button and a region window is switched off, the button comes back to the
primary monitor's corner and the window, still showing its picture, to
that monitor's middle.

As in test_monitors, every pixel of the desktop names its own root
coordinates, so a picture taken from where a monitor was, or shifted on
the right one, shows up as wrong coordinates in the failure message."""


from PIL import Image

from drivers.pictures import Findings, shown
from drivers.session import settle
from drivers.xorgsession import XorgSession
from drivers.xsession import painted
from drivers.zonara import CONTROL_SIZE, Zonara, drag_button, expect_pick
from drivers.zuz import Zuz, end_view_on, expect_view, start_zuz_on, view_on

# The primary monitor at the origin, where the tray host stands, and a
# smaller one to its right.
PRIMARY_AND_SMALL_RIGHT = [(1024, 768, 0, 0, True), (800, 600, 1024, 0, False)]
# For Zonara, the other monitor lies lower right, its top edge inside the
# desktop. The primary monitor is at the origin, as xrandr leaves a lone
# monitor.
PRIMARY_AND_LOWER_RIGHT = [(1024, 768, 0, 0, True), (800, 600, 1024, 400, False)]


def kept_segments(pid):
    """The sizes of the System V shared-memory segments the process made
    that are still attached."""
    with open("/proc/sysvipc/shm") as table:
        head = table.readline().split()
        rows = [dict(zip(head, line.split())) for line in table]
    return sorted(int(r["size"]) for r in rows if int(r["cpid"]) == pid and int(r["nattch"]) > 0)


def ctrl_z_view(f, s, zuz, monitor, what):
    """Ctrl+Z with the pointer in the middle of the monitor: the view covers
    it and shows its middle twice; then Esc, and zuz, waiting, keeps the
    capture's segment of this monitor's size only. The desktop is painted
    anew first, as the layout before may have left it another size."""
    pattern = painted(s)
    s.xdotool("mousemove", *monitor.centre, "key", "ctrl+z")
    expect_view(f, s, pattern, monitor.box, what)
    end_view_on(s, monitor.box)
    f.settle(lambda: kept_segments(zuz.proc.pid),
             lambda sizes: sizes == [monitor.w * monitor.h * 4],
             f"{what}, then waiting: one kept segment of {monitor.w}x{monitor.h} pixels")


def test_zuz_views_monitors_as_they_are_now(args):
    with XorgSession(PRIMARY_AND_SMALL_RIGHT) as s, Findings() as f:
        pattern = painted(s)
        primary, right = s.monitors
        # The start-up view lays zuz out for the right monitor's size.
        zuz = start_zuz_on(f, s, pattern, right, args.bin, "the start-up view on the right monitor")

        # The same monitor in a larger mode; the desktop grows past the size
        # it had when zuz started.
        s.relayout([primary, (1600, 1200, 1024, 0, False)])
        ctrl_z_view(f, s, zuz, s.monitors[1], "Ctrl+Z on the right monitor in its new mode")

        # The monitor of the last view goes; the desktop shrinks to the
        # primary monitor alone.
        s.relayout([primary, None])
        ctrl_z_view(f, s, zuz, s.primary, "Ctrl+Z on the primary monitor, the other one off")

        # On again, in a mode it never had, lower down.
        s.relayout([primary, (1280, 1024, 1024, 176, False)])
        ctrl_z_view(f, s, zuz, s.monitors[1], "Ctrl+Z on the monitor switched on again")
        assert zuz.proc.poll() is None, "zuz ended"


def frozen_at(monitor, was, p):
    """The root pixel a view first taken of the monitor `was` shows at the
    point p of `monitor`, its picture kept twice the monitor and centred."""
    rx, ry = p[0] - monitor.x, p[1] - monitor.y
    return (was.x + int((rx / 2 + monitor.w / 4) * was.w / monitor.w),
            was.y + int((ry / 2 + monitor.h / 4) * was.h / monitor.h))


def test_zuz_view_follows_its_monitor_while_up(args):
    with XorgSession(PRIMARY_AND_SMALL_RIGHT) as s, Findings() as f:
        pattern = painted(s)
        primary, right = s.monitors
        zuz = Zuz(s, args.bin)
        s.xdotool("mousemove", *right.centre)
        zuz.start()
        expect_view(f, s, pattern, right.box, "the start-up view on the right monitor")
        # Larger, smaller, then gone: the view covers its monitor as it is
        # now and goes on showing the picture it froze, nowhere the live
        # desktop; where the monitor has gone, it covers the primary one.
        for layout, what in (([primary, (1280, 1024, 1024, 0, False)], "grown"),
                             ([primary, (640, 480, 1024, 0, False)], "shrunk"),
                             ([primary, None], "switched off")):
            s.relayout(layout)
            monitor = s.monitors[-1] if layout[-1] else s.primary
            view_on(s, monitor.box)
            points = [(monitor.x + monitor.w * i // 8, monitor.y + monitor.h * j // 8)
                      for i in (1, 4, 6) for j in (1, 4, 7)]
            f.settle(lambda: [shown(s, *p) for p in points],
                     lambda got: all(abs(g[0] - w[0]) <= 2 and abs(g[1] - w[1]) <= 2
                                     for g, w in zip(got, (frozen_at(monitor, right, p)
                                                           for p in points))),
                     f"the view of the right monitor, {what}, still showing its picture "
                     f"at {points}")
        assert zuz.proc.poll() is None, "zuz ended"


def test_zonara_returns_from_a_monitor_switched_off(args):
    # openbox by itself pushes a window that no monitor shows back until a
    # sliver of it shows; the button must still come back to its corner.
    with XorgSession(PRIMARY_AND_LOWER_RIGHT) as s, Findings() as f:
        pattern = painted(s)
        primary, other = s.monitors
        z = Zonara.in_own_folder(s, args.bin)
        drag_button(s, z, (other.x + 60, other.y + other.h - 60))
        box, _ = z.open_picker(pattern)
        assert box == other.box, f"picker covers {box}, want {other.box}, under the button"
        a, b = (1150, 450), (1211, 491)
        size = s.window_geometry(expect_pick(f, s, z, pattern, a, b, other))[2:]
        settle(z.control_centre, lambda c: s.monitor_at(*c) == other,
               "the button back on the other monitor after the pick")

        # The framebuffer keeps its size: where the other monitor was is
        # still root window, so the windows there are on the desktop, yet
        # on no monitor.
        s.relayout([primary, None], fb=(s.width, s.height))
        corner = (primary.x + primary.w - CONTROL_SIZE, primary.y + primary.h - 60)
        f.settle(lambda: s.window_geometry(z.control)[:2], lambda p: p == corner,
                 f"the button in the primary monitor's corner {corner}", timeout=5)
        w, h = size
        centred = (primary.x + (primary.w - w) // 2, primary.y + (primary.h - h) // 2, w, h)
        if f.settle(lambda: [g for _, g in z.region_windows()], lambda gs: centred in gs,
                    f"the region window at {centred}, centred on the primary monitor",
                    timeout=5):
            big = pattern.crop(a + b).resize((2 * (b[0] - a[0]), 2 * (b[1] - a[1])),
                                            Image.NEAREST)
            f.picture(s, (centred[0] + 1, centred[1] + 1) + big.size, big,
                      "the region window's picture on the primary monitor")
        assert z.proc.poll() is None, "Zonara ended"
