"""The Windows installer as a user runs it, under Wine: a silent install
puts the programs with every DLL and plugin they load into the chosen
folder, with Start-menu entries for each and an uninstaller; the
uninstaller takes all of it away again. The installer runs elevated: what
its finish page offers to start must start as the user who is logged in,
which Wine, without elevation, cannot show, so the installer's script is
read for it."""
import argparse
import os
import pathlib
import re
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


def finish_page_fault(script):
    """What is wrong with the program the finish page of an NSIS script
    starts, or None. The installer's own Exec would give the program the
    installer's administrator token; only a start through the shell
    (explorer.exe), which runs as the user, is sound, or no such button."""
    run = re.search(r'^\s*!define\s+MUI_FINISHPAGE_RUN\s+"([^"]*)"', script, re.M)
    if not run:
        return None
    function = re.search(r'^\s*!define\s+MUI_FINISHPAGE_RUN_FUNCTION\s+"?(\w+)', script, re.M)
    if not function:
        return f"the finish page runs {run.group(1)} with the installer's rights"
    body = re.search(rf'^\s*Function\s+"?{function.group(1)}"?\s*$(.*?)^\s*FunctionEnd',
                     script, re.M | re.S)
    if not body:
        return f"the finish page calls {function.group(1)}, which the script lacks"
    starts = re.findall(r"^\s*(Exec\w*)\s+(.*)$", body.group(1), re.M | re.I)
    if not starts:
        return f"{function.group(1)} starts nothing"
    for command, line in starts:
        words = re.findall(r'"([^"]*)"|(\S+)', line.strip().strip("'"))
        argv = [quoted or bare for quoted, bare in words]
        if command.lower() != "exec" or not argv or \
                not argv[0].lower().endswith("\\explorer.exe") or \
                not any(a.lower().endswith("\\zuz.exe") for a in argv[1:]):
            return f"{function.group(1)} starts {line.strip()}, not zuz through the shell"
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--installer", required=True)
    parser.add_argument("--script", help="the installer's NSIS script (by default CPack's, "
                        "beside the installer)")
    args = parser.parse_args()
    script = pathlib.Path(args.script or pathlib.Path(args.installer).parent / "_CPack_Packages" /
                          "win64" / "NSIS" / "project.nsi")
    fault = finish_page_fault(script.read_text(encoding="utf-8", errors="replace"))
    if fault:
        sys.exit(f"FAIL: {fault}")

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
    print("2 passed, 0 failed")


if __name__ == "__main__":
    main()
