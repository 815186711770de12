#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The real program on a private display and bus, its window destroyed by another client
# (`xdotool windowclose`, as a session tool may): the program must end, with status 0, rather than
# run on with no window.
#   destroyed_from_outside.py --program icatlas --layout window_layout
# Exits 0 when it holds, 1 with what it saw when not, 77 where xdotool is missing.
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import PrivateDesktop, SessionError, visible_window  # noqa: E402

BOUND = 10.0  # seconds the program has to end once its window is gone


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--layout", required=True)
    args = parser.parse_args()
    if shutil.which("xdotool") is None:
        print("xdotool is not installed")
        return 77
    caption = subprocess.run([args.layout], capture_output=True, text=True,
                             check=True).stdout.splitlines()[0].split("\t", 1)[1]
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    for name in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE"):
        env.pop(name, None)
    try:
        with tempfile.TemporaryDirectory(prefix="icatlas-destroyed-") as runtime_dir, \
                PrivateDesktop(dict(env, XDG_RUNTIME_DIR=runtime_dir)) as desktop:
            desktop.start_display_and_bus()
            program = desktop._spawn([args.program])
            wid = None
            deadline = time.monotonic() + 30
            while wid is None and time.monotonic() < deadline:
                wid = visible_window(desktop.env, caption)
                time.sleep(0.2)
            if wid is None:
                print(f"no window titled {caption!r} within 30 s")
                return 1
            subprocess.run(["xdotool", "windowclose", wid], env=desktop.env, check=True)
            try:
                status = program.wait(timeout=BOUND)
            except subprocess.TimeoutExpired:
                print(f"window {wid} destroyed; the program still runs {BOUND:.0f} s later")
                return 1
            print(f"window {wid} destroyed; the program ended with status {status}")
            return 0 if status == 0 else 1
    except SessionError as error:
        print(error)
        return 1


if __name__ == "__main__":
    sys.exit(main())
