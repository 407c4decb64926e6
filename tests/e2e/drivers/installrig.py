"""What the install and package tests share: the files an installation
consists of, the checks of its desktop entries, icons and metadata, a user
without write access to the program folder, and the two programs' windows
on an XSession."""

import configparser
import contextlib
import os
import pwd
import re
import shutil
import subprocess
import tempfile
import xml.etree.ElementTree as ET

from PIL import Image

from drivers.menus import quit_from_menu
from drivers.session import proc_status, wait_until
from drivers.tipdialog import CHECKBOX_CENTRE as ZUZ_TIP_CHECKBOX
from drivers.tipdialog import SIZE as ZUZ_TIP_SIZE
from drivers.zuz import Zuz

PROGRAMS = ("zuz", "Zonara", "Derudovudi")
# The program proper of each program whose executable is a launcher.
MODULES = ("zuz-program.so", "Zonara-program.so")
PROGRAM_DIR = "lib/zuz-zonara"
IDS = {"zuz": "org.example.zuz", "Zonara": "org.example.zonara",
       "Derudovudi": "org.example.derudovudi"}
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
MARKERS = {"zuz": "Vivoduzivi.ini", "Zonara": "Vorlane.ini"}

CONTROL_SIZE = (33, 33)  # Zonara's button, 500 twips
# Zonara's tip dialog: 7305 x 4980 twips; its check box, 3855 x 375 twips,
# is centred at 3600 twips from the top.
ZONARA_TIP_SIZE = (487, 332)
ZONARA_TIP_CHECKBOX = (115 + 128, 240 + 12)
TIP_BACK = (128, 128, 255)  # both dialogs' background


def expected_files():
    """Every file and link an installation holds, relative to the prefix."""
    files = {f"bin/{p}" for p in PROGRAMS} | {f"{PROGRAM_DIR}/{p}" for p in PROGRAMS + MODULES}
    for i in IDS.values():
        files.add(f"share/applications/{i}.desktop")
        files.add(f"share/metainfo/{i}.metainfo.xml")
        files.add(f"share/icons/hicolor/scalable/apps/{i}.svg")
        files |= {f"share/icons/hicolor/{s}x{s}/apps/{i}.png" for s in ICON_SIZES}
    files |= {f"share/man/man1/{p}.1.gz" for p in PROGRAMS}
    files.add("share/zuz-zonara/autostart/org.example.zuz.desktop")
    files |= {"share/doc/zuz-zonara/copyright", "share/doc/zuz-zonara/changelog.gz"}
    return files


def files_under(root):
    found = set()
    for folder, _, names in os.walk(root):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def run(argv, **kw):
    proc = subprocess.run(argv, capture_output=True, text=True, **kw)
    assert proc.returncode == 0, f"{' '.join(argv)} failed ({proc.returncode}):\n" \
                                 f"{proc.stdout}{proc.stderr}"
    return proc.stdout


def desktop_entry(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str
    parser.read(path, encoding="utf-8")
    return parser["Desktop Entry"]


def check_launchers(programs):
    """A later start (`zuz --view`) hands its request over before any
    library of the toolkit is mapped: the executables that have a module
    need only the C and C++ runtime (and the dynamic loader, which every
    process has); the sanitized build adds the sanitizers' runtime, which
    must be the first library of the process."""
    runtime = ("libc.so.", "libm.so.", "libstdc++.so.", "libgcc_s.so.", "ld-linux",
               "libasan.so.", "libubsan.so.")
    for module in MODULES:
        path = os.path.join(programs, module[:-len("-program.so")])
        needed = re.findall(r"\(NEEDED\).*\[(.+)\]", run(["readelf", "-d", "-W", path]))
        assert needed and all(n.startswith(runtime) for n in needed), (path, needed)


def check_tree(prefix):
    """Checks the installed files under prefix as a desktop sees them: the
    launchers, the entries (with desktop-file-validate), their icons in
    every size and the metadata (with appstreamcli)."""
    found = files_under(prefix)
    assert found == expected_files(), (f"missing: {sorted(expected_files() - found)}; "
                                       f"unexpected: {sorted(found - expected_files())}")
    programs = os.path.join(prefix, PROGRAM_DIR)
    assert sorted(os.listdir(programs)) == sorted(PROGRAMS + MODULES), os.listdir(programs)
    for p in PROGRAMS:
        launcher = os.path.join(prefix, "bin", p)
        assert os.path.islink(launcher) and not os.path.isabs(os.readlink(launcher)), launcher
        assert os.path.realpath(launcher) == os.path.realpath(os.path.join(programs, p))
        assert os.access(launcher, os.X_OK), launcher
    check_launchers(programs)

    apps = os.path.join(prefix, "share", "applications")
    autostart = os.path.join(prefix, "share", "zuz-zonara", "autostart", "org.example.zuz.desktop")
    run(["desktop-file-validate", *[os.path.join(apps, f) for f in os.listdir(apps)], autostart])
    for program, cid in IDS.items():
        entry = desktop_entry(os.path.join(apps, cid + ".desktop"))
        assert entry["Exec"].split()[0] == program and entry["TryExec"] == program, dict(entry)
        # The magnifiers are accessibility tools, the capture program is not.
        kind = "Graphics" if program == "Derudovudi" else "Accessibility"
        assert {"Utility", kind} <= set(entry["Categories"].split(";")), dict(entry)
        assert all(f"{k}[zh_CN]" in entry for k in ("Name", "GenericName", "Comment"))
        check_icon(prefix, entry["Icon"])
    entry = desktop_entry(autostart)
    assert entry["Exec"] == "zuz" and entry["Icon"] == IDS["zuz"], dict(entry)

    metainfo = os.path.join(prefix, "share", "metainfo")
    run(["appstreamcli", "validate", "--no-net",
         *[os.path.join(metainfo, f) for f in sorted(os.listdir(metainfo))]])
    for program, cid in IDS.items():
        root = ET.parse(os.path.join(metainfo, cid + ".metainfo.xml")).getroot()
        assert root.findtext("id") == cid
        assert root.findtext("launchable") == cid + ".desktop"
        assert root.findtext("provides/binary") == program


def check_icon(prefix, name):
    hicolor = os.path.join(prefix, "share", "icons", "hicolor")
    for size in ICON_SIZES:
        with Image.open(os.path.join(hicolor, f"{size}x{size}", "apps", name + ".png")) as img:
            assert img.format == "PNG" and img.size == (size, size), (name, size, img.size)
            assert img.mode == "RGBA" and img.getextrema()[3][0] == 0, \
                f"{name} at {size} px has no transparent background"
    svg = ET.parse(os.path.join(hicolor, "scalable", "apps", name + ".svg")).getroot()
    assert svg.tag == "{http://www.w3.org/2000/svg}svg" and svg.get("viewBox"), svg.attrib


# --- running the programs ---------------------------------------------------------
class User:
    """Who runs the installed programs, with a home and runtime folder of
    its own. As root that is "nobody", for whom a root-owned program folder
    is read-only; otherwise the caller, with the folder made read-only."""

    def __init__(self, base):
        self.root = os.getuid() == 0
        if self.root:
            pw = pwd.getpwnam("nobody")
            self.uid, self.gid = pw.pw_uid, pw.pw_gid
        else:
            self.uid, self.gid = os.getuid(), os.getgid()
        self.home = os.path.join(base, "home")
        self.runtime = os.path.join(base, "runtime")
        os.makedirs(self.home)
        os.makedirs(self.runtime, mode=0o700)
        for folder in (self.home, self.runtime):
            os.chown(folder, self.uid, self.gid)
        self.config = os.path.join(self.home, ".config")

    def protect(self, folder):
        """Leaves the folder read-only for this user (as root, a folder of
        root's is that already)."""
        if not self.root:
            os.chmod(folder, 0o555)
        probe = subprocess.run(["test", "-w", folder], **self.popen_args())
        assert probe.returncode != 0, f"{folder} is writable for uid {self.uid}"

    def env(self, session):
        env = dict(session.env)
        env.update({"HOME": self.home, "XDG_CONFIG_HOME": self.config,
                    "XDG_RUNTIME_DIR": self.runtime})
        return env

    def popen_args(self):
        return dict(user=self.uid, group=self.gid, extra_groups=[]) if self.root else {}


def shared_tmp(prefix):
    """A temporary folder that another user can pass through."""
    tmp = tempfile.mkdtemp(prefix=prefix)
    os.chmod(tmp, 0o755)
    return tmp


@contextlib.contextmanager
def module_folder(args, prefix):
    """The build folder and a folder for one module's cases, which goes
    after the last of them, read-only parts included."""
    if not args.build:
        import pytest
        raise pytest.UsageError("--build <the build folder> is needed")
    tmp = shared_tmp(prefix)
    try:
        yield args.build, tmp
    finally:
        subprocess.run(["chmod", "-R", "u+w", tmp])
        shutil.rmtree(tmp, ignore_errors=True)


def windows_of(s, cls, size):
    return [w for w in s.windows(cls=cls) if s.window_geometry(w)[2:] == size]


def tip_dialog(s, program, timeout=10):
    size = ZUZ_TIP_SIZE if program == "zuz" else ZONARA_TIP_SIZE
    return wait_until(lambda: windows_of(s, program, size), timeout,
                      f"the tip dialog of {program}")[0]


def tick_tip_dialog(s, program, marker_path):
    """Ticks "知道了。以后别再烦我了！！" once the dialog is painted and waits
    for the marker and for the dialog to close. A click that comes while
    the dialog is still settling can be lost; only then is it repeated
    (a second tick would take the mark away again)."""
    wid = tip_dialog(s, program)
    x, y, w, h = s.window_geometry(wid)
    wait_until(lambda: s.screenshot((x + 5, y + h - 5, 1, 1)).getpixel((0, 0)) == TIP_BACK,
               10, f"the tip dialog of {program} on the screen")
    box = ZUZ_TIP_CHECKBOX if program == "zuz" else ZONARA_TIP_CHECKBOX
    for attempt in range(3):
        s.xdotool("mousemove", x + box[0], y + box[1], "click", 1)
        try:
            wait_until(lambda: os.path.isfile(marker_path), 3, f"{marker_path} to be written")
            break
        except AssertionError:
            if attempt == 2:
                raise
    wait_until(lambda: wid not in s.windows(cls=program), 10,
               f"the tip dialog of {program} to close")


def no_tip_dialogs(s, seconds=1.5):
    """Watches for a while that neither program shows its tip dialog."""
    import time
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        assert not windows_of(s, "zuz", ZUZ_TIP_SIZE), "zuz showed its tip dialog"
        assert not windows_of(s, "Zonara", ZONARA_TIP_SIZE), "Zonara showed its tip dialog"
        time.sleep(0.05)


class Installed(Zuz):
    """zuz started through its launcher."""

    def __init__(self, session, launcher, spawn_args=None):
        super().__init__(session, None, with_marker=False, folder=os.path.dirname(launcher))
        self.launcher, self.spawn_args = launcher, spawn_args or {}

    def start(self):
        self.proc = self.s.spawn([self.launcher], **self.spawn_args)
        return self.proc

    def quit(self):
        quit_from_menu(self.s, self)


def zonara_control(s, timeout=15):
    return wait_until(lambda: windows_of(s, "Zonara", CONTROL_SIZE), timeout,
                      "Zonara's button")[0]


def zonara_menu(s, downs, attempts=4):
    """Right-clicks Zonara's button until its menu is up (a click that
    comes while a window that just closed still holds the pointer is lost)
    and picks the item `downs` rows down."""
    control = zonara_control(s)
    x, y, w, h = s.window_geometry(control)
    before = set(s.windows(cls="Zonara"))
    for attempt in range(attempts):
        s.xdotool("mousemove", x + w // 2, y + h // 2, "click", 3)
        try:
            wait_until(lambda: set(s.windows(cls="Zonara")) - before, 2.5, "Zonara's menu")
            break
        except AssertionError:
            if attempt == attempts - 1:
                raise
    s.xdotool("key", *(["Down"] * downs), "Return")


ZONARA_FULL_SCREEN = 6  # "全屏放大"
ZONARA_END = 7  # "结束放大"


def processes_running(exe):
    """The pids of live processes whose executable is exe."""
    pids = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink(f"/proc/{pid}/exe") != exe:
                continue
            with open(f"/proc/{pid}/stat") as f:
                if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                    continue
        except OSError:
            continue
        pids.append(int(pid))
    return pids


def process_uid(pid):
    return proc_status(pid, "Uid")


def wm_class(s, wid):
    return s.dpy.create_resource_object("window", wid).get_wm_class()
