"""Both Windows programs under Wine, in a Wine virtual desktop on a private
X server, over a known picture that a Windows program of the tests shows
(a capture under Wine sees only Wine's own windows): Zonara's pick puts
the picked pixels on the Windows clipboard, and so does a pick made while
a clipboard owner that hangs holds the clipboard and a region window has
asked it for its picture; its "Snarell" starts
Derudovudi.exe, whose click puts the whole screen on the clipboard and into
a PNG in the pictures folder; its "全屏放大" starts zuz.exe,
which shows the screen magnified twice; after Esc, Ctrl+Z through
RegisterHotKey brings a new view, and over it the editor draws a stroke,
copies the whole picture and undoes the stroke by Ctrl+Z; zuz's icon shows and blinks in the
notification area of Wine's taskbar, and a right-button press on it
brings a new view; later starts `zuz.exe --view` and `Zonara.exe --pick`
hand their request to the running programs: a view and the picker, not
the hint box."""

import os
import shutil
import subprocess
import time

from PIL import Image
import Xlib.error
from Xlib import X

from drivers.pictures import colour_close
from drivers.session import wait_until
from drivers.xsession import XSession

WIDTH, HEIGHT = 1024, 700  # the Wine desktop: Windows' screen
# The pattern leaves the bottom of the screen to Wine's taskbar, where the
# notification area is.
PATTERN_HEIGHT = 680
DESKTOP = f"/desktop=e2e,{WIDTH}x{HEIGHT}"


# Away from the middle, where Zonara's region window may be in the
# picture, and from the corners, where buttons are.
POINTS = [(100, 100), (150, 400), (800, 450), (300, 600), (640, 120)]


def pattern_colour(x, y):
    """The colour winhelper's pattern has at a point of the Windows screen."""
    return ((x * 255) // (WIDTH - 1), (y * 255) // (PATTERN_HEIGHT - 1), 128)


def shows(s, mapping, what, timeout=30):
    """Waits until the screen shows the pattern through mapping (screen point
    -> pattern point) at points away from the view's buttons."""
    points = POINTS
    seen = {}

    def check():
        shot = s.screenshot((0, 0, WIDTH, HEIGHT))
        seen.update({p: (shot.getpixel(p), pattern_colour(*mapping(*p))) for p in points})
        return all(colour_close(got, want, 6) for got, want in seen.values())
    try:
        wait_until(check, timeout, what, interval=0.2)
    except AssertionError as e:
        raise AssertionError(f"{e}; (point: (seen, expected)) {seen}") from None


def looks(s, mapping, invert=False):
    shot = s.screenshot((0, 0, WIDTH, HEIGHT))

    def want(p):
        colour = pattern_colour(*mapping(*p))
        return tuple(255 - c for c in colour) if invert else colour
    return all(colour_close(shot.getpixel(p), want(p), 6) for p in POINTS)


def end_view(s):
    """Esc on the view, until the plain pattern shows again."""
    act_until(lambda: s.xdotool("mousemove", 100, 600, "click", 1, "key", "Escape"),
              lambda: looks(s, plain), 60, "the view to end")


def tray_icon(s):
    """Where zuz's icon is in the notification area at the right end of
    Wine's taskbar: the box of what differs from the bar's background."""
    left, top = 900, HEIGHT - 19
    shot = s.screenshot((left, top, WIDTH - left, 18))
    background = max(shot.getcolors(shot.width * shot.height))[1]
    diff = Image.new("L", shot.size)
    diff.putdata([0 if c == background else 255 for c in shot.getdata()])
    found = diff.getbbox()
    if not found:
        return None
    x0, y0, x1, y1 = found
    if not (8 <= x1 - x0 <= 32 and 8 <= y1 - y0 <= 32):
        return None
    return (left + x0, top + y0, x1 - x0, y1 - y0)


def plain(x, y):
    return x, y


def twice(x, y):
    return WIDTH // 4 + x // 2, HEIGHT // 4 + y // 2


class Wine:
    def __init__(self, session, prefix):
        self.s = session
        self.env = dict(session.env, WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("QT_QPA_PLATFORM", None)
        self.kill()
        shutil.rmtree(prefix, ignore_errors=True)
        subprocess.run(["wineboot", "-i"], env=self.env, check=True, timeout=180,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, *argv):
        """Starts a Windows program in the virtual desktop."""
        proc = subprocess.Popen(["wine", "explorer", DESKTOP, *map(str, argv)], env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.s.procs.append(proc)

    def kill(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def desktop(self):
        found = self.s.windows(name="e2e - Wine desktop")
        return found[0] if found else None

    def windows(self, exe):
        """Mapped X windows of a program inside the desktop: (id, x, y, w, h);
        none while the desktop is not (or no longer) there, so that callers
        wait for it as for the program."""
        out = []
        wid = self.desktop()
        if wid is None:
            return out
        try:
            children = self.s.dpy.create_resource_object("window", wid).query_tree().children
        except Xlib.error.XError:
            return out
        for child in children:
            try:
                cls = child.get_wm_class()
                attrs = child.get_attributes()
            except Exception:
                continue
            if cls and cls[0].lower() == exe.lower() and attrs.map_state == X.IsViewable:
                out.append((child.id, *self.s.window_geometry(child.id)))
        return out


def running(exe):
    """Whether a Wine process runs the program file."""
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().decode(errors="replace")
        except OSError:
            continue
        if cmd.split("\0")[0].lower().endswith("\\" + exe.lower()):
            return True
    return False


def act_until(action, done, timeout, what, every=5.0):
    """Does action, and again every `every` seconds, until done() is true: a
    program whose window is up may not take input yet."""
    last = [None]

    def check():
        if done():
            return True
        now = time.monotonic()
        if last[0] is None or now - last[0] > every:
            last[0] = now
            action()
        return False
    wait_until(check, timeout, what, interval=0.2)


def menu_item(s, wine, x, y, downs):
    """Picks the item `downs` rows down Zonara's menu."""
    before = len(wine.windows("Zonara.exe"))
    act_until(lambda: s.xdotool("mousemove", x, y, "click", 3),
              lambda: len(wine.windows("Zonara.exe")) > before, 60, "Zonara's menu")
    for _ in range(downs):
        s.xdotool("key", "Down")
    s.xdotool("key", "Return")


def pictures(s, prefix):
    """Capture files in the Windows user's pictures folder, which Wine may
    lead to the Unix one. Wine takes its language from the environment, so
    the name may be the English one."""
    found = []
    for root in (os.path.join(prefix, "drive_c", "users"), s.tmp):
        # The user's folders there are links into the home folder the
        # prefix was made for.
        for folder, _, names in os.walk(root, followlinks=True):
            found += [os.path.join(folder, n) for n in names
                      if n.startswith(("截图 ", "Screenshot ")) and n.endswith(".png")]
    return sorted(set(map(os.path.realpath, found)))


def readable(path):
    try:
        image = Image.open(path)
        image.load()
        return image.convert("RGB")
    except Exception:
        return None


def read_clipboard(wine, helper, folder):
    out = os.path.join(folder, "clipboard.bmp")
    # A second read must not find the first one's file.
    if os.path.exists(out):
        os.remove(out)
    wine.start(helper, "clipboard", "Z:" + out.replace("/", "\\"))
    wait_until(lambda: os.path.exists(out), 30, "the clipboard read back")
    if os.path.getsize(out) == 0:
        raise AssertionError("the Windows clipboard holds no bitmap")
    return Image.open(out).convert("RGB")


def red_pixels(picture, box):
    return sum(1 for p in picture.crop(box).getdata() if p[0] > 200 and p[1] < 30 and p[2] < 30)


def draw_in_the_editor(s, wine, helper):
    """The view's pencil opens the editor; a red stroke by its key and a
    drag; Ctrl+C copies the whole picture; Ctrl+Z, held by RegisterHotKey,
    undoes the stroke instead of freezing a new view; the menu closes it."""
    views = {w[0] for w in wine.windows("zuz.exe") if w[3] >= WIDTH}
    act_until(lambda: s.xdotool("mousemove", WIDTH - 12, 12, "click", 1),
              lambda: {w[0] for w in wine.windows("zuz.exe") if w[3] >= WIDTH} - views, 60,
              "the editor")
    stroke = (90, 190, 310, 250)
    act_until(lambda: (s.xdotool("mousemove", 400, 500, "key", "r"),
                       s.drag((100, 200), (300, 240), steps=6)),
              lambda: red_pixels(s.screenshot((0, 0, WIDTH, HEIGHT)), stroke) >= 200, 60,
              "a red stroke")
    s.xdotool("mousemove", 400, 500, "key", "ctrl+c")
    copied = wait_until(lambda: (lambda p: p if red_pixels(p, stroke) >= 200 else None)(
        read_clipboard(wine, helper, s.tmp)), 30, "the stroke on the clipboard")
    assert copied.size == (WIDTH, HEIGHT), copied.size
    s.xdotool("key", "ctrl+z")
    wait_until(lambda: red_pixels(s.screenshot((0, 0, WIDTH, HEIGHT)), stroke) == 0, 30,
               "the stroke undone")
    assert looks(s, twice), "Ctrl+Z changed more than the stroke"
    # A double-click with the pen draws: the menu's first item closes it.
    before = len(wine.windows("zuz.exe"))
    act_until(lambda: s.xdotool("mousemove", WIDTH // 2, HEIGHT // 2, "click", 3),
              lambda: len(wine.windows("zuz.exe")) > before, 60, "the editor's menu")
    s.xdotool("key", "Down", "key", "Return")
    wait_until(lambda: looks(s, plain), 30, "the desktop after the editor")


def test_both_programs_under_wine(args):
    with XSession(WIDTH, 768, wm=False, tray=True) as s:
        wine = Wine(s, args.prefix)
        try:
            folder = os.path.join(s.tmp, "program")
            shutil.copytree(args.bin, folder)
            # Marker files: no tip dialogs over the views.
            for marker in ("Vivoduzivi.ini", "Vorlane.ini"):
                open(os.path.join(folder, marker), "w").close()

            wine.start(args.helper, "pattern", 0, 0, WIDTH, PATTERN_HEIGHT)
            wait_until(wine.desktop, 60, "the Wine desktop")
            shows(s, plain, "the pattern on the Wine desktop", 60)

            # --- Zonara: a pick goes to the Windows clipboard -----------------
            wine.start(os.path.join(folder, "Zonara.exe"))
            button = wait_until(lambda: wine.windows("Zonara.exe"), 60, "Zonara's button")
            _, _, _, bw, bh = button[0]

            def button_centre():
                # Where the button is now: it may move once it has shown.
                found = [w for w in wine.windows("Zonara.exe") if (w[3], w[4]) == (bw, bh)]
                _, x, y, w, h = found[0] if found else button[0]
                return x + w // 2, y + h // 2

            def full_screen():
                return {w[0] for w in wine.windows("Zonara.exe")
                        if w[3] >= WIDTH and w[4] >= HEIGHT}

            def pick(left, top, right, bottom):
                # The picker freezes the screen; its window is the size of
                # it, and so may be a region window before it.
                before = full_screen()
                act_until(lambda: s.xdotool("mousemove", *button_centre(), "click", 1),
                          lambda: full_screen() - before, 60, "the area picker")
                picker = full_screen() - before
                s.xdotool("mousemove", left, top, "mousedown", 1)
                s.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2)
                s.xdotool("mousemove", right, bottom, "mouseup", 1)
                return picker

            def picked_on_clipboard(left, top, right, bottom):
                # The picker gives way to the magnified region's window.
                wait_until(lambda: not any(w[3] >= WIDTH and w[4] >= HEIGHT
                                           for w in wine.windows("Zonara.exe")), 30,
                           "the picker to close")
                picked = read_clipboard(wine, args.helper, s.tmp)
                w, h = picked.size
                assert abs(w - (right - left)) <= 1 and abs(h - (bottom - top)) <= 1, picked.size
                for px, py in [(2, 2), (w // 2, h // 2), (w - 3, h - 3), (w - 3, 2)]:
                    want = pattern_colour(left + px, top + py)
                    assert colour_close(picked.getpixel((px, py)), want, 6), \
                        f"clipboard pixel {(px, py)} is {picked.getpixel((px, py))}, not {want}"

            region = (200, 150, 300, 230)
            pick(*region)
            picked_on_clipboard(*region)
            print("PASS: Zonara's pick is on the Windows clipboard")

            # --- a clipboard owner that hangs loses no pick ---------------------
            # Enlarged, this pick is larger than the screen: a press on its
            # window asks the clipboard's owner for its picture again.
            picker = pick(100, 100, 700, 500)
            wait_until(lambda: full_screen() and not full_screen() & picker, 30,
                       "the region window filling the screen")
            ready = os.path.join(s.tmp, "hung-owner-ready")
            wine.start(args.helper, "hungowner", "Z:" + ready.replace("/", "\\"))
            wait_until(lambda: os.path.exists(ready), 30, "the hung owner to take the clipboard")
            s.xdotool("mousemove", WIDTH // 2, HEIGHT // 2, "click", 1)
            region = (220, 160, 330, 250)
            pick(*region)
            # Shown enlarged twice, whatever the clipboard does.
            size = (2 * (region[2] - region[0]), 2 * (region[3] - region[1]))
            wait_until(lambda: any(abs(w[3] - size[0]) <= 4 and abs(w[4] - size[1]) <= 4
                                   for w in wine.windows("Zonara.exe")), 30,
                       "the pick's region window")
            picked_on_clipboard(*region)
            print("PASS: a pick reaches the clipboard while its last owner hangs")

            # --- "Snarell" starts Derudovudi.exe: a click takes the screen -------
            menu_item(s, wine, *button_centre(), 5)
            def picker_up():
                return any(w[3] >= WIDTH and w[4] >= HEIGHT
                           for w in wine.windows("Derudovudi.exe"))
            wait_until(picker_up, 60, "Derudovudi's picker")
            # Clicked again while the picker stays: a window Wine has just
            # mapped may not take input yet.
            act_until(lambda: picker_up() and s.xdotool("mousemove", 400, 300, "click", 1),
                      lambda: pictures(s, args.prefix), 60, "the picture file")
            saved = pictures(s, args.prefix)
            shot = wait_until(lambda: readable(saved[0]), 30, "the whole picture file")
            assert shot.size == (WIDTH, HEIGHT), shot.size
            picked = read_clipboard(wine, args.helper, s.tmp)
            assert picked.size == (WIDTH, HEIGHT), picked.size
            for px, py in POINTS:
                want = pattern_colour(px, py)
                assert colour_close(shot.getpixel((px, py)), want, 6), (px, py)
                assert colour_close(picked.getpixel((px, py)), want, 6), (px, py)
            # It goes on waiting in the background for Zonara's next pick.
            wait_until(lambda: not picker_up(), 30, "Derudovudi's picker to go")
            print("PASS: Snarell starts Derudovudi.exe, whose click saves the screen")

            # --- "全屏放大" starts zuz.exe ----------------------------------------
            menu_item(s, wine, *button_centre(), 6)
            wait_until(lambda: running("zuz.exe"), 30, "zuz.exe started by Zonara")
            shows(s, twice, "zuz's first view, the screen twice enlarged", 60)
            print("PASS: 全屏放大 starts zuz.exe, which shows the screen enlarged")
            # I inverts the view's colours, and again back; a click gives
            # the view the keyboard first, as Esc's step does, but away from
            # that step's click, which would otherwise make a double-click
            # and start the scrolling.
            s.xdotool("mousemove", 300, 400, "click", 1, "key", "i")
            wait_until(lambda: looks(s, twice, invert=True), 30, "the inverted view")
            s.xdotool("key", "i")
            wait_until(lambda: looks(s, twice), 30, "the view's own colours")
            print("PASS: I inverts the view's colours")

            # --- Ctrl+Z through RegisterHotKey ------------------------------------
            end_view(s)
            s.xdotool("mousemove", 100, 600, "click", 1)  # the pattern has the focus
            act_until(lambda: s.xdotool("key", "ctrl+z"),
                      lambda: looks(s, twice), 60, "a view from Ctrl+Z")
            print("PASS: Ctrl+Z brings a view")
            draw_in_the_editor(s, wine, args.helper)
            print("PASS: the editor draws, copies at full size, and Ctrl+Z undoes there")

            # --- the notification icon ------------------------------------------
            box = wait_until(lambda: tray_icon(s), 30, "zuz's icon in the notification area")
            first = s.screenshot(box).tobytes()
            wait_until(lambda: s.screenshot(box).tobytes() != first, 10,
                       "the icon to change to its other frame")
            cx, cy = box[0] + box[2] // 2, box[1] + box[3] // 2
            act_until(lambda: s.xdotool("mousemove", cx, cy, "click", 3),
                      lambda: looks(s, twice), 60, "a view from a right-click on the icon")
            print("PASS: the icon shows, blinks, and a right-click on it brings a view")

            # --- later starts hand their request to the running programs ---
            end_view(s)
            wine.start(os.path.join(folder, "zuz.exe"), "--view")
            shows(s, twice, "a view from a later zuz.exe --view", 60)
            end_view(s)
            wine.start(os.path.join(folder, "Zonara.exe"), "--pick")
            wait_until(lambda: any(w[3] >= WIDTH and w[4] >= HEIGHT
                                   for w in wine.windows("Zonara.exe")), 60,
                       "the area picker from a later Zonara.exe --pick")
            print("PASS: zuz.exe --view and Zonara.exe --pick reach the running programs")
        finally:
            wine.kill()
