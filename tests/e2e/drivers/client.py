"""Another X client beside the programs: a plain window that takes the
focus and records the keys it is given."""

from Xlib import X, XK, display as xdisplay

from drivers.session import wait_until

MAGENTA = (230, 20, 200)


class Client:
    """Another X client: a plain window of one colour that takes the focus
    and records the key presses it is given."""

    def __init__(self, s, box):
        self.s = s
        self.dpy = xdisplay.Display(s.display_name)
        screen = self.dpy.screen()
        colour = self.dpy.screen().default_colormap.alloc_color(
            *(c * 257 for c in MAGENTA)).pixel
        x, y, w, h = box
        self.win = screen.root.create_window(
            x, y, w, h, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
            background_pixel=colour, event_mask=X.KeyPressMask | X.ExposureMask)
        self.win.set_wm_name("other client")
        self.win.set_wm_class("otherclient", "OtherClient")
        self.win.set_wm_hints(flags=1, input=1)  # InputHint: takes the focus
        self.win.map()
        self.dpy.sync()
        self.keys = []
        wait_until(lambda: s.windows(name="other client"), 10, "the other client's window")

    def focus(self):
        self.s.xdotool("windowactivate", "--sync", self.win.id)
        wait_until(lambda: self.s.dpy.get_input_focus().focus.id == self.win.id, 5,
                   "the other client to have the focus")

    def pump(self):
        while self.dpy.pending_events():
            ev = self.dpy.next_event()
            if ev.type == X.KeyPress:
                sym = self.dpy.keycode_to_keysym(ev.detail, 0)
                self.keys.append((XK.keysym_to_string(sym), ev.state))
        return self.keys

    def got_z(self):
        return [k for k in self.pump() if k[0] == "z"]

    def close(self):
        self.win.destroy()
        self.dpy.close()


def hold_ctrl_z(s):
    """Another client's connection that grabs Ctrl+Z before zuz can and is
    given its presses; close it to let go."""
    other = xdisplay.Display(s.display_name)
    root = other.screen().root
    root.grab_key(other.keysym_to_keycode(XK.string_to_keysym("z")), X.ControlMask, False,
                  X.GrabModeAsync, X.GrabModeAsync)
    root.change_attributes(event_mask=X.KeyPressMask)
    other.sync()
    return other
