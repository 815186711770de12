#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the zip and the installer with CPack, then, in the Wine session's prefix, installs through
# the installer's pages and opens the window from the last one, uninstalls, installs silently
# for the current user, checks the uninstall record and the version records, starts the window
# through its Start-menu entry, runs both installed programs as the README says, uninstalls
# silently and checks that no file and no registry key of ours is left behind.
#
#   installer_test.sh <build folder> <wine_run.sh> <version> <installer_probe.exe>
set -eu
export LC_ALL=C
build=$1 run=$2 version=$3 probe=$4
company=MOSSGROVE
packages=$build/packages
name=icatlas-$version-windows-x64

fail() {
    printf 'FAILED: %s\n' "$*" >&2
    exit 1
}

(cd "$build" && cpack --config CPackConfig.cmake -G "ZIP;NSIS") >"$build/cpack.log" 2>&1 \
    || { cat "$build/cpack.log" >&2; fail "cpack"; }
for file in "$name.zip" "$name.exe"; do
    [ -s "$packages/$file" ] || fail "cpack made no $file"
    echo "$file: $(stat -c %s "$packages/$file") bytes"
done
listing=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' \
    "$packages/$name.zip")
expected="$name/LICENSE.txt
$name/README.txt
$name/icatlas-find.exe
$name/icatlas.exe"
[ "$listing" = "$expected" ] || fail "the zip holds:
$listing
expected:
$expected"

prefix=$(dirname "$run")/prefix
drive=$prefix/drive_c
# Everything under drive C except the temporary folders, which Windows empties itself.
files() {
    find "$drive" -path '*/[Tt]emp' -prune -o -print | sort
}
# The registry as the running wine server holds it.
key_exists() {
    "$run" reg query "$1" >/dev/null 2>&1
}
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\IC Atlas'
vendor_key="HKCU\\Software\\$company"
uninstall_keys='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# Every key and value under the Uninstall key (which a fresh prefix lacks, and an install makes).
uninstall_entries() {
    "$run" reg query "$uninstall_keys" /s 2>/dev/null | tr -d '\r' \
        | grep -v -e '^$' -e '^reg: Unable to find' -e '^HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall$' \
        || true
}
appdata=$("$run" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
# The user's programs folder is Windows' own (a known folder, shared by every per-user program);
# a fresh prefix lacks it.
mkdir -p "$("$run" winepath -u "$appdata\\Programs" | tr -d '\r')"
files >"$build/installer_files_before.txt"
uninstall_entries >"$build/installer_uninstall_before.txt"
key_exists "$uninstall_key" && fail "an earlier install is still registered"

installed=$("$run" winepath -u "$appdata\\Programs\\IC Atlas" | tr -d '\r')
# The uninstaller copies itself away and returns at once: wait for the folder to go.
uninstall() {
    timeout 60 "$run" "$appdata\\Programs\\IC Atlas\\Uninstall.exe" /S \
        || fail "the silent uninstall failed"
    waited=0
    while [ -e "$installed" ] && [ $waited -lt 60 ]; do
        sleep 1
        waited=$((waited + 1))
    done
    [ -e "$installed" ] && fail "still there after uninstalling: $(find "$installed")"
    return 0
}

# Runs a Wine program within `limit` seconds and prints what it said. Its output goes through a
# file, not a pipe: a program it started (the installed window, the installer) may outlive the
# timeout, and would hold a pipe open for ever.
bounded() {
    local limit=$1 status=0
    shift
    timeout -k 10 "$limit" "$run" "$@" >"$build/bounded_output.txt" 2>&1 || status=$?
    tr -d '\r' <"$build/bounded_output.txt"
    return $status
}

# As a user installs it: Next to Finish, where the last page offers to open the window, ticked;
# Finish opens the installed program.
echo "installing through the pages"
went=$(bounded 180 "$probe" install "$("$run" winepath -w "$packages/$name.exe" | tr -d '\r')") \
    || fail "the installer's pages: $went"
printf '%s\n' "$went" | grep -qx 'offered: &Run IC Atlas (ticked)' \
    || fail "the last page does not offer to open the window, ticked:
$went"
printf '%s\n' "$went" | grep -qxF "opened: $appdata\\Programs\\IC Atlas\\icatlas.exe" \
    || fail "Finish did not open the installed program:
$went"
echo "the last page opened $(printf '%s\n' "$went" | sed -n 's/^window: //p')"
uninstall

echo "installing silently"
timeout 120 "$run" "$packages/$name.exe" /S || fail "the silent install failed"

for file in icatlas.exe icatlas-find.exe LICENSE.txt README.txt Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "not installed: $installed/$file"
done
menu=$(find "$drive/users" -path '*Start Menu/Programs/IC Atlas/IC Atlas.lnk' | head -n 1)
[ -n "$menu" ] || fail "no Start-menu entry 'IC Atlas' for the user"
find "$drive/ProgramData" -path '*IC Atlas*' | grep -q . && fail "installed for all users"
key_exists "$uninstall_key" || fail "no uninstall record under HKCU"

# The record Settings > Apps shows: the publisher is the programs' company, the flags are
# numbers, and the size is the installed files' in KiB.
record=$("$run" reg query "$uninstall_key" | tr -d '\r')
value() {
    printf '%s\n' "$record" | sed -n "s/^ *$1 *//p" | tr -s ' '
}
for expected in "Publisher|REG_SZ $company" "NoModify|REG_DWORD 0x1" "NoRepair|REG_DWORD 0x1" \
    "DisplayVersion|REG_SZ $version"; do
    field=${expected%%|*}
    [ "$(value "$field")" = "${expected#*|}" ] \
        || fail "the uninstall record's $field is '$(value "$field")', not '${expected#*|}':
$record"
done
size=$(value EstimatedSize)
case $size in
"REG_DWORD 0x"*) kib=$((${size#REG_DWORD })) ;;
*) fail "no EstimatedSize as a number in the uninstall record:
$record" ;;
esac
bytes=$(find "$installed" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum }')
difference=$((bytes / 1024 - kib))
[ "${difference#-}" -le 8 ] || fail "EstimatedSize is $kib KiB; the installed files hold $bytes bytes"
echo "uninstall record: publisher $company, NoModify and NoRepair numbers, $kib KiB"

# Each program, the installer and the uninstaller carry the version record.
for file in "$packages/$name.exe" "$installed/icatlas.exe" "$installed/icatlas-find.exe" \
    "$installed/Uninstall.exe"; do
    fields=$("$run" "$probe" version "$("$run" winepath -w "$file" | tr -d '\r')" | tr -d '\r')
    for expected in "CompanyName=$company" "ProductName=IC Atlas" "FileVersion=$version" \
        "ProductVersion=$version"; do
        printf '%s\n' "$fields" | grep -qxF "$expected" \
            || fail "$(basename "$file")'s version record lacks $expected:
$fields"
    done
done
echo "version records on the installer, the uninstaller and both programs"

# icatlas-find asks Windows for UTF-8 as its code page.
"$run" "$probe" manifest "$("$run" winepath -w "$installed/icatlas-find.exe" | tr -d '\r')" \
    | grep -q '<activeCodePage [^>]*>UTF-8</activeCodePage>' \
    || fail "icatlas-find.exe's manifest does not ask for UTF-8 as its code page"

# The Start-menu entry names the installed program and starts it, as the shell would.
link=$("$run" winepath -w "$menu" | tr -d '\r')
target=$("$run" "$probe" shortcut "$link" | tr -d '\r' | sed -n 's/^target=//p')
[ "$target" = "$appdata\\Programs\\IC Atlas\\icatlas.exe" ] \
    || fail "the Start-menu entry points at '$target'"
shown=$(bounded 60 "$probe" open "$link" --version) \
    || fail "icatlas.exe --version through the Start-menu entry failed: $shown"
[ "$shown" = "icatlas $version" ] || fail "icatlas.exe --version said '$shown'"
opened=$(bounded 90 "$probe" open "$link") \
    || fail "the window through the Start-menu entry: '$opened'"
case $opened in
"window: "?*) ;;
*) fail "the Start-menu entry showed no window: '$opened'" ;;
esac
printf '%s\n' "the Start-menu entry starts $target (${opened})"

# icatlas-find from a command prompt, as the installed README says: its command lines (indented,
# starting with the quoted program, `cd /d` or `icatlas-find`), typed in one batch in that order.
tr -d '\r' <"$installed/README.txt" | grep -E '^  +("%LOCALAPPDATA%|cd /d |icatlas-find )' \
    | sed 's/^ *//' >"$build/readme_commands.txt" || true
asked=$(grep -c '4370825$' "$build/readme_commands.txt") || true
[ "$asked" -ge 2 ] || fail "the README tells no two ways to run icatlas-find:
$(cat "$build/readme_commands.txt")"
{
    echo '@echo off'
    cat "$build/readme_commands.txt"
} | sed 's/$/\r/' >"$build/readme_commands.cmd"
batch=$("$run" winepath -w "$build/readme_commands.cmd" | tr -d '\r')
found=$(bounded 60 cmd /c "$batch") || true
answers=$(printf '%s\n' "$found" | grep -c '^4370825:') || true
[ "$answers" = "$asked" ] || fail "the README's commands gave:
$found
from:
$(cat "$build/readme_commands.txt")"
echo "installed in $installed; the README's $asked commands run icatlas-find"

uninstall
key_exists "$uninstall_key" && fail "the uninstall record is left"
key_exists "$vendor_key" && fail "the vendor's key is left"
uninstall_entries >"$build/installer_uninstall_after.txt"
cmp -s "$build/installer_uninstall_before.txt" "$build/installer_uninstall_after.txt" \
    || fail "the Uninstall key holds after uninstalling what it did not before:
$(diff "$build/installer_uninstall_before.txt" "$build/installer_uninstall_after.txt")"
files >"$build/installer_files_after.txt"
left=$(comm -13 "$build/installer_files_before.txt" "$build/installer_files_after.txt")
[ -z "$left" ] || fail "left behind after uninstalling:
$left"
echo "uninstalled; nothing left behind"
