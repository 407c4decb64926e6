"""zuz's icon in the notification area of an X tray host."""

from Xlib import X

from drivers.session import wait_until


def tray_icon(s, timeout=10):
    """The icon's window: a small zuz window embedded (reparented) into the
    tray host and mapped. Returns (window id, box on the screen)."""
    def find():
        for wid in s.windows(cls="zuz", visible=False):
            x, y, w, h = s.window_geometry(wid)
            if w > 64 or h > 64:
                continue
            win = s.dpy.create_resource_object("window", wid)
            try:
                if win.get_attributes().map_state != X.IsViewable:
                    continue
                parent = win.query_tree().parent
            except Exception:
                continue
            if parent.id != s.root.id:
                return wid, (x, y, w, h)
        return None
    return wait_until(find, timeout, "the zuz icon embedded in the tray")


def icon_gone(s, timeout=3):
    def gone():
        for wid in s.windows(cls="zuz", visible=False):
            _, _, w, h = s.window_geometry(wid)
            if w <= 64 and h <= 64:
                win = s.dpy.create_resource_object("window", wid)
                try:
                    if win.get_attributes().map_state == X.IsViewable:
                        return False
                except Exception:
                    pass
        return True
    wait_until(gone, timeout, "the tray icon to go")


def press_icon(s, while_held, attempts=1):
    """A right-button press on the icon, held while while_held() runs (a
    view comes on the press), whose value it returns; pressed anew up to
    `attempts` times in all, as a tray host that has just embedded the
    icon may still move it."""
    for attempt in range(attempts):
        _, (x, y, w, h) = tray_icon(s)
        s.xdotool("mousemove", x + w // 2, y + h // 2, "mousedown", 3)
        try:
            return while_held()
        except AssertionError:
            if attempt == attempts - 1:
                raise
        finally:
            s.xdotool("mouseup", 3)
