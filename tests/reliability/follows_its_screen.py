#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The real program on one X screen split into two monitors, LEFT at scale 1 and RIGHT at another
# (a laptop beside a denser monitor), with or without a window manager: moved onto RIGHT, the
# window must take its designed size at RIGHT's scale at once, lie inside RIGHT, and show its
# lowest, rightmost box; moved back, its designed size at scale 1.
#   follows_its_screen.py --program icatlas --layout window_layout FACTOR none|openbox
# Exits 0 when it holds, 1 with what it saw when not, 77 where a tool it needs is missing.
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import PrivateDesktop, SessionError, visible_window  # noqa: E402

DESIGNED = (642, 525)  # the client area at 96 DPI and a scale of 1: 9630 x 7875 twips
MONITOR = (1600, 1200)  # each monitor's size in device pixels; RIGHT starts where LEFT ends
WAIT = 10.0  # seconds the window has to settle after a move


def client_of(env, wid):
    """The window's client rectangle in screen pixels."""
    info = subprocess.run(["xwininfo", "-id", wid], env=env, capture_output=True,
                          text=True).stdout
    fields = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
    return tuple(int(fields[name]) for name in (
        "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def settled(env, wid, size):
    """The client rectangle once its size is `size` (to a pixel), or the last one seen."""
    deadline = time.monotonic() + WAIT
    while True:
        client = client_of(env, wid)
        if all(abs(a - b) <= 1 for a, b in zip(client[2:], size)) \
                or time.monotonic() > deadline:
            return client
        time.sleep(0.2)


def pixel(env, wid, x, y):
    """The colour of the window's pixel at (x, y) as 'r,g,b', or what import said."""
    shot = subprocess.run(["import", "-window", wid, "-crop", f"1x1+{x}+{y}", "-depth", "8",
                           "txt:-"], env=env, capture_output=True, text=True)
    for line in shot.stdout.splitlines():
        if line.startswith("0,0:"):
            return line.split("(", 1)[1].split(")", 1)[0].replace(" ", "")
    return shot.stderr.strip() or "nothing"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--layout", required=True)
    parser.add_argument("factor", type=float)
    parser.add_argument("manager", choices=["none", "openbox"])
    args = parser.parse_args()
    tools = ["xrandr", "xdotool", "xwininfo", "import"]
    if args.manager == "openbox":
        tools.append("openbox")
    for tool in tools:
        if shutil.which(tool) is None:
            print(f"{tool} is not installed")
            return 77
    layout = subprocess.run([args.layout], capture_output=True, text=True,
                            check=True).stdout.splitlines()
    caption = layout[0].split("\t", 1)[1]
    lowest_box = next(line.split("\t")[2:] for line in layout if line.startswith("box\tText16\t"))
    width, height = MONITOR
    env = dict(os.environ, QT_QPA_PLATFORM="xcb",
               QT_SCREEN_SCALE_FACTORS=f"LEFT=1;RIGHT={args.factor:g}")
    for name in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "QT_SCALE_FACTOR", "QT_FONT_DPI"):
        env.pop(name, None)
    try:
        with tempfile.TemporaryDirectory(prefix="icatlas-screens-") as runtime_dir, \
                PrivateDesktop(dict(env, XDG_RUNTIME_DIR=runtime_dir)) as desktop:
            desktop.start_display_and_bus(f"{2 * width}x{height}x24", 96)
            return check(desktop, args, caption, lowest_box)
    except SessionError as error:
        print(error)
        return 1


def check(desktop, args, caption, lowest_box):
    """Starts the program on the desktop, moves it from screen to screen, and says what failed."""
    env = desktop.env
    width, height = MONITOR
    for name, left in (("LEFT", 0), ("RIGHT", width)):
        subprocess.run(["xrandr", "--setmonitor", name, f"{width}/423x{height}/317+{left}+0",
                        "none"], env=env, check=True)
    if args.manager == "openbox":
        desktop._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        time.sleep(1)
    desktop._spawn([args.program])
    wid = None
    deadline = time.monotonic() + 30
    while wid is None and time.monotonic() < deadline:
        wid = visible_window(env, caption)
        time.sleep(0.2)
    if wid is None:
        print(f"no window titled {caption!r} within 30 s")
        return 1
    failed = []
    print(f"on LEFT at start: client {settled(env, wid, DESIGNED)}")
    subprocess.run(["xdotool", "windowmove", wid, str(width + 100), "50"], env=env, check=True)
    designed = tuple(round(n * args.factor) for n in DESIGNED)
    x, y, w, h = settled(env, wid, designed)
    print(f"moved onto RIGHT at {args.factor:g}: client {(x, y, w, h)}, designed {designed}")
    if any(abs(a - b) > 1 for a, b in zip((w, h), designed)):
        failed.append("the window did not take its designed size at RIGHT's scale")
    if x < width or x + w > 2 * width or y < 0 or y + h > height:
        failed.append("the window does not lie inside RIGHT")
    box = tuple(round(int(n) * args.factor) for n in lowest_box)
    colour = pixel(env, wid, *box)
    print(f"the middle of Text16 at {box}: {colour}")
    if colour != "255,255,255":
        failed.append("Text16, the lowest box of RAM IC, is not drawn where it belongs")
    subprocess.run(["xdotool", "windowmove", wid, "100", "50"], env=env, check=True)
    back = settled(env, wid, DESIGNED)
    print(f"moved back onto LEFT: client {back}")
    if any(abs(a - b) > 1 for a, b in zip(back[2:], DESIGNED)):
        failed.append("back on LEFT, the window did not take its designed size")
    for reason in failed:
        print(reason)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
