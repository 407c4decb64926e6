"""Runs in the desktop session as its user and asks the running zuz for a
view each time a line comes through the FIFO named first: "request" sends
the request over zuz's channel itself, as a key the program held would
ask without a process being started (the floor); "start" starts
`<program> --view`, as the desktop starts a command bound to a key. Both
from this one process, so that neither pays for the test rig's way of
becoming the session's user."""

import glob
import os
import socket
import sys

fifo, program = sys.argv[1:3]
runtime = os.environ.get("XDG_RUNTIME_DIR", "")
with open(fifo) as lines:
    for line in lines:
        if line.strip() == "request":
            # The channel's name carries a digest of the session's name.
            channel = glob.glob(os.path.join(glob.escape(runtime), "zuz*.channel"))[0]
            with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
                s.connect(channel)
                s.sendall(b"--view\n")
                s.recv(64)
        else:
            pid = os.posix_spawn(program, [program, "--view"], os.environ)
            os.waitpid(pid, 0)
