#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Runs a command against a display it cannot use, for the tests of a start that must end with one
# line and exit status 3:
#   silent   an X display that accepts the connection and never answers (a stuck ssh tunnel)
#   depth8   a private Xvfb whose only screen has 8-bit colour
#   lost     a private Xvfb that is ended two seconds after the command starts
#   endless-xauthority  a private Xvfb, with XAUTHORITY=/dev/zero: libXau reads it for ever, busy
#   silent-wayland      the Wayland platform, with a Wayland socket that accepts and never answers
# Passes the command's standard output and error through and exits with its status (128 + the
# signal number when a signal ended it, so a crash never passes for a refusal).
import os
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import SessionError, start_xvfb  # noqa: E402

FIRST_DISPLAY = 300  # far above the numbers X servers and Xvfb -displayfd take first


def claim_silent_display():
    """A display number no server uses, claimed the way X servers claim one (the lock file), and a
    listening socket on it in the abstract namespace, where clients look first. Nothing answers."""
    for number in range(FIRST_DISPLAY, FIRST_DISPLAY + 200):
        lock = f"/tmp/.X{number}-lock"
        try:
            fd = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
        except FileExistsError:
            continue
        os.write(fd, f"{os.getpid():10d}\n".encode())
        os.close(fd)
        if os.path.exists(f"/tmp/.X11-unix/X{number}"):
            os.unlink(lock)
            continue
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            listener.bind(f"\0/tmp/.X11-unix/X{number}")
        except OSError:
            listener.close()
            os.unlink(lock)
            continue
        listener.listen(8)
        return number, listener, lock
    sys.exit("odd_display: no free display number")


def status_of(process):
    code = process.wait()
    return 128 - code if code < 0 else code


def main():
    mode, command = sys.argv[1], sys.argv[2:]
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    for name in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "QT_SCALE_FACTOR"):
        env.pop(name, None)
    if mode == "silent":
        number, listener, lock = claim_silent_display()
        try:
            env["DISPLAY"] = f":{number}"
            # Accepted by the kernel's backlog, never read: the client waits for the server's
            # greeting for ever.
            sys.exit(status_of(subprocess.Popen(command, env=env)))
        finally:
            listener.close()
            os.unlink(lock)
    if mode == "silent-wayland":
        with tempfile.TemporaryDirectory(prefix="icatlas-wayland-") as runtime:
            listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            listener.bind(os.path.join(runtime, "wayland-silent"))
            listener.listen(8)
            env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY="wayland-silent",
                       XDG_RUNTIME_DIR=runtime)
            sys.exit(status_of(subprocess.Popen(command, env=env)))
    if mode == "endless-xauthority":
        env["XAUTHORITY"] = "/dev/zero"
    screen = {"depth8": "320x240x8"}.get(mode, "1024x768x24")
    try:
        server, env["DISPLAY"] = start_xvfb(screen, dpi=None)
    except SessionError as error:
        sys.exit(f"odd_display: {error}")
    try:
        program = subprocess.Popen(command, env=env)
        if mode == "lost":
            time.sleep(2)
            server.kill()
            server.wait()
        sys.exit(status_of(program))
    finally:
        if server.poll() is None:
            server.kill()
            server.wait()


if __name__ == "__main__":
    main()
