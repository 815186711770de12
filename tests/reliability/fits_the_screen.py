#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The real program on a private Xvfb screen of a given size, under openbox, at a given scale
# factor: the window, its frame included, must lie wholly on the screen; where the designed size
# fits, the client area is exactly the designed size.
#   fits_the_screen.py --program icatlas --layout window_layout WIDTHxHEIGHT SCALE DESIGNED|FITTED
# Exits 0 when it holds, 1 with what it saw when not, 77 where openbox or x11-utils is missing.
import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import SessionError, start_xvfb, visible_window  # noqa: E402

DESIGNED = (642, 525)  # the client area at 96 DPI and a scale of 1: 9630 x 7875 twips


def frame_of(env, wid):
    """The window's client rectangle and its frame's, in screen pixels, once the window manager
    has framed it; None until then."""
    extents = subprocess.run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"], env=env,
                             capture_output=True, text=True).stdout
    if "=" not in extents:
        return None
    left, right, top, bottom = (int(n) for n in extents.split("=", 1)[1].split(","))
    info = subprocess.run(["xwininfo", "-id", wid], env=env, capture_output=True,
                          text=True).stdout
    fields = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
    x, y, width, height = (int(fields[name]) for name in (
        "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
    return ((x, y, width, height),
            (x - left, y - top, width + left + right, height + top + bottom))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--layout", required=True)
    parser.add_argument("screen")
    parser.add_argument("scale")
    parser.add_argument("expect", choices=["DESIGNED", "FITTED"])
    args = parser.parse_args()
    for tool in ("openbox", "xprop", "xwininfo"):
        if shutil.which(tool) is None:
            print(f"{tool} is not installed")
            return 77
    width, height = (int(n) for n in args.screen.split("x"))
    caption = subprocess.run([args.layout], capture_output=True, text=True,
                             check=True).stdout.splitlines()[0].split("\t", 1)[1]
    try:
        server, display = start_xvfb(f"{args.screen}x24")
    except SessionError as error:
        print(error)
        return 1
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR=args.scale)
    for name in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE"):
        env.pop(name, None)
    started = []
    try:
        started.append(subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1)
        started.append(subprocess.Popen([args.program], env=env))
        shapes = None
        deadline = time.monotonic() + 30
        while shapes is None and time.monotonic() < deadline:
            wid = visible_window(env, caption)
            shapes = frame_of(env, wid) if wid else None
            time.sleep(0.2)
        if shapes is None:
            print(f"no framed window titled {caption!r} within 30 s")
            return 1
        time.sleep(0.5)  # the first resize after mapping, if any
        client, frame = frame_of(env, wid)
        print(f"screen {width}x{height} at {args.scale}: client {client}, frame {frame}")
        failed = []
        fx, fy, fw, fh = frame
        if fx < 0 or fy < 0 or fx + fw > width or fy + fh > height:
            failed.append("the frame reaches off the screen")
        scale = float(args.scale)
        designed = tuple(round(n * scale) for n in DESIGNED)
        if args.expect == "DESIGNED" and client[2:] != designed:
            failed.append(f"the client area is not the designed {designed}")
        if args.expect == "FITTED" and not client[3] < designed[1]:
            failed.append(f"the client area is not smaller than the designed {designed}")
        for reason in failed:
            print(reason)
        return 1 if failed else 0
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait()
        server.terminate()
        server.wait()


if __name__ == "__main__":
    sys.exit(main())
