#!/bin/sh
# SPDX-License-Identifier: MIT
# Starts or ends the Wine session the Windows tests share: a private Xvfb display and a fresh
# Wine prefix, booted once per run since each boot costs seconds (15 s the first time).
#
#   wine_session.sh start|stop <state folder> <wine_run.sh> [--x11-windows]
#
# The tests' windows share one virtual desktop; with --x11-windows (scripts/bench-windows), each
# window is a top-level X window of its own, as on a desktop, so that a harness can watch it.
set -eu
action=$1 state=$2 run=$3 windows=${4:-}
mkdir -p "$state"

stop() {
    # Only what this session started: the prefix's own wine server, and our Xvfb by its PID.
    if [ -d "$state/prefix" ]; then
        WINEPREFIX=$state/prefix wineserver -k 2>/dev/null || true
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid"
    fi
    rm -f "$state/display"
}

case $action in
stop)
    stop
    exit 0
    ;;
start) ;;
*)
    echo "usage: $0 start|stop <state folder> <wine_run.sh>" >&2
    exit 2
    ;;
esac

# A session a crashed run left behind is ended first, so this run starts from nothing.
stop
rm -rf "$state/prefix"

# The display comes from the one display starter; its server outlives this script (in a process
# group of its own, none of its output on ctest's pipes) and is ended by its PID.
if ! python3 - "$(dirname "$0")/../support" "$state" <<'EOF'; then
import sys
sys.path.insert(0, sys.argv[1])
import xsession
try:
    server, display = xsession.start_xvfb("1280x1024x24", dpi=None)
except xsession.SessionError as error:
    sys.exit(str(error))
with open(sys.argv[2] + "/xvfb.pid", "w") as pid:
    print(server.pid, file=pid)
with open(sys.argv[2] + "/display", "w") as name:
    print(display, file=name)
EOF
    echo "no display for the Wine session" >&2
    exit 1
fi

# The prefix, made once; its wine server stays up for the run so each test's start is short.
started=$(date +%s)
mkdir -p "$state/prefix"
WINEPREFIX=$state/prefix wineserver -p </dev/null >/dev/null 2>&1
if ! timeout 120 "$run" wineboot --init >"$state/wineboot.log" 2>&1 </dev/null; then
    echo "wineboot failed or took over 120 s:" >&2
    cat "$state/wineboot.log" >&2
    exit 1
fi
# Whether a process of this prefix whose command line matches the pattern runs (others may run
# beside it on a shared machine), waited for up to 30 s.
wait_for() {
    deadline=$(($(date +%s) + 30))
    while :; do
        for pid in $(pgrep -f "$1"); do
            if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$state/prefix"
            then
                return 0
            fi
        done
        if [ "$(date +%s)" -ge $deadline ]; then
            echo "$2 did not start within 30 s" >&2
            exit 1
        fi
        sleep 0.1
    done
}
if [ "$windows" = --x11-windows ]; then
    # Wine's desktop process ends once the last window on the X desktop is gone, and the next
    # program would start it again (seconds): a minimised Notepad keeps it up for the session.
    "$run" start /min notepad </dev/null >/dev/null 2>&1
    wait_for 'notepad\.exe' Notepad
    wait_for 'explorer\.exe /desktop' "Wine's desktop"
    echo "Wine prefix ready in $(($(date +%s) - started)) s on display $(cat "$state/display")"
    exit 0
fi
# One virtual desktop for every window: a top-level window of its own on an X server without a
# window manager costs Wine a second's wait when it is closed (for a window manager's answer
# that never comes), and the window tests open and close dozens.
"$run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f \
    >/dev/null 2>&1
# The desktop is chosen as the prefix's first program starts: start it again with the setting.
WINEPREFIX=$state/prefix wineserver -k 2>/dev/null || true
WINEPREFIX=$state/prefix wineserver -w 2>/dev/null || true
WINEPREFIX=$state/prefix wineserver -p </dev/null >/dev/null 2>&1
# The desktop's own process is started here, for the whole run and away from ctest's pipes: one
# that a test started would hold the test's output open after the test ends. It ends with the
# prefix's server.
"$run" explorer /desktop=Default,1280x1024 </dev/null >/dev/null 2>&1 &
wait_for 'explorer\.exe.*/desktop=' "Wine's desktop"
echo "Wine prefix ready in $(($(date +%s) - started)) s on display $(cat "$state/display")"
