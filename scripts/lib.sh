# SPDX-License-Identifier: MIT
# Shared by the scripts: installs what a fresh Debian 12 machine lacks, with apt-get.
# shellcheck shell=bash

ICATLAS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages every build needs: the start asks the buses over libdbus and reads the X root window
# over xcb, and the Qt realisation reads the X server's event types (libxcb1-dev).
ICATLAS_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libgtest-dev qt6-base-dev libgl-dev
    libdbus-1-dev libxcb1-dev fonts-liberation)

# What the screen-reader test drives the real program with: a virtual display, a D-Bus session
# bus, the AT-SPI bus and Debian's Python bindings for it, xdotool for keys and clicks, the Orca
# screen reader whose words it checks, the speech-dispatcher each round configures for Orca to speak
# to (silently), and unshare (util-linux) to give each Orca a namespace.
ICATLAS_SCREEN_READER_PACKAGES=(xvfb dbus dbus-daemon at-spi2-core python3 python3-pyatspi xdotool
    orca speech-dispatcher util-linux)

# Packages the checks of what ships need: formatting and static analysis, building the Debian
# package (dpkg-shlibdeps), the validators run on it, and the Unicode character database that the
# character tables of text/ are held to.
ICATLAS_CHECK_PACKAGES=(clang-format clang-tidy dpkg-dev file lintian desktop-file-utils appstream
    devscripts python3 unicode-data)

# Installs whichever of the named packages are missing: as root directly, else through sudo;
# where neither is possible, prints the one line to run and fails.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
            sudo=(sudo)
        else
            echo "Missing packages. Please run:" >&2
            echo "  sudo apt-get install -y ${missing[*]}" >&2
            return 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq \
        && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds one preset: every target, or only the ones named after it.
build_preset() {
    local preset=$1
    shift
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake --preset "$preset" -S "$ICATLAS_ROOT" >/dev/null \
        && cmake --build --preset "$preset" "${targets[@]}"
}

# What scripts/bench needs besides the build: Google Benchmark, valgrind to count instructions,
# and for the start-up harness an X server with DAMAGE, Xlib to build it against, a session bus,
# strace to count what a start waits on; and the icon themes every desktop has, so start-up is
# measured as users see it.
ICATLAS_BENCH_PACKAGES=(libbenchmark-dev valgrind libx11-dev libxdamage-dev libxfixes-dev xvfb dbus
    strace python3 adwaita-icon-theme hicolor-icon-theme)

# What the fuzzing of icatlas-find needs: clang with libFuzzer and the sanitizer run-times.
ICATLAS_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Packages the reliability checks need: the real program under valgrind memcheck and under strace,
# driven from outside on a private Xvfb display (tests/reliability/drive_session.py), and natively
# on Wayland under a headless weston, compared with its X11 picture (wayland_session.py), and on
# screens of a given size under a window manager (fits_the_screen.py), on one X screen split into
# two monitors of different scales (xrandr, in x11-xserver-utils), and silent buses made of real bus
# daemons and clients (silent_bus.py: python3-dbus and python3-gi for the clients).
ICATLAS_RELIABILITY_PACKAGES=(valgrind strace xvfb xdotool xclip python3 python3-xlib dbus-daemon
    python3-dbus python3-gi weston qt6-wayland imagemagick openbox x11-utils x11-xserver-utils)

# The Windows build (the `windows` preset): the mingw-w64 cross compiler with POSIX threads and its
# windres, GoogleTest's sources to cross-build, Wine to run the programs and their tests on a
# private Xvfb, NSIS for the installer, Python for the icon made at build time, and fontTools for
# the renamed faces the face test registers.
ICATLAS_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix googletest wine wine64 xvfb nsis python3
    python3-fonttools)
