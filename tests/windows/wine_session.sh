#!/bin/sh
# SPDX-License-Identifier: MIT
# Starts or ends the Wine session the Windows tests share: a private Xvfb display and a fresh
# Wine prefix, booted once per run since each boot costs seconds (15 s the first time).
#
#   wine_session.sh start|stop <state folder> <wine_run.sh>
set -eu
action=$1 state=$2 run=$3
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

# Xvfb picks a free display and writes its number; it outlives this script, so none of its
# output may hold ctest's pipes open.
exec 3>"$state/display.number"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 </dev/null &
echo $! >"$state/xvfb.pid"
exec 3>&-
tries=0
while [ ! -s "$state/display.number" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
        echo "Xvfb did not start:" >&2
        cat "$state/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
echo ":$(cat "$state/display.number")" >"$state/display"

# The prefix, made once; its wine server stays up for the run so each test's start is short.
started=$(date +%s)
mkdir -p "$state/prefix"
WINEPREFIX=$state/prefix wineserver -p </dev/null >/dev/null 2>&1
if ! timeout 120 "$run" wineboot --init >"$state/wineboot.log" 2>&1 </dev/null; then
    echo "wineboot failed or took over 120 s:" >&2
    cat "$state/wineboot.log" >&2
    exit 1
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
desktop_up() {
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        case $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) in
        *explorer.exe*/desktop=*)
            if tr '\0' '\n' <"$environ" 2>/dev/null | grep -qx "WINEPREFIX=$state/prefix"; then
                return 0
            fi
            ;;
        esac
    done
    return 1
}
tries=0
until desktop_up; do
    tries=$((tries + 1))
    if [ $tries -gt 300 ]; then
        echo "Wine's desktop did not start within 30 s" >&2
        exit 1
    fi
    sleep 0.1
done
echo "Wine prefix ready in $(($(date +%s) - started)) s on display $(cat "$state/display")"
