#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The checks a distribution makes on the Debian package, one per ctest test:
#   check_package.sh lintian|hardening|contents|run DEB SOURCE_ROOT GENERATED APP_ID VERSION
# GENERATED is the build's packaging folder, where the desktop entry and the metainfo are made.
# Each check that needs the installed files unpacks the package into a scratch root (dpkg -x).
set -euo pipefail

check=$1 deb=$2 source_root=$3 generated=$4 app_id=$5 version=$6
[ -f "$deb" ] || { echo "no package at $deb (the package.build test makes it)" >&2; exit 1; }

root=$(mktemp -d)
program_pid=""
cleanup() {
    if [ -n "$program_pid" ]; then kill -KILL "$program_pid" 2>/dev/null || true; fi
    rm -rf "$root"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

unpack() {
    dpkg -x "$deb" "$root"
}

check_lintian() {
    # The verdict is read from the tags, since lintian's own --fail-on would also count the
    # overridden ones that --show-overrides prints; its exit status only says it ran.
    local output status=0
    output=$(lintian --info --display-info --show-overrides --fail-on none "$deb" 2>&1) \
        || status=$?
    echo "$output"
    [ "$status" -eq 0 ] || fail "lintian could not check the package (exit status $status)"
    if grep -qE '^[EW]: ' <<<"$output"; then
        fail "lintian reports errors or warnings"
    fi
    echo "lintian: $(grep -cE '^[EW]: ' <<<"$output" || true) errors and warnings, $(grep -cE '^I: ' <<<"$output" || true) infos, $(grep -cE '^O: ' <<<"$output" || true) overridden"
}

check_hardening() {
    unpack
    # Control-flow protection is not asked for: Debian 12's C start files (crti.o) carry no
    # IBT/SHSTK property, so no program linked on Debian 12 has it (dpkg's own neither).
    local program=$root/usr/bin/icatlas output status=0
    output=$(hardening-check --nocfprotection "$program" 2>&1) || status=$?
    echo "$output"
    [ "$status" -eq 0 ] || fail "hardening-check fails icatlas (exit status $status)"
    local feature
    for feature in "Position Independent Executable" "Stack protected" "Fortify Source functions" \
        "Read-only relocations" "Immediate binding"; do
        grep -qE "^ $feature: yes" <<<"$output" || fail "icatlas: $feature is not yes"
    done

    # icatlas-find is built with the same flags, but the only fortifiable calls in it are the
    # memcpy/memmove that libstdc++'s inline string code makes, and the memset with which its
    # vectors clear the rows of the suggestions' edit distance, all with sizes known only at run
    # time, which no compile-time check can protect. Anything else unprotected is a fault.
    program=$root/usr/bin/icatlas-find
    status=0
    output=$(hardening-check --verbose --nocfprotection --nofortify "$program" 2>&1) || status=$?
    echo "$output"
    [ "$status" -eq 0 ] || fail "hardening-check fails icatlas-find (exit status $status)"
    local unprotected
    unprotected=$(sed -n 's/^\tunprotected: //p' <<<"$output" | grep -vxE 'memcpy|memmove|memset' || true)
    [ -z "$unprotected" ] || fail "icatlas-find calls unprotected: $unprotected"
}

# Every file a desktop expects, and nothing in it that Debian forbids.
check_contents() {
    unpack
    local expected=(
        usr/bin/icatlas
        usr/bin/icatlas-find
        usr/share/man/man1/icatlas.1.gz
        usr/share/man/man1/icatlas-find.1.gz
        "usr/share/applications/$app_id.desktop"
        "usr/share/metainfo/$app_id.metainfo.xml"
        "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
        usr/share/doc/icatlas/copyright
        usr/share/doc/icatlas/changelog.Debian.gz
    )
    local size
    for size in 16 22 24 32 48 64 128 256; do
        expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
    done
    local file
    for file in "${expected[@]}"; do
        [ -f "$root/$file" ] || fail "missing from the package: /$file"
    done

    # Shipped as the build makes them, or as they are in the source tree.
    local pair
    for pair in "$generated/$app_id.desktop:usr/share/applications/$app_id.desktop" \
        "$generated/$app_id.metainfo.xml:usr/share/metainfo/$app_id.metainfo.xml" \
        "$source_root/packaging/copyright:usr/share/doc/icatlas/copyright"; do
        cmp -s "${pair%%:*}" "$root/${pair#*:}" \
            || fail "/${pair#*:} differs from ${pair%%:*}"
    done

    # Each PNG is as large as the folder it is in says.
    local png dims
    for png in "$root"/usr/share/icons/hicolor/*x*/apps/*.png; do
        size=$(basename "$(dirname "$(dirname "$png")")")
        dims=$(file -b "$png" | sed -n 's/.*, \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')
        [ "$dims" = "$size" ] || fail "${png#"$root"} is $dims, not $size"
    done

    # The desktop entry, the metainfo and the icons name each other by the window's id.
    grep -qx "Icon=$app_id" "$root/usr/share/applications/$app_id.desktop" \
        || fail "the desktop entry's Icon is not $app_id"
    grep -q "<id>$app_id</id>" "$root/usr/share/metainfo/$app_id.metainfo.xml" \
        || fail "the metainfo's id is not $app_id"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
        "$root/usr/share/metainfo/$app_id.metainfo.xml" \
        || fail "the metainfo does not launch $app_id.desktop"

    # Stripped, no RPATH/RUNPATH: the programs find only the system's libraries.
    local binary
    for binary in "$root"/usr/bin/*; do
        file -b "$binary" | grep -q ', stripped' || fail "${binary#"$root"} is not stripped"
        if readelf -d "$binary" | grep -qE '\((RPATH|RUNPATH)\)'; then
            fail "${binary#"$root"} has an RPATH"
        fi
    done

    # Compressed without a time stamp (bytes 4-7 of a gzip header), so builds are reproducible.
    local gz stamp
    for gz in "$root"/usr/share/man/man1/*.gz "$root"/usr/share/doc/icatlas/*.gz; do
        stamp=$(od -An -tx1 -j4 -N4 "$gz" | tr -d ' \n')
        [ "$stamp" = 00000000 ] || fail "${gz#"$root"} carries a time stamp"
        gzip -t "$gz" || fail "${gz#"$root"} is not a valid gzip file"
    done

    # The dependencies come from the binaries, and the font the layout is measured in is one of
    # them: without it the title and box texts are cut off. The Wayland platform is recommended.
    local depends recommends
    depends=$(dpkg-deb -f "$deb" Depends)
    recommends=$(dpkg-deb -f "$deb" Recommends)
    echo "Depends: $depends"
    echo "Recommends: $recommends"
    grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks libqt6widgets6"
    grep -q 'libc6' <<<"$depends" || fail "Depends lacks libc6"
    grep -Eq '(^|, )fonts-liberation(,|$)' <<<"$depends" || fail "Depends lacks fonts-liberation"
    [ "$recommends" = "qt6-wayland" ] || fail "Recommends is '$recommends'"
    if dpkg-deb -c "$deb" | awk '{print $2}' | grep -vx 'root/root' | grep -q .; then
        fail "files in the package are not owned by root"
    fi
}

# The installed program starts from the scratch root on the offscreen platform, stays up, and
# ends when the test stops it; the installed icatlas-find answers.
check_run() {
    unpack
    local log=$root/icatlas.log status=0
    QT_QPA_PLATFORM=offscreen "$root/usr/bin/icatlas" >"$log" 2>&1 &
    program_pid=$!
    sleep 2
    if ! kill -0 "$program_pid" 2>/dev/null; then
        wait "$program_pid" || status=$?
        program_pid=""
        cat "$log"
        fail "the installed icatlas ended by itself within 2 s (exit status $status)"
    else
        kill -TERM "$program_pid"
        wait "$program_pid" || status=$?
        program_pid=""
        cat "$log"
        # 128 + SIGTERM: it was running until the test ended it.
        [ "$status" -eq 143 ] || fail "icatlas ended with status $status, not by the test's signal"
        echo "the installed icatlas ran 2 s on the offscreen platform and was stopped by the test"
    fi

    local said
    said=$("$root/usr/bin/icatlas-find" --version)
    echo "installed icatlas-find --version: $said"
    [ "$said" = "icatlas-find $version" ] || fail "icatlas-find --version says '$said', not $version"
    "$root/usr/bin/icatlas-find" 4370825 >/dev/null || fail "the installed icatlas-find finds no 4370825"
}

case $check in
lintian) check_lintian ;;
hardening) check_hardening ;;
contents) check_contents ;;
run) check_run ;;
*)
    echo "unknown check: $check" >&2
    exit 2
    ;;
esac

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
