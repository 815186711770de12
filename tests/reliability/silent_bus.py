#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Runs the program on a private display and session bus where a bus does not answer, and checks
# that the window is up within a bound, with one line saying it is shown without accessibility:
#   silent-owner    something owns org.a11y.Bus on the session bus and never answers
#   frozen-session  the session bus daemon is stopped: it takes connections and answers nothing
# Usage: silent_bus.py MODE PROGRAM. Exit status 0 when the program behaved, 1 with what it saw.
import os
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from xsession import PrivateDesktop, require  # noqa: E402
from xsession import SessionError as CheckFailed  # noqa: E402

WINDOW_LIMIT = 12.0  # seconds from the start to a visible window; the toolkit alone waits 50 s
LINES = {
    "silent-owner": "icatlas: the accessibility bus does not answer; "
                    "the window is shown without accessibility",
    "frozen-session": "icatlas: the session bus does not answer; "
                      "the window is shown without accessibility",
}


def pad(data, alignment):
    return data + b"\0" * (-len(data) % alignment)


def method_call(serial, destination, path, interface, member, signature="", body=b""):
    """A little-endian method call, marshalled by hand: the bus protocol's header and body."""
    fields = b""
    for code, kind, value in ((1, b"o", path), (2, b"s", interface), (3, b"s", member),
                              (6, b"s", destination)):
        encoded = value.encode()
        fields = pad(fields, 8) + bytes([code, 1]) + kind + b"\0"
        fields += struct.pack("<I", len(encoded)) + encoded + b"\0"
    if signature:
        fields = pad(fields, 8) + bytes([8, 1]) + b"g\0" + bytes([len(signature)])
        fields += signature.encode() + b"\0"
    header = b"l\x01\x00\x01" + struct.pack("<III", len(body), serial, len(fields)) + fields
    return pad(header, 8) + body


def own_and_never_answer(address):
    """Connects to the bus at `address`, takes the name org.a11y.Bus and returns the socket, from
    which nothing is ever read again: every call to the name waits for its full timeout."""
    path = address.split("unix:", 1)[1].split(",")
    where = dict(item.split("=", 1) for item in path)
    bus = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    bus.connect("\0" + where["abstract"] if "abstract" in where else where["path"])
    bus.sendall(b"\0AUTH EXTERNAL " + str(os.getuid()).encode().hex().encode() + b"\r\n")
    if not bus.recv(4096).startswith(b"OK "):
        raise CheckFailed("the session bus refused the name's owner")
    name = b"org.a11y.Bus"
    body = struct.pack("<I", len(name)) + name + b"\0" + b"\0" * (-(len(name) + 5) % 4)
    body += struct.pack("<I", 4)  # do not queue
    bus.sendall(b"BEGIN\r\n"
                + method_call(1, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "Hello")
                + method_call(2, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "RequestName", "su", body))
    owned = subprocess.run(["dbus-send", f"--bus={address}", "--print-reply",
                            "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                            "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                           capture_output=True, text=True, timeout=10)
    if "boolean true" not in owned.stdout:
        raise CheckFailed(f"org.a11y.Bus was not taken: {owned.stdout}{owned.stderr}")
    return bus


def visible_window_of(env, pid):
    """A visible window of the process `pid` on env's display, or None."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                           env=env, capture_output=True, text=True)
    return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None


class Desktop(PrivateDesktop):
    def __init__(self):
        super().__init__()
        self.env = {key: value for key, value in os.environ.items()
                    if key not in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "AT_SPI_BUS_ADDRESS",
                                   "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI")}
        self.env["QT_QPA_PLATFORM"] = "xcb"


def main():
    mode, program = sys.argv[1], sys.argv[2]
    require("Xvfb", "dbus-daemon", "dbus-send", "xdotool")
    with Desktop() as desktop, tempfile.TemporaryFile() as errors:
        desktop.start_display_and_bus()
        address = desktop.env["DBUS_SESSION_BUS_ADDRESS"]
        if mode == "silent-owner":
            desktop.enter_context(own_and_never_answer(address))
        else:
            daemon = desktop.bus.pid
            os.kill(daemon, signal.SIGSTOP)
            desktop.callback(os.kill, daemon, signal.SIGCONT)  # before it is ended
        started = time.monotonic()
        program_process = desktop._spawn([program], stdout=subprocess.DEVNULL, stderr=errors)
        window = None
        while time.monotonic() - started < WINDOW_LIMIT and program_process.poll() is None:
            window = visible_window_of(desktop.env, program_process.pid)
            if window:
                break
            time.sleep(0.2)
        waited = time.monotonic() - started
        if window:
            time.sleep(0.5)  # the line is written before the window is built
        errors.seek(0)
        said = errors.read().decode(errors="replace")
        if not window:
            status = program_process.poll()
            raise CheckFailed(f"no window within {WINDOW_LIMIT:.0f} s (status {status}); "
                              f"stderr: {said!r}")
        if LINES[mode] + "\n" not in said:
            raise CheckFailed(f"the window came up in {waited:.1f} s without the line "
                              f"{LINES[mode]!r}; stderr: {said!r}")
        print(f"{mode}: the window came up in {waited:.1f} s, and the program said so")


if __name__ == "__main__":
    try:
        main()
    except CheckFailed as failure:
        sys.exit(f"silent_bus: {failure}")
