#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Runs the real icatlas natively on Wayland, under Debian's weston on its headless backend (pixman,
# no GPU, a private XDG_RUNTIME_DIR), and checks that the window shows what it shows on X11: the
# window's contents in a weston screenshot must match a grab of the same window on a private Xvfb
# display, pixel for pixel bar a few. Both runs use the same fonts, the same Qt style and 96 DPI;
# Qt's Wayland client draws no decorations here, so the window in the screenshot is its client
# area, found as what differs from weston's plain background.
#   wayland_session.py --program icatlas --layout window_layout [--keep DIR]
# --keep saves both pictures and their difference. Exit status 0 when they match; the reason
# otherwise. Needs weston, qt6-wayland, xvfb, xdotool, imagemagick and dbus-daemon, from Debian.
import argparse
import contextlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from drive_session import SessionError, find_window, private_bus, read_layout, start_xvfb

TIMEOUT = 60  # seconds for the window to show, generous on a busy machine
BACKGROUND = "#204060"
# Pixels allowed to differ between the two pictures (of about 340,000). None: both are painted on
# the CPU by Qt's raster engine into 32-bit pixels, with the same fonts, style and DPI, and weston's
# pixman renderer copies the window's buffer as it is. A difference means the platforms disagree
# on a font, the style, the scale or the size.
ALLOWED_DIFFERENCES = 0
# Exit status for ctest's SKIP_RETURN_CODE: weston or Qt's Wayland platform is not installed
# (scripts/test installs both).
SKIPPED = 77


class NotInstalled(Exception):
    pass

WESTON_INI = f"""[core]
idle-time=0
[shell]
background-color=0xff{BACKGROUND[1:]}
panel-position=none
locking=false
animation=none
startup-animation=none
"""


def program_environment(**extra):
    """The environment both runs share: no desktop's theme, style or scale leaks in."""
    env = {key: value for key, value in os.environ.items()
           if not key.startswith(("QT_", "XDG_", "WAYLAND_", "GDK_", "KDE_"))
           and key not in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "DESKTOP_SESSION")}
    env.update(extra)
    return env


def run(command, check=True, **kwargs):
    return subprocess.run(command, check=check, capture_output=True, text=True, timeout=TIMEOUT,
                          **kwargs)


@contextlib.contextmanager
def started(command, **kwargs):
    """A helper process in a process group of its own (weston starts its shell as a child), the
    whole group ended and the process waited for, whatever happens."""
    process = subprocess.Popen(command, start_new_session=True, **kwargs)
    try:
        yield process
    finally:
        # The process first, so that it reaps its own children; then anything left in its group.
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        with contextlib.suppress(ProcessLookupError):
            os.killpg(process.pid, signal.SIGKILL)


def same_picture(first, second):
    result = run(["compare", "-metric", "AE", first, second, "null:"], check=False)
    return result.stderr.split()[0] == "0"


def stable_picture(take, path, ready):
    """Takes pictures until one is ready and the next is the same: the first paint has finished."""
    deadline = time.monotonic() + TIMEOUT
    previous = None
    while time.monotonic() < deadline:
        take(path)
        if ready(path):
            if previous is not None and same_picture(previous, path):
                return path
            previous = path + ".previous.png"
            shutil.copyfile(path, previous)
        time.sleep(0.3)
    raise SessionError(f"no steady picture of the window within {TIMEOUT} s")


def size_of(path):
    width, height = run(["identify", "-format", "%w %h", path]).stdout.split()
    return int(width), int(height)


def x11_picture(args, caption, work):
    server, display_name = start_xvfb()
    try:
        with private_bus() as bus:
            env = program_environment(DISPLAY=display_name, QT_QPA_PLATFORM="xcb",
                                      DBUS_SESSION_BUS_ADDRESS=bus)
            with started([args.program], env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL) as program:
                window = find_window(env, caption, program)
                path = os.path.join(work, "x11.png")
                return stable_picture(
                    lambda out: run(["import", "-window", window, "PNG24:" + out], env=env),
                    path, lambda _: True)
    finally:
        server.terminate()
        server.wait()


def wayland_picture(args, work):
    runtime = tempfile.mkdtemp(prefix="icatlas-wayland-")  # mode 0700, as a runtime folder must be
    try:
        config = os.path.join(work, "weston.ini")
        with open(config, "w") as out:
            out.write(WESTON_INI)
        socket = "wayland-icatlas"
        env = program_environment(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=socket)
        weston_log = os.path.join(work, "weston.log")
        with open(weston_log, "w") as log, \
                started(["weston", "--config=" + config, "--backend=headless-backend.so",
                         "--use-pixman", "--width=1024", "--height=768", "--socket=" + socket,
                         # The screenshooter protocol is offered only with --debug.
                         "--debug"], env=env, stdout=log, stderr=subprocess.STDOUT) as weston:
            deadline = time.monotonic() + TIMEOUT
            while not os.path.exists(os.path.join(runtime, socket)):
                if weston.poll() is not None or time.monotonic() > deadline:
                    raise SessionError("weston did not start: " + open(weston_log).read())
                time.sleep(0.1)
            with private_bus() as bus:
                program_env = dict(env, QT_QPA_PLATFORM="wayland", DBUS_SESSION_BUS_ADDRESS=bus,
                                   QT_WAYLAND_DISABLE_WINDOWDECORATION="1")
                with started([args.program], env=program_env, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True) as program:
                    shots = os.path.join(work, "shots")
                    os.mkdir(shots)

                    def take(path):
                        if program.poll() is not None:
                            output = program.stdout.read()
                            if "is not installed" in output:
                                raise NotInstalled(output.strip())
                            raise SessionError(f"icatlas ended on Wayland ({program.returncode}): "
                                               + output)
                        for old in os.listdir(shots):
                            os.remove(os.path.join(shots, old))
                        # It saves wayland-screenshot-<time>.png in its working folder.
                        run(["weston-screenshooter"], env=env, cwd=shots)
                        (shot,) = os.listdir(shots)
                        run(["convert", os.path.join(shots, shot), "-alpha", "off",
                             "-bordercolor", BACKGROUND, "-border", "1", "-trim", "+repage",
                             path])

                    # Until the window shows, the trimmed screenshot is one pixel of background.
                    return stable_picture(take, os.path.join(work, "wayland.png"),
                                          lambda path: size_of(path) != (1, 1))
    finally:
        shutil.rmtree(runtime, ignore_errors=True)


def check_same(x11, wayland, difference):
    if size_of(wayland) != size_of(x11):
        raise SessionError("the window on Wayland is {}x{}, not {}x{} as on X11".format(
            *size_of(wayland), *size_of(x11)))
    result = run(["compare", "-metric", "AE", x11, wayland, difference], check=False)
    differing = int(float(result.stderr.split()[0]))
    print(f"{differing} of {size_of(x11)[0] * size_of(x11)[1]} pixels differ "
          f"(at most {ALLOWED_DIFFERENCES} allowed)")
    if differing > ALLOWED_DIFFERENCES:
        raise SessionError("the window on Wayland does not look as it does on X11")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True, help="the icatlas executable")
    parser.add_argument("--layout", required=True, help="the window_layout helper")
    parser.add_argument("--keep", help="a folder to save the pictures in")
    args = parser.parse_args()
    if shutil.which("weston") is None:
        print("skipped: weston is not installed")
        return SKIPPED
    work = tempfile.mkdtemp(prefix="icatlas-pictures-")
    try:
        caption, _, _ = read_layout(args.layout)
        x11 = x11_picture(args, caption, work)
        size = size_of(x11)
        print(f"X11: the window's client area is {size[0]}x{size[1]}")
        wayland = wayland_picture(args, work)
        difference = os.path.join(work, "difference.png")
        try:
            check_same(x11, wayland, difference)
        finally:
            if args.keep:
                os.makedirs(args.keep, exist_ok=True)
                for name in ("x11.png", "wayland.png", "difference.png"):
                    if os.path.exists(os.path.join(work, name)):
                        shutil.copy(os.path.join(work, name), args.keep)
    except NotInstalled as error:
        print(f"skipped: {error}")
        return SKIPPED
    except (SessionError, subprocess.SubprocessError) as error:
        print(f"wayland_session: {error}", file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
