"""The Windows installer as a user runs it, under Wine: a silent install
puts the programs with every DLL and plugin they load into the chosen
folder, with Start-menu entries for each and an uninstaller; the
uninstaller takes all of it away again."""
import argparse
import os
import pathlib
import subprocess
import sys
import time

PROGRAM_FILES = [
    "zuz.exe", "Zonara.exe", "Derudovudi.exe", "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll",
    "libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll",
    "platforms/qwindows.dll", "Uninstall.exe",
]


def wait_for(condition, what, timeout=60.0):
    end = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > end:
            sys.exit(f"FAIL: {what} (after {timeout:.0f} s)")
        time.sleep(0.2)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--installer", required=True)
    args = parser.parse_args()
    prefix = pathlib.Path(os.environ["WINEPREFIX"])
    drive_c = prefix / "drive_c"
    target = drive_c / "zuz-zonara-check"
    env = dict(os.environ, WINEDEBUG="-all")
    env.pop("DISPLAY", None)

    # NSIS takes /D last and unquoted.
    subprocess.run(["wine", args.installer, "/S", "/D=C:\\zuz-zonara-check"],
                   env=env, check=True, timeout=300)
    missing = [f for f in PROGRAM_FILES if not (target / f).is_file()]
    if missing:
        sys.exit(f"FAIL: not installed: {missing}")
    links = {p.name for p in drive_c.rglob("*.lnk") if "zuz and Zonara" in str(p.parent)}
    if not {"zuz.lnk", "Zonara.lnk", "Derudovudi.lnk"} <= links:
        sys.exit(f"FAIL: Start-menu entries {sorted(links)}, expected one for each program")

    # The uninstaller copies itself away and runs from there, so its own
    # process ends before the files go.
    subprocess.run(["wine", str(target / "Uninstall.exe"), "/S"], env=env, check=True,
                   timeout=300)
    wait_for(lambda: not (target / "zuz.exe").exists() and not (target / "Qt6Core.dll").exists(),
             "the uninstaller left the programs")
    wait_for(lambda: not any(drive_c.rglob("zuz.lnk")), "the uninstaller left the Start-menu entry")
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
