"""A program whose module cannot be loaded, started from the menu or a key
with no terminal to read: the user is told on the desktop which program
cannot start and why. A module built against a missing function is
refused at the start, before any of it runs."""

import json
import os
import shutil
import stat
import subprocess

import pytest

from drivers.session import wait_until
from drivers.xsession import NO_BUS, XSession, program_folder

HERE = os.path.dirname(os.path.abspath(__file__))


class Desk:
    """An X desktop with a notification service on its own session bus."""

    def __init__(self, bin_dir):
        self.bin = bin_dir
        self.s = XSession(wm=False, tray=False)
        self.s._start_bus()
        self.record = os.path.join(self.s.tmp, "notices.jsonl")
        self.s.spawn(["/usr/bin/python3", os.path.join(HERE, "drivers", "fakenotifications.py"),
                      self.record])
        wait_until(lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
             "org.freedesktop.DBus.GetNameOwner", "string:org.freedesktop.Notifications"],
            env=self.s.env, capture_output=True).returncode == 0, 15, "the notice service")

    def notices(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record, encoding="utf-8") as f:
            return [json.loads(line) for line in f]

    def run(self, exe, **env):
        """Runs a program to its end; its exit code and standard output."""
        done = subprocess.run([exe], env=dict(self.s.env, **env), capture_output=True,
                              text=True, errors="replace", timeout=60)
        return done.returncode, done.stdout

    def close(self):
        self.s.close()


def test_missing_and_unresolved_modules_are_told(desk):
    # zuz without its module, in the programs' own language, in a folder
    # whose name is not UTF-8 (an overlong "/"), which D-Bus would refuse.
    folder = os.path.join(os.fsencode(desk.s.tmp), b"prog-\xc0\xaf")
    os.mkdir(folder)
    shutil.copy(os.path.join(desk.bin, "zuz"), os.path.join(folder, b"zuz"))
    code, _ = desk.run(os.path.join(folder, b"zuz"))
    assert code == 127, code
    notices = wait_until(desk.notices, 10, "a notice of the missing module")
    assert len(notices) == 1, notices
    assert notices[0]["summary"] == "zuz 无法启动", notices
    assert f"{desk.s.tmp}/prog-??/zuz-program.so" in notices[0]["body"], notices
    assert "不存在" in notices[0]["body"], notices

    # Zonara with a module that needs a function no library has, for a
    # user who reads English: refused when loaded, none of it run.
    module = os.environ["UNRESOLVED_MODULE"]
    folder = program_folder(desk.bin, desk.s.tmp, ("Zonara",))
    shutil.copy(module, os.path.join(folder, "Zonara-program.so"))
    code, out = desk.run(os.path.join(folder, "Zonara"), LANGUAGE="en_GB:zh_CN")
    assert "entered" not in out, "the module ran before its missing function was found"
    assert code == 127, code
    notices = wait_until(lambda: desk.notices()[1:], 10, "a notice of the broken module")
    assert notices[0]["summary"] == "Zonara cannot start", notices
    assert "cannot be loaded" in notices[0]["body"], notices
    assert "zuzZonaraNowhereDefined" in notices[0]["body"], notices


def test_without_a_notification_service_a_dialog_tells(desk):
    # A bare window manager's desktop: no session bus, a dialog program.
    tools = os.path.join(desk.s.tmp, "tools")
    os.makedirs(tools)
    said = os.path.join(desk.s.tmp, "dialog.txt")
    zenity = os.path.join(tools, "zenity")
    with open(zenity, "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" > "{said}.part" && mv "{said}.part" "{said}"\n')
    os.chmod(zenity, os.stat(zenity).st_mode | stat.S_IXUSR)
    folder = program_folder(desk.bin, desk.s.tmp, ("zuz",))
    os.remove(os.path.join(folder, "zuz-program.so"))
    code, _ = desk.run(os.path.join(folder, "zuz"), DBUS_SESSION_BUS_ADDRESS=NO_BUS,
                       PATH=tools + os.pathsep + os.environ["PATH"])
    assert code == 127, code
    wait_until(lambda: os.path.exists(said), 10, "the dialog program to be started")
    with open(said, encoding="utf-8") as f:
        args = f.read().splitlines()
    assert "--error" in args and "--title=zuz 无法启动" in args, args
    assert any(a.startswith("--text=") and "zuz-program.so" in a for a in args), args


# One desktop for both cases.
@pytest.fixture(scope="module")
def desk(args):
    d = Desk(args.bin)
    try:
        yield d
    finally:
        d.close()
