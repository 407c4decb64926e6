"""What a screen reader hears of the real programs, read over the
accessibility bus (AT-SPI) as Orca reads it: the first start's tip dialog
with its check box and its picture button, which a reader's press closes;
the view with its six small buttons; Zonara's button and its enlarged
window. In Chinese, and under an English desktop. The windows are heard
by their names (Qt gives a plain window the role "filler"); the tray icon
is an embedded window of its own that Qt keeps off the bus, and says what
it does in its tip (tst_names)."""

import os

import pytest

from drivers.menus import choose
from drivers.screenreader import press, start_reader_bus, tree, why_no_reader
from drivers.session import settle
from drivers.tipdialog import dialog, dialog_gone
from drivers.xsession import new_session
from drivers.zonara import MARKER as ZONARA_MARKER, Zonara
from drivers.zuz import end_view, zuz_with_view

# Roles of what a user operates.
OPERATED = ("push button", "check box", "radio button", "combo box", "text", "spin button")

CHINESE = {
    "check": "知道了。以后别再烦我了！！", "leave": "离开", "view": "放大的屏幕",
    "buttons": ["手工画框标记", "取消本次放大[可按X键]", "宽-", "高-", "宽+", "高+"],
    "control": "自定义区域", "region": "放大的区域",
}
ENGLISH = {
    "check": "Got it. Don't show this again!", "leave": "Leave", "view": "Zoomed screen",
    "buttons": ["Mark by drawing a frame", "Cancel this zoom [or press X]", "W-", "H-", "W+",
                "H+"],
    "control": "Custom area", "region": "Zoomed region",
}


def nodes(node, showing_only=True):
    """Every node under node, itself included, that shows."""
    if showing_only and not node["showing"] and node["role"] != "application":
        return
    yield node
    for child in node["children"]:
        yield from nodes(child, showing_only)


def heard(s, program):
    """(role, name) of what shows of the program, and its nodes; empty
    while the program is not on the bus."""
    for app in tree(s):
        if app["name"] == program:
            found = list(nodes(app))
            return {(n["role"], n["name"]) for n in found}, found
    return set(), []


def hears(s, program, wanted, what):
    """Waits until every (role, name) wanted shows; the nodes then."""
    return settle(lambda: heard(s, program), lambda h: set(wanted) <= h[0], what, 15, 0.2)[1]


def reader_session(language):
    why = why_no_reader()
    if why:
        pytest.skip(why)
    s = new_session(1024, 768)
    why = start_reader_bus(s)
    if why:
        s.close()
        pytest.skip(why)
    s.env["LANGUAGE"] = language
    return s


def check_programs(args, language, t):
    with reader_session(language) as s:
        # The first start: the tip dialog over the view.
        zuz = zuz_with_view(s, args.bin, with_marker=False)
        dialog(s)
        found = hears(s, "zuz", [("check box", t["check"]), ("push button", t["leave"])],
                      "the tip dialog's check box and button")
        leave = next(n for n in found if n["name"] == t["leave"])
        assert "Press" in leave["actions"], leave["actions"]
        # The reader's press leaves the dialog as a click does.
        press(s, "zuz", t["leave"])
        dialog_gone(s)

        # "自定义zuz" adds the four size buttons to the two the view has.
        choose(s, 600, 400, 5)
        found = hears(s, "zuz", [("push button", b) for b in t["buttons"]],
                      "the view's six buttons")
        # The view is one of the program's windows, heard by its name.
        view = next(n for n in found[0]["children"] if n["name"] == t["view"])
        inside = {n["name"] for n in nodes(view) if n["role"] == "push button"}
        assert set(t["buttons"]) <= inside, inside
        unnamed = [n["role"] for n in found if n["role"] in OPERATED and not n["name"]]
        assert not unnamed, f"controls without a name: {unnamed}"
        end_view(s, zuz)

        # Zonara's button, then its enlarged window after a pick.
        open(os.path.join(zuz.folder, ZONARA_MARKER), "wb").close()
        z = Zonara(s, zuz.folder)
        hears(s, "Zonara", [("push button", t["control"])], "Zonara's button")
        z.click_control()
        z.drag((200, 150), (261, 191))
        found = settle(lambda: heard(s, "Zonara")[1],
                       lambda f: f and t["region"] in {n["name"] for n in f[0]["children"]},
                       "the enlarged window among Zonara's windows", 15, 0.2)
        unnamed = [n["role"] for n in nodes(found[0]) if n["role"] in OPERATED and not n["name"]]
        assert not unnamed, f"controls without a name: {unnamed}"


def test_chinese(args):
    check_programs(args, "zh_CN", CHINESE)


def test_english(args):
    check_programs(args, "en_GB:en", ENGLISH)
