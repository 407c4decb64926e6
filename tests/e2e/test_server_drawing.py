"""The X server's enlarged drawing of a captured picture, checked pixel for
pixel against the program's own (tst_server_stretch, a QtTest program, on
a private X server), and a view drawn that way covering the screen with
no paint buffer of the screen's size behind it."""

import os
import subprocess
import sys

from xsession import XSession, main


def tool(args):
    # The test programs are built beside the programs' folder.
    return os.path.join(args.bin, os.pardir, "tests", "unit", "tst_server_stretch")


def matches_the_client_drawing(args):
    with XSession(1280, 960, wm=False, tray=False) as s:
        proc = subprocess.run([tool(args)], env=s.env, capture_output=True, text=True,
                              timeout=120)
        print(proc.stdout[-4000:], proc.stderr[-2000:])
        assert proc.returncode == 0, f"tst_server_stretch failed ({proc.returncode})"


if __name__ == "__main__":
    sys.exit(main([matches_the_client_drawing]))
