# SPDX-License-Identifier: MIT
# Private Xvfb displays, and windows found on them, for the drivers that run the real program.
import os
import re
import subprocess


class SessionError(Exception):
    """A private display (or what a driver sets up around it) could not be had."""


def start_xvfb(screen="1024x768x24", dpi=96):
    """A private X server on the first free display, which it reports through -displayfd, so no
    display number is ever guessed; returns (process, ':N'). dpi=None leaves Xvfb's own."""
    read_end, write_end = os.pipe()
    argv = ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen]
    if dpi is not None:
        argv += ["-dpi", str(dpi)]
    server = subprocess.Popen(argv + ["-nolisten", "tcp"], pass_fds=[write_end],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    if not number:
        server.kill()
        raise SessionError("Xvfb did not start")
    return server, ":" + number


def visible_window(env, caption):
    """The id of a visible window titled exactly `caption` on env's display, or None."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                            "^" + re.escape(caption) + "$"],
                           env=env, capture_output=True, text=True)
    if found.returncode == 0 and found.stdout.split():
        return found.stdout.split()[0]
    return None
