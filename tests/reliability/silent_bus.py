#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Runs the program on a private display, session bus, HOME and XDG_RUNTIME_DIR where a bus does not
# answer (or none is named), and checks that the window is up within a bound with the one line
# naming what did not answer, and that nothing is left running or written once it has gone:
#   silent-owner          org.a11y.Bus is owned on the session bus by a client that never answers
#   frozen-session        the session bus daemon is stopped (SIGSTOP)
#   frozen-accessibility  org.a11y.Bus answers with the address of a bus daemon that is stopped
#   address-list          DBUS_SESSION_BUS_ADDRESS lists a missing socket, then a silent one
#   runtime-dir-bus       no address is set, and $XDG_RUNTIME_DIR/bus is a silent socket
#   at-spi-address        AT_SPI_BUS_ADDRESS names a silent socket
#   root-window-property  the root window's AT_SPI_BUS property names a silent socket
#   no-bus                no session bus is named at all (libdbus would start one)
#   no-runtime-dir        XDG_RUNTIME_DIR is not set (Qt would make $TMPDIR/runtime-$USER); the
#                         buses answer, and nothing is said
#   unixexec              DBUS_SESSION_BUS_ADDRESS names a program for libdbus to start (a script
#                         that writes its PID and sleeps): once the program has gone, so has it
# A silent socket listens and never reads. Usage: silent_bus.py MODE PROGRAM. Exit status 0 when
# the program behaved, 1 with what it saw.
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from xsession import PrivateDesktop, require, start_bus  # noqa: E402
from xsession import SessionError as CheckFailed  # noqa: E402
from drive_session import close_window  # noqa: E402

WINDOW_LIMIT = 12.0  # seconds from the start to a visible window; the toolkit alone waits 50 s
SHOWN = "; the window is shown without accessibility\n"
LINES = {
    "silent-owner": r"the accessibility bus's launcher \(org\.a11y\.Bus\) does not answer",
    "frozen-session": r'the session bus "unix:[^"]+" does not answer',
    "frozen-accessibility": r'the accessibility bus "unix:[^"]+" does not answer',
    "address-list": r'the session bus "unix:path=/nonexistent/x;unix:path=[^"]+" does not answer',
    "runtime-dir-bus": r'the session bus "unix:path=[^"]+/bus" does not answer',
    "at-spi-address": r'the accessibility bus "unix:path=[^"]+" \(AT_SPI_BUS_ADDRESS\) does not '
                      r"answer",
    "root-window-property": r'the accessibility bus "unix:path=[^"]+" \(the root window\'s '
                            r"AT_SPI_BUS\) does not answer",
    "no-bus": r"no session bus is named \(DBUS_SESSION_BUS_ADDRESS\)",
    "no-runtime-dir": None,
    "unixexec": r'the session bus "unixexec:path=[^"]+" is not asked: it names a program to start '
                r"\(unixexec:\)",
}

# A client that owns org.a11y.Bus and runs no main loop, so that no call to it is ever answered;
# or, given an address, one that answers GetAddress with it.
OWNER = """
import sys, time, dbus, dbus.service, dbus.mainloop.glib
from gi.repository import GLib
if len(sys.argv) > 2:
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(sys.argv[1])
bus.request_name("org.a11y.Bus", dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
if len(sys.argv) > 2:
    class Launcher(dbus.service.Object):
        @dbus.service.method("org.a11y.Bus", out_signature="s")
        def GetAddress(self):
            return sys.argv[2]
    launcher = Launcher(dbus.service.BusName("org.a11y.Bus", bus), "/org/a11y/bus")
    print("owned", flush=True)
    GLib.MainLoop().run()
print("owned", flush=True)
time.sleep(3600)
"""


def silent_socket(desktop, folder):
    """A socket in `folder` that takes connections and never reads them; returns its path."""
    path = os.path.join(folder, f"silent-{len(os.listdir(folder))}")
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(path)
    listener.listen(8)
    desktop.callback(listener.close)
    return path


def own_a11y_name(desktop, address, answer=None):
    owner = desktop._spawn(["/usr/bin/python3", "-c", OWNER, address] + ([answer] if answer else []),
                           stdout=subprocess.PIPE, text=True)
    if owner.stdout.readline().strip() != "owned":
        raise CheckFailed("org.a11y.Bus could not be taken")


def frozen_bus(desktop):
    """A bus daemon of its own, stopped; returns its address."""
    daemon, address = start_bus(desktop.env)
    desktop.callback(os.kill, daemon.pid, signal.SIGKILL)
    os.kill(daemon.pid, signal.SIGSTOP)
    return address


def prepare(mode, desktop, folder):
    env = desktop.env
    if mode == "silent-owner":
        own_a11y_name(desktop, env["DBUS_SESSION_BUS_ADDRESS"])
    elif mode == "frozen-session":
        os.kill(desktop.bus.pid, signal.SIGSTOP)
        desktop.callback(os.kill, desktop.bus.pid, signal.SIGCONT)  # before it is ended
    elif mode == "frozen-accessibility":
        own_a11y_name(desktop, env["DBUS_SESSION_BUS_ADDRESS"], frozen_bus(desktop))
    elif mode == "address-list":
        env["DBUS_SESSION_BUS_ADDRESS"] = ("unix:path=/nonexistent/x;unix:path="
                                           + silent_socket(desktop, folder))
    elif mode == "runtime-dir-bus":
        del env["DBUS_SESSION_BUS_ADDRESS"]
        os.rename(silent_socket(desktop, folder), os.path.join(env["XDG_RUNTIME_DIR"], "bus"))
    elif mode == "at-spi-address":
        env["AT_SPI_BUS_ADDRESS"] = "unix:path=" + silent_socket(desktop, folder)
    elif mode == "root-window-property":
        subprocess.run(["xprop", "-root", "-f", "AT_SPI_BUS", "8s", "-set", "AT_SPI_BUS",
                        "unix:path=" + silent_socket(desktop, folder)], env=env, check=True)
    elif mode == "no-bus":
        del env["DBUS_SESSION_BUS_ADDRESS"]
    elif mode == "no-runtime-dir":
        del env["XDG_RUNTIME_DIR"]
    elif mode == "unixexec":
        script = os.path.join(folder, "bus-program")
        with open(script, "w") as written:
            written.write(f"#!/bin/sh\necho $$ > {script}.pid\nexec sleep 3600\n")
        os.chmod(script, 0o755)
        env["DBUS_SESSION_BUS_ADDRESS"] = "unixexec:path=" + script
        desktop.callback(started_program_left, folder)  # ended however the check goes


def started_program_left(folder):
    """The PID the unixexec: program wrote, where it is still running; None where it is not."""
    try:
        with open(os.path.join(folder, "bus-program.pid")) as recorded:
            pid = int(recorded.read())
    except (OSError, ValueError):
        return None
    if os.path.exists(f"/proc/{pid}"):
        os.kill(pid, signal.SIGKILL)  # started for this test's program, so the test's to end
        return pid
    return None


def visible_window_of(env, pid):
    """A visible window of the process `pid` on env's display, or None."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                           env=env, capture_output=True, text=True)
    return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None


def marked_processes(mark):
    """The processes whose environment holds `mark`."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ:
                if mark.encode() in environ.read():
                    found.append(pid)
        except OSError:
            pass
    return found


def written_in(*folders):
    return [os.path.join(top, name) for folder in folders for top, dirs, files in os.walk(folder)
            for name in dirs + files]


def main():
    mode, program = sys.argv[1], sys.argv[2]
    require("Xvfb", "dbus-daemon", "xdotool", "xprop")
    with tempfile.TemporaryDirectory(prefix="icatlas-bus-") as folder, PrivateDesktop() as desktop, \
            tempfile.TemporaryFile() as errors:
        home, runtime, scratch = (os.path.join(folder, name) for name in ("home", "runtime", "tmp"))
        os.mkdir(home)
        os.mkdir(runtime, 0o700)
        os.mkdir(scratch)
        mark = "ICATLAS_TEST_MARK=" + uuid.uuid4().hex
        desktop.env = {key: value for key, value in os.environ.items()
                       if key not in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "AT_SPI_BUS_ADDRESS",
                                      "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI")}
        desktop.env.update(QT_QPA_PLATFORM="xcb", HOME=home, XDG_RUNTIME_DIR=runtime, TMPDIR=scratch)
        desktop.start_display_and_bus()
        prepare(mode, desktop, folder)
        before = set(written_in(home, runtime, scratch))  # the test's own bus daemons write there
        started = time.monotonic()
        program_env = dict(desktop.env, **dict([mark.split("=", 1)]))
        program_process = subprocess.Popen([program], env=program_env, stdout=subprocess.DEVNULL,
                                           stderr=errors, start_new_session=True)
        desktop.callback(lambda: program_process.poll() is None and program_process.kill())
        window = None
        while time.monotonic() - started < WINDOW_LIMIT and program_process.poll() is None:
            window = visible_window_of(desktop.env, program_process.pid)
            if window:
                break
            time.sleep(0.2)
        waited = time.monotonic() - started
        if window:
            time.sleep(0.5)
            close_window(desktop.env, window)  # as a window manager asks, so the program ends itself
            program_process.wait(timeout=10)
        errors.seek(0)
        said = errors.read().decode(errors="replace")
        if not window:
            raise CheckFailed(f"no window within {WINDOW_LIMIT:.0f} s (status "
                              f"{program_process.poll()}); stderr: {said!r}")
        expected = LINES[mode]
        if (re.search(re.escape(SHOWN), said) is not None if expected is None
                else not re.search("(^|\n)icatlas: " + expected + re.escape(SHOWN), said)):
            raise CheckFailed(f"the window came up in {waited:.1f} s without the line "
                              f"{LINES[mode]!r}; stderr: {said!r}")
        time.sleep(0.5)
        left = marked_processes(mark)
        orphan = started_program_left(folder)
        if orphan is not None:
            left.append(f"{orphan} (the unixexec: program)")
        written = sorted(set(written_in(home, runtime, scratch)) - before)
        if left or written:
            raise CheckFailed(f"left behind: processes {left}, files {written}")
        print(f"{mode}: the window came up in {waited:.1f} s, said so, and left nothing behind")


if __name__ == "__main__":
    try:
        main()
    except CheckFailed as failure:
        sys.exit(f"silent_bus: {failure}")
