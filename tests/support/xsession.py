#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The one way the drivers and scripts get a private X display and D-Bus session bus for the real
# program, and find windows on it. Each server reports on a descriptor once it is ready, so no
# display number or bus address is ever guessed, and runs in a process group of its own, which is
# ended as a whole (with the services the bus started). As a program, runs a command on a display
# and bus of its own and a fresh XDG_RUNTIME_DIR, all gone when the command ends:
#
#   xsession.py [--screen WxHxD] [--dpi N] -- COMMAND [ARG...]
import argparse
import contextlib
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile

READY_TIMEOUT = 10.0  # seconds for a server to report that it is ready


class SessionError(Exception):
    """A private display (or what a driver sets up around it) could not be had."""


def require(*tools):
    for tool in tools:
        if shutil.which(tool) is None:
            raise SessionError(f"{tool} is not installed (scripts/test installs it)")


def end(proc):
    """Ends the process group `proc` leads: politely, then for good."""
    with contextlib.suppress(ProcessLookupError):
        os.killpg(proc.pid, signal.SIGTERM)
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()


def _start_reporting(argv, flag_with_fd, what, env):
    """Starts a server that writes one line to a descriptor once it is ready; returns it and the
    line."""
    read_end, write_end = os.pipe()
    try:
        server = subprocess.Popen(argv + flag_with_fd(write_end), pass_fds=[write_end], env=env,
                                  start_new_session=True, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
    finally:
        os.close(write_end)
    with os.fdopen(read_end) as ready:
        started = select.select([ready], [], [], READY_TIMEOUT)[0]
        line = ready.readline().strip() if started else ""
    if not line:
        end(server)
        raise SessionError(f"{what} did not start within {READY_TIMEOUT:.0f} s" if not started
                           else f"{what} ended at start")
    return server, line


def start_xvfb(screen="1024x768x24", dpi=96, env=None):
    """An X server on the first free display; returns (process, ':N'). dpi=None leaves Xvfb's
    own."""
    # -noreset: the server must outlive its first client rather than start over.
    argv = ["Xvfb", "-noreset", "-nolisten", "tcp", "-screen", "0", screen]
    if dpi is not None:
        argv += ["-dpi", str(dpi)]
    server, number = _start_reporting(argv, lambda fd: ["-displayfd", str(fd)], "Xvfb", env)
    return server, ":" + number


def start_bus(env):
    """A session bus whose services (the accessibility bus) see `env`; returns (process,
    address)."""
    return _start_reporting(["dbus-daemon", "--session", "--nofork", "--nopidfile"],
                            lambda fd: [f"--print-address={fd}"], "the D-Bus session bus", env)


class PrivateDesktop(contextlib.ExitStack):
    """Starts processes in self.env, each in a process group of its own, and ends every group it
    started, on exit."""

    def __init__(self, env=None):
        super().__init__()
        self.env = env

    def _spawn(self, argv, **kwargs):
        proc = subprocess.Popen(argv, start_new_session=True, env=self.env, **kwargs)
        self.callback(end, proc)
        return proc

    def start_display_and_bus(self, screen="1280x1024x24", dpi=None):
        """Sets DISPLAY and DBUS_SESSION_BUS_ADDRESS in self.env to a private X server and bus,
        kept as self.server and self.bus (the bus daemon itself)."""
        self.server, self.env["DISPLAY"] = start_xvfb(screen, dpi, self.env)
        self.callback(end, self.server)
        self.bus, self.env["DBUS_SESSION_BUS_ADDRESS"] = start_bus(self.env)
        self.callback(end, self.bus)


def visible_window(env, caption):
    """The id of a visible window titled exactly `caption` on env's display, or None."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                            "^" + re.escape(caption) + "$"],
                           env=env, capture_output=True, text=True)
    if found.returncode == 0 and found.stdout.split():
        return found.stdout.split()[0]
    return None


def main():
    parser = argparse.ArgumentParser(description="Runs a command on a private X display and "
                                     "session bus, ended when it ends.")
    parser.add_argument("--screen", default="1024x768x24", help="Xvfb's screen, WxHxDEPTH")
    parser.add_argument("--dpi", type=int, help="Xvfb's resolution (default: Xvfb's own)")
    parser.add_argument("command", nargs=argparse.REMAINDER, help="-- COMMAND [ARG...]")
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command")
    # Ended from outside, this still ends the servers (they are not in this process group).
    signal.signal(signal.SIGTERM, lambda signum, _: sys.exit(128 + signum))
    signal.signal(signal.SIGHUP, lambda signum, _: sys.exit(128 + signum))
    # The command must reach this display, not a desktop's, nor its accessibility bus.
    env = {k: v for k, v in os.environ.items()
           if k != "WAYLAND_DISPLAY" and not k.startswith("AT_SPI")}
    try:
        with tempfile.TemporaryDirectory(prefix="icatlas-session-") as runtime_dir, \
                PrivateDesktop(dict(env, XDG_RUNTIME_DIR=runtime_dir)) as desktop:
            require("Xvfb", "dbus-daemon")
            desktop.start_display_and_bus(args.screen, args.dpi)
            status = subprocess.run(command, env=desktop.env, check=False).returncode
    except SessionError as error:
        sys.exit(f"xsession.py: {error}")
    except KeyboardInterrupt:
        return 128 + signal.SIGINT
    return 128 - status if status < 0 else status


if __name__ == "__main__":
    sys.exit(main())
