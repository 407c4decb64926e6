"""The tip dialog of zuz on a real desktop: the first start without the
marker file shows it on top of a view that is not topmost; ticking its box
writes the marker and closes it, and the next start shows none; "是"
closes it and leaves no file, so it comes back; "关于..." never opens a
second one."""

import os
import sys
import time

from test_tray_icon import close_menu, open_menu, quit_from_menu
from xsession import main, wait_until
from zuzdriver import MARKER, Zuz, new_session

SIZE = (455, 342)  # 6825 x 5130 twips at 96 dpi
BACK = (128, 128, 255)  # &H00FF8080&
CHECKBOX_CENTRE = (99 + 128, 248 + 12)  # left (6825-3855)/2, top 3720, 3855 x 375 twips
YES_CENTRE = (208 + 33, 280 + 23)  # Imyes at 2760, 4200, 1005 x 690 twips

EXPECTED_MARKER = "\r\n\r\n".join([
    " 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！ ",
    "按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键或双击取消，鼠标移到屏幕上边工具按钮",
    "按“Ctrl+Z”键再次放大！",
    "或在屏幕右下角“岚”字图标上按右键！",
]).encode("utf-8") + b"\r\n"


def dialogs(s):
    return [w for w, g in s.geometries("zuz") if g[2:] == SIZE]


def dialog(s, timeout=10):
    return wait_until(lambda: dialogs(s), timeout, "the tip dialog")[0]


def dialog_gone(s, timeout=5):
    wait_until(lambda: not dialogs(s), timeout, "the tip dialog to close")


def click_in(s, wid, point):
    x, y, _, _ = s.window_geometry(wid)
    s.xdotool("mousemove", x + point[0], y + point[1], "click", 1)


def first_start_tick_next_start(args):
    w, h = 1024, 768
    with new_session(w, h) as s:
        zuz = Zuz(s, args.bin, with_marker=False)
        marker = os.path.join(zuz.folder, MARKER)
        zuz.start()
        view = zuz.view_window()
        wid = dialog(s)
        # The dialog is on top and centred; the view under it is not.
        assert "_NET_WM_STATE_ABOVE" in s.net_wm_state(wid), s.net_wm_state(wid)
        assert "_NET_WM_STATE_ABOVE" not in s.net_wm_state(view), s.net_wm_state(view)
        x, y, dw, dh = s.window_geometry(wid)
        assert abs(x + dw / 2 - w / 2) <= 1 and abs(y + dh / 2 - h / 2) <= 1, (x, y)
        wait_until(lambda: s.screenshot((x + 5, y + dh - 5, 1, 1)).getpixel((0, 0)) == BACK,
                   10, "the dialog's background on the screen")
        assert not os.path.exists(marker)

        click_in(s, wid, CHECKBOX_CENTRE)
        wait_until(lambda: os.path.exists(marker), 10, "the marker file")
        dialog_gone(s)
        with open(marker, "rb") as f:
            assert f.read() == EXPECTED_MARKER
        assert zuz.proc.poll() is None

        quit_from_menu(s, zuz)
        wait_until(lambda: zuz.proc.poll() is not None, 10, "zuz to end")

        # The next start: the view on top, no dialog.
        zuz.start()
        view = zuz.view_window()
        wait_until(lambda: "_NET_WM_STATE_ABOVE" in s.net_wm_state(view), 10, "a topmost view")
        deadline = time.monotonic() + 1.5
        while time.monotonic() < deadline:
            assert not dialogs(s), "the dialog came back"
            time.sleep(0.05)


def yes_closes_and_it_comes_back(args):
    w, h = 1024, 768
    with new_session(w, h) as s:
        zuz = Zuz(s, args.bin, with_marker=False)
        marker = os.path.join(zuz.folder, MARKER)
        zuz.start()
        zuz.view_window()
        click_in(s, dialog(s), YES_CENTRE)
        dialog_gone(s)
        assert not os.path.exists(marker)
        quit_from_menu(s, zuz, at=(100, 100))
        wait_until(lambda: zuz.proc.poll() is not None, 10, "zuz to end")
        zuz.start()
        zuz.view_window()
        dialog(s)
        assert not os.path.exists(marker)


def about_never_opens_two(args):
    w, h = 1024, 768
    with new_session(w, h) as s:
        zuz = Zuz(s, args.bin, with_marker=False)
        zuz.start()
        zuz.view_window()
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


if __name__ == "__main__":
    sys.exit(main([first_start_tick_next_start, yes_closes_and_it_comes_back,
                   about_never_opens_two]))
