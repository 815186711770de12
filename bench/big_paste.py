#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Measures what a big paste costs the real icatlas on a private Xvfb display. For each size, a
# text of that many megabytes (part numbers and blanks, no line break) is put on the clipboard
# (xclip serves it) and pasted into a box with Ctrl+V. Then:
#   landed   seconds from Ctrl+V until the program has the text and is quiet again (its CPU use
#            below 2 % of a core over one second)
#   idle     the program's share of a core over the next five seconds, the cursor in the box
#   whole    whether the box, copied out through the clipboard after that, holds the whole text
#            (up to 8 MB: the toolkit hands out larger texts too slowly for a check)
#   click    seconds from a click on a model button until the model box, copied out through the
#            clipboard, shows that model (the same read-back takes about 0.25 s without a paste)
#   bench/big_paste.py --program build/release/app/icatlas \
#       --layout build/release/tests/reliability/window_layout 1 8 50
# Needs xvfb, xdotool, xclip (Debian); --perf FILE records the second after landing with perf.
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "support"))
from xsession import SessionError, start_xvfb, visible_window  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
QUIET_SHARE = 0.02


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, check=True, capture_output=True,
                          text=True, timeout=600).stdout.strip()


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def read_layout(program):
    buttons, boxes, caption = [], {}, None
    for line in subprocess.run([program], check=True, capture_output=True,
                               text=True).stdout.splitlines():
        fields = line.split("\t")
        if fields[0] == "caption":
            caption = fields[1]
        elif fields[0] == "button":
            buttons.append((fields[2], int(fields[3]), int(fields[4])))
        elif fields[0] == "box":
            boxes[fields[1]] = (int(fields[2]), int(fields[3]))
    return caption, buttons, boxes


def click(env, window, place):
    xdotool(env, "mousemove", "--window", window, str(place[0]), str(place[1]), "click", "1")


def copied_text(env, window, box):
    click(env, window, box)
    xdotool(env, "key", "ctrl+a", "ctrl+c")
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=env,
                            capture_output=True, timeout=120)
    return result.stdout if result.returncode == 0 else None


def quiet_after(pid, since):
    """Seconds from `since` until the process has used less than 2 % of a core over one second,
    or None when that has not happened within a minute."""
    last = cpu_seconds(pid)
    while time.monotonic() - since < 60:
        time.sleep(1)
        now = cpu_seconds(pid)
        if now - last < QUIET_SHARE:
            return f"{time.monotonic() - since - 1:.1f} s"
        last = now
    return None


def find_window(env, caption):
    for _ in range(240):
        window = visible_window(env, caption)
        if window:
            return window
        time.sleep(0.25)
    sys.exit("the window did not show")


def measure(args, megabytes, caption, buttons, boxes):
    try:
        server, display = start_xvfb()
    except SessionError as error:
        sys.exit(str(error))
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    program = subprocess.Popen([args.program], env=env, stderr=subprocess.DEVNULL)
    serving = None
    try:
        window = find_window(env, caption)
        size = megabytes * 1024 * 1024
        text = ("N643HT7MI 4370825 " * (size // 18 + 1))[:size]
        with tempfile.NamedTemporaryFile() as source:
            source.write(text.encode())
            source.flush()
            serving = subprocess.Popen(["xclip", "-i", "-selection", "clipboard", "-loops", "1",
                                        source.name], env=env)
            time.sleep(0.5)
            click(env, window, boxes["Text5"])
            pasted_at = time.monotonic()
            xdotool(env, "key", "ctrl+v")
            serving.wait(timeout=900)
        # Landed: the transfer is over and the program has been quiet for a second. A program
        # that never goes quiet is given up on after a minute, and that is what the table says.
        landed = quiet_after(program.pid, pasted_at)
        if args.perf:
            subprocess.run(["perf", "record", "--call-graph", "dwarf,16384", "-F", "200", "-o",
                            args.perf, "-p", str(program.pid), "--", "sleep", "1"],
                           capture_output=True)
        start = cpu_seconds(program.pid)
        time.sleep(5)
        idle = 100 * (cpu_seconds(program.pid) - start) / 5
        rss = rss_mb(program.pid)
        # Copied out again (retried: the keys may come before the copy is served), and then
        # quiet again before the click.
        whole = "NO" if 0 < megabytes <= 8 else "not checked"
        copied_at = time.monotonic()
        while whole == "NO" and time.monotonic() - copied_at < 120:
            if copied_text(env, window, boxes["Text5"]) == text.encode():
                whole = "yes"
                break
            time.sleep(1)
        quiet_after(program.pid, time.monotonic())
        model, x, y = buttons[6]
        clicked_at = time.monotonic()
        click(env, window, (x, y))
        # Repeated until the copy shows the model: the keys may come before the click is handled.
        shown = None
        while shown != model.encode() and time.monotonic() - clicked_at < 300:
            shown = copied_text(env, window, boxes["Text1"])
        took = time.monotonic() - clicked_at
        print(f"| {megabytes} MB | {landed or 'never (1 min)'} | {idle:.1f} % "
              f"| {whole} | {took:.2f} s | {rss:,.0f} MB |", flush=True)
    finally:
        if serving is not None and serving.poll() is None:
            serving.kill()
        program.kill()
        program.wait()
        server.kill()
        server.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--layout", required=True)
    parser.add_argument("--perf", help="record one second after landing with perf to this file")
    parser.add_argument("sizes", type=int, nargs="+", help="megabytes (0: no paste)")
    args = parser.parse_args()
    caption, buttons, boxes = read_layout(args.layout)
    print("| Pasted | Landed and quiet | Idle CPU (5 s) | Kept whole | Click to model box | RSS |")
    print("|---|---|---|---|---|---|")
    for megabytes in args.sizes:
        measure(args, megabytes, caption, buttons, boxes)


if __name__ == "__main__":
    main()
