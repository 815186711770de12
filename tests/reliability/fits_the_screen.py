#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The real program on a private Xvfb screen of a given size, under openbox, at a given scale
# factor, perhaps with panels along the top and the bottom: the window, its frame included, must
# lie wholly in the screen's free area; where the designed size fits, the client area is exactly
# the designed size; where not even the least scale fits, the content scrolls, and scrolled to its
# end shows the last box of the rightmost column.
#   fits_the_screen.py --program icatlas --layout window_layout [--panels TOP,BOTTOM]
#                      WIDTHxHEIGHT SCALE DESIGNED|FITTED|SCROLLED
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
LEAST = (526, 431)  # the same at the least scale, 0.82
# The middle of Text16, the third box of RAM IC, at the least scale: (7800 + 1695 / 2,
# 6960 + 375 / 2) twips x 0.82 / 15.
LAST_BOX = (472.7, 390.7)
SCROLL_BAR = 14  # the breadth of Fusion's scroll bar at 96 DPI, in pixels


def start_panels(display, top, bottom):
    """Dock windows along the top and the bottom of the screen that reserve their height, as a
    desktop's panels do; the connection that holds them is returned."""
    from Xlib import Xatom, display as xdisplay  # python3-xlib
    connection = xdisplay.Display(display)
    screen = connection.screen()
    width, height = screen.width_in_pixels, screen.height_in_pixels
    atom = connection.intern_atom
    for y, size, strut in ((0, top, [0, 0, top, 0, 0, 0, 0, 0, 0, width - 1, 0, 0]),
                           (height - bottom, bottom,
                            [0, 0, 0, bottom, 0, 0, 0, 0, 0, 0, 0, width - 1])):
        if size == 0:
            continue
        panel = screen.root.create_window(0, y, width, size, 0, screen.root_depth,
                                          background_pixel=screen.black_pixel)
        panel.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                              [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        panel.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32, strut)
        panel.change_property(atom("_NET_WM_STRUT"), Xatom.CARDINAL, 32, strut[:4])
        panel.map()
    connection.sync()
    return connection


def scrolled_to_the_end_shows_the_last_box(env, wid, client):
    """Scrolls the window's content to its end with the wheel, down and to the right, and says
    whether Text16's middle is drawn there as a box (white) is."""
    width, height = client[2:]
    vertical = LEAST[1] > height
    horizontal = LEAST[0] > width - (SCROLL_BAR if vertical else 0)
    vertical = vertical or LEAST[1] > height - (SCROLL_BAR if horizontal else 0)
    view = (width - (SCROLL_BAR if vertical else 0), height - (SCROLL_BAR if horizontal else 0))
    subprocess.run(["xdotool", "mousemove", "--window", wid, "10", "10"], env=env, check=True)
    for button, needed in (("5", vertical), ("7", horizontal)):
        if needed:
            subprocess.run(["xdotool", "click", "--repeat", "30", "--delay", "10", button],
                           env=env, check=True)
    time.sleep(0.5)
    content = (max(LEAST[0], view[0]), max(LEAST[1], view[1]))
    margin = ((content[0] - LEAST[0]) // 2, (content[1] - LEAST[1]) // 2)
    x, y = (round(LAST_BOX[i] + margin[i] - (content[i] - view[i])) for i in range(2))
    shot = subprocess.run(["import", "-window", wid, "-crop", f"1x1+{x}+{y}", "-depth", "8",
                           "txt:-"], env=env, capture_output=True, text=True).stdout
    colour = shot.split("(", 1)[1].split(")", 1)[0].replace(" ", "") if "(" in shot else shot
    print(f"scrolled to the end, the middle of Text16 at {(x, y)} is {colour}")
    return colour == "255,255,255"


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
    parser.add_argument("--panels", default="0,0", help="the panels' heights, top and bottom")
    parser.add_argument("scale")
    parser.add_argument("expect", choices=["DESIGNED", "FITTED", "SCROLLED"])
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
    panels = None
    try:
        top, bottom = (int(n) for n in args.panels.split(","))
        panels = start_panels(display, top, bottom) if top or bottom else None
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
        if fx < 0 or fy < top or fx + fw > width or fy + fh > height - bottom:
            failed.append("the frame reaches off the screen's free area")
        scale = float(args.scale)
        designed = tuple(round(n * scale) for n in DESIGNED)
        if args.expect == "DESIGNED" and client[2:] != designed:
            failed.append(f"the client area is not the designed {designed}")
        if args.expect == "FITTED" and not client[3] < designed[1]:
            failed.append(f"the client area is not smaller than the designed {designed}")
        if args.expect == "SCROLLED" and not scrolled_to_the_end_shows_the_last_box(
                env, wid, client):
            failed.append("the last box of RAM IC cannot be scrolled into view")
        for reason in failed:
            print(reason)
        return 1 if failed else 0
    finally:
        if panels is not None:
            panels.close()
        for process in reversed(started):
            process.terminate()
            process.wait()
        server.terminate()
        server.wait()


if __name__ == "__main__":
    sys.exit(main())
