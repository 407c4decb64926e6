"""A minimal X11 clipboard manager: owns CLIPBOARD_MANAGER and, asked to
SAVE_TARGETS by a program that is about to end, copies the clipboard's
TARGETS and image/png and from then on serves them itself. Prints "ready"
once it owns CLIPBOARD_MANAGER, "saved N" once it holds a picture of N
bytes. Small pictures only (no INCR)."""

import sys

from Xlib import X, Xatom, display as xdisplay
from Xlib.protocol import event


def main():
    dpy = xdisplay.Display()
    win = dpy.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent,
                                          event_mask=X.PropertyChangeMask)
    atom = lambda name: dpy.intern_atom(name)  # noqa: E731
    manager, clipboard, targets = atom("CLIPBOARD_MANAGER"), atom("CLIPBOARD"), atom("TARGETS")
    save, png, prop = atom("SAVE_TARGETS"), atom("image/png"), atom("_MANAGER_DATA")
    win.set_selection_owner(manager, X.CurrentTime)
    dpy.sync()
    print("ready", flush=True)
    held = None

    def fetch(target):
        win.convert_selection(clipboard, target, prop, X.CurrentTime)
        while True:
            ev = dpy.next_event()
            if ev.type == X.SelectionNotify and ev.target == target:
                if ev.property == X.NONE:
                    return None
                return win.get_full_property(prop, X.AnyPropertyType).value

    def reply(ev, ok):
        dpy.send_event(ev.requestor, event.SelectionNotify(
            time=ev.time, requestor=ev.requestor, selection=ev.selection, target=ev.target,
            property=ev.property if ok else X.NONE), 0)
        dpy.flush()

    while True:
        ev = dpy.next_event()
        if ev.type != X.SelectionRequest:
            continue
        if ev.selection == manager and ev.target == save:
            offered = fetch(targets)
            data = fetch(png) if offered is not None and png in list(offered) else None
            if data is not None:
                held = bytes(data)
                win.set_selection_owner(clipboard, X.CurrentTime)
                print(f"saved {len(held)}", flush=True)
            reply(ev, data is not None)
        elif ev.selection == clipboard and held is not None and ev.target in (targets, png):
            if ev.target == targets:
                ev.requestor.change_property(ev.property, Xatom.ATOM, 32, [targets, png])
            else:
                ev.requestor.change_property(ev.property, png, 8, held)
            reply(ev, True)
        else:
            reply(ev, False)


if __name__ == "__main__":
    sys.exit(main())
