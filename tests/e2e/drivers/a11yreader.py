"""Reads the accessibility bus as a screen reader does, in a process of its
own so that each reading starts afresh on the session it is given (its
DISPLAY and session bus):

    python3 a11yreader.py tree            the applications' trees, as JSON
    python3 a11yreader.py press APP NAME  the press action of APP's push
                                          button NAME; prints "pressed"

A node is {"role", "name", "showing", "actions", "children"}."""

import json
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

DEPTH = 12


def node(acc, depth=0):
    states = acc.get_state_set()
    actions = []
    action = acc.get_action_iface()
    if action:
        actions = [action.get_action_name(i) for i in range(action.get_n_actions())]
    children = []
    if depth < DEPTH:
        for i in range(acc.get_child_count()):
            child = acc.get_child_at_index(i)
            if child is not None:
                children.append(node(child, depth + 1))
    return {"role": acc.get_role_name(), "name": acc.get_name(),
            "showing": states.contains(Atspi.StateType.SHOWING),
            "actions": actions, "children": children}


def applications():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None:
            yield app


def find(acc, role, name):
    if acc.get_role_name() == role and acc.get_name() == name:
        return acc
    for i in range(acc.get_child_count()):
        child = acc.get_child_at_index(i)
        found = child is not None and find(child, role, name)
        if found:
            return found
    return None


def main(argv):
    if argv[1] == "tree":
        print(json.dumps([node(app) for app in applications()], ensure_ascii=False))
        return 0
    if argv[1] == "press":
        for app in applications():
            if app.get_name() != argv[2]:
                continue
            button = find(app, "push button", argv[3])
            if button:
                action = button.get_action_iface()
                names = [action.get_action_name(i) for i in range(action.get_n_actions())]
                action.do_action(names.index("Press"))
                print("pressed")
                return 0
        return 1
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
