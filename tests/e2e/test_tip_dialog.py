"""The tip dialog of zuz on a real desktop: "关于..." never opens a second
one, and opens it anew once it is closed. How it comes over the first
view and how each way of closing it carries over to the next start is
part of the first-day journey (test_journey_zuz.py)."""


from drivers.menus import close_menu, open_menu
from drivers.tipdialog import YES_CENTRE, click_in, dialog, dialog_gone, dialogs
from drivers.xsession import new_session
from drivers.zuz import zuz_with_view


def test_about_never_opens_two(args):
    w, h = 1024, 768
    with new_session(w, h) as s:
        zuz_with_view(s, args.bin, with_marker=False)
        first = dialog(s)
        for _ in range(2):
            # "关于..." is the last visible item of the view's menu.
            menus = open_menu(s, 60, 60)
            close_menu(s, ["Up", "Return"], menus)
        assert dialogs(s) == [first], dialogs(s)
        # Closed with "是", it opens anew from the menu.
        click_in(s, first, YES_CENTRE)
        dialog_gone(s)
        close_menu(s, ["Up", "Return"], open_menu(s, 60, 60))
        assert len([dialog(s)]) == 1 and len(dialogs(s)) == 1
