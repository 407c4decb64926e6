"""zuz's context menus, driven as a user drives them: a right-click, then
keys."""

from drivers.session import wait_until


def open_menu(s, x, y, attempts=4, wait=2.5):
    """Right-clicks until a menu is up and returns its windows: a click
    that comes while a menu that just closed still holds the pointer is
    lost, and on a loaded machine a right-click sent the moment the view
    is mapped was seen to bring no menu. A user would click again, and so
    does this, though never while a menu is up, which the click would
    close; `wait` is how long a click is given to bring one."""
    before = set(s.windows(cls="zuz"))

    def menu():
        return set(s.windows(cls="zuz")) - before
    for attempt in range(attempts):
        up = menu()
        if up:
            return up
        s.xdotool("mousemove", x, y, "click", 3)
        try:
            return wait_until(menu, wait, "the context menu")
        except AssertionError:
            if attempt == attempts - 1:
                raise


def close_menu(s, keys, menus):
    s.xdotool("key", *keys)
    wait_until(lambda: not (set(s.windows(cls="zuz")) & set(menus)), 10, "the menu to close")


def choose(s, x, y, downs, attempts=3, wait=10):
    """Right-click at (x, y) and pick the menu item `downs` rows down. A
    menu that comes late must not meet a second click, which would take
    the wrong row: a slow machine is given the time."""
    open_menu(s, x, y, attempts, wait)
    s.xdotool("key", *(["Down"] * downs), "Return")


def quit_from_menu(s, zuz, at=None):
    """Right-click on the view and choose "退出！！！" (third item)."""
    zuz.view_window()
    x, y = at or (s.width // 3, s.height // 3)
    open_menu(s, x, y)
    s.xdotool("key", "Down", "Down", "Down", "Return")
