"""zuz's tip dialog: where its parts lie and what its check box writes."""

from drivers.session import wait_until

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


def dialogs(s, scale=1):
    size = tuple(round(v * scale) for v in SIZE)
    return [w for w, g in s.geometries("zuz") if g[2:] == size]


def dialog(s, timeout=10):
    return wait_until(lambda: dialogs(s), timeout, "the tip dialog")[0]


def dialog_gone(s, timeout=5):
    wait_until(lambda: not dialogs(s), timeout, "the tip dialog to close")


def click_in(s, wid, point):
    x, y, _, _ = s.window_geometry(wid)
    s.xdotool("mousemove", x + point[0], y + point[1], "click", 1)
