#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Drives the real icatlas executable from outside, as a user would, on a private Xvfb display:
# starts it (under valgrind memcheck or strace when asked), clicks each of the 42 model buttons,
# reads the model box back through the clipboard after each click, and closes the window the way a
# window manager does. Then checks what the mode is about:
#   memcheck   valgrind reports no error and no definitely-lost block (bar the commented
#              suppressions of third-party libraries)
#   isolation  nothing was written under an empty HOME and XDG directories, and no socket was
#              opened but the display's and the accessibility bus's
# Exit status 0 when all held; the reason otherwise. Needs xvfb, xdotool, xclip, python3-xlib
# (and valgrind or strace), dbus-daemon for a private session bus, all from Debian.
import argparse
import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay, protocol

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import SessionError, start_xvfb, visible_window  # noqa: E402

CLICK_TIMEOUT = 60  # seconds for one click to show, generous for memcheck on a busy machine


def read_layout(layout_program):
    caption, buttons, boxes = None, [], {}
    out = subprocess.run([layout_program], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        fields = line.split("\t")
        if fields[0] == "caption":
            caption = fields[1]
        elif fields[0] == "button":
            buttons.append((fields[1], fields[2], int(fields[3]), int(fields[4])))
        elif fields[0] == "box":
            boxes[fields[1]] = (int(fields[2]), int(fields[3]))
    if caption is None or len(buttons) != 42 or "Text1" not in boxes:
        raise SessionError(f"unexpected layout from {layout_program}")
    return caption, buttons, boxes


# A session bus of the test's own that offers no services: the program finds a bus, as on a
# desktop, so libdbus never autolaunches one (with dbus-x11 installed it would fork a dbus-daemon
# that outlives the test, and that strace -f would wait for), and nothing is activated on it.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir={folder}</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


@contextlib.contextmanager
def private_bus():
    """Yields the address of a private session bus, ended on leaving."""
    folder = tempfile.mkdtemp(prefix="icatlas-bus-")
    try:
        config = os.path.join(folder, "session.conf")
        with open(config, "w") as out:
            out.write(BUS_CONFIG.format(folder=folder))
        bus = subprocess.Popen(["dbus-daemon", "--nofork", "--config-file=" + config,
                                "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        try:
            address = bus.stdout.readline().strip()
            if not address:
                raise SessionError("dbus-daemon did not start")
            yield address
        finally:
            bus.terminate()
            bus.wait()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, check=True, capture_output=True,
                          text=True, timeout=CLICK_TIMEOUT).stdout.strip()


def clipboard(env):
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=env,
                            capture_output=True, text=True, timeout=30)
    return result.stdout if result.returncode == 0 else None


def find_window(env, caption, program):
    deadline = time.monotonic() + CLICK_TIMEOUT * 2
    while time.monotonic() < deadline:
        if program.poll() is not None:
            raise SessionError(f"the program ended before its window showed ({program.returncode})")
        window = visible_window(env, caption)
        if window:
            return window
        time.sleep(0.5)
    raise SessionError("the window did not show")


def click_every_model(env, window, buttons, boxes):
    """Clicks each model button and waits until the model box, copied to the clipboard, shows it."""
    text1 = boxes["Text1"]
    for name, model, x, y in buttons:
        xdotool(env, "mousemove", "--window", window, str(x), str(y), "click", "1")
        xdotool(env, "mousemove", "--window", window, str(text1[0]), str(text1[1]), "click", "1")
        deadline = time.monotonic() + CLICK_TIMEOUT
        shown = None
        while time.monotonic() < deadline:
            xdotool(env, "key", "ctrl+a", "ctrl+c")
            shown = clipboard(env)
            if shown == model:
                break
            time.sleep(0.3)
        else:
            raise SessionError(f"after a click on {name} the model box shows {shown!r}, not {model!r}")
        print(f"clicked {name}: the model box shows {model}", flush=True)


def close_window(env, window):
    """Asks the window to close, as a window manager does (WM_DELETE_WINDOW)."""
    connection = xdisplay.Display(env["DISPLAY"])
    target = connection.create_resource_object("window", int(window))
    protocols = connection.intern_atom("WM_PROTOCOLS")
    delete = connection.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=target, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    target.send_event(event, event_mask=X.NoEventMask)
    # A round trip, not only a flush: Xlib's close may otherwise drop the connection before the
    # server has read the request, and the event is then silently lost.
    connection.sync()
    connection.close()


def run_session(args, command, env):
    caption, buttons, boxes = read_layout(args.layout)
    server, display_name = start_xvfb()
    try:
        with private_bus() as bus_address:
            env = dict(env, DISPLAY=display_name, QT_QPA_PLATFORM="xcb",
                       DBUS_SESSION_BUS_ADDRESS=bus_address)
            return drive_program(command, env, caption, buttons, boxes)
    finally:
        server.terminate()
        server.wait()


def drive_program(command, env, caption, buttons, boxes):
    # A session of its own, so a failed run ends the program with whatever wraps it.
    program = subprocess.Popen(command, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, start_new_session=True)
    try:
        window = find_window(env, caption, program)
        xdotool(env, "windowfocus", window)
        click_every_model(env, window, buttons, boxes)
        close_window(env, window)
        output, _ = program.communicate(timeout=CLICK_TIMEOUT * 3)
    except BaseException:
        os.killpg(program.pid, signal.SIGKILL)
        print(program.communicate()[0])
        raise
    print(output)
    return program.returncode, output


def memcheck(args):
    command = ["valgrind", "--tool=memcheck", "--error-exitcode=99", "--leak-check=full",
               "--show-leak-kinds=definite", "--errors-for-leak-kinds=definite",
               "--num-callers=30"]
    for path in args.suppressions:
        command.append("--suppressions=" + path)
    status, output = run_session(args, command + [args.program], os.environ)
    if status != 0:
        raise SessionError(f"valgrind memcheck ended with status {status} (99: errors found)")
    summary = re.search(r"ERROR SUMMARY: (\d+) errors", output)
    if summary is None or summary.group(1) != "0":
        raise SessionError("memcheck reported errors")
    print("memcheck: 42 clicks, 0 errors, no definitely-lost block")


# Sockets a desktop program may open: the X display, and D-Bus (Qt's accessibility bridge
# looks for the accessibility bus through the session bus).
ALLOWED_CONNECTS = [re.compile(p) for p in (r"/tmp/\.X11-unix/X\d+", r"\bbus\b", r"dbus", r"at-spi")]


def isolation(args):
    root = tempfile.mkdtemp(prefix="icatlas-isolation-")
    try:
        dirs = {name: os.path.join(root, name.lower()) for name in
                ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                 "XDG_RUNTIME_DIR")}
        for path in dirs.values():
            os.makedirs(path, mode=0o700)
        env = {key: value for key, value in os.environ.items()
               if not key.startswith("XDG_") and key not in ("HOME", "DBUS_SESSION_BUS_ADDRESS")}
        env.update(dirs)
        # run_session gives the program the test's own session bus: with no address at all,
        # libdbus would launch one through dbus-launch (package dbus-x11) where that is installed,
        # and the daemon it forks would outlive the program, so strace -f would wait for ever.
        env["XDG_CONFIG_DIRS"] = os.path.join(root, "config-dirs")
        env["XDG_DATA_DIRS"] = "/usr/share"
        trace = os.path.join(root, "strace.log")
        command = ["strace", "-f", "-qq", "-e", "trace=socket,connect", "-o", trace, args.program]
        status, _ = run_session(args, command, env)
        if status != 0:
            raise SessionError(f"the program ended with status {status}")

        created = []
        for name, path in dirs.items():
            for folder, subdirs, files in os.walk(path):
                created += [os.path.join(folder, entry) for entry in files + subdirs]
        with open(trace) as log:
            calls = log.read().splitlines()
        sockets = [line for line in calls if " socket(" in line and "= -1" not in line]
        foreign = [line for line in sockets if "AF_UNIX" not in line and "AF_LOCAL" not in line]
        connects = [line for line in calls if " connect(" in line]
        unexpected = [line for line in connects
                      if not any(pattern.search(line) for pattern in ALLOWED_CONNECTS)]
        print(f"isolation: {len(created)} files created, {len(sockets)} sockets "
              f"({len(foreign)} not local), {len(connects)} connects")
        for line in connects:
            print("  " + line)
        if created:
            raise SessionError("files created: " + ", ".join(created))
        if foreign or unexpected:
            raise SessionError("sockets other than the display's and D-Bus's: "
                               + "; ".join(foreign + unexpected))
    finally:
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("mode", choices=("memcheck", "isolation"))
    parser.add_argument("--program", required=True, help="the icatlas executable")
    parser.add_argument("--layout", required=True, help="the window_layout helper")
    parser.add_argument("--suppressions", action="append", default=[])
    args = parser.parse_args()
    try:
        (memcheck if args.mode == "memcheck" else isolation)(args)
    except (SessionError, subprocess.SubprocessError) as error:
        print(f"drive_session: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
