#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the zip and the installer with CPack, then, in the Wine session's prefix, installs silently
# for the current user, runs both installed programs, uninstalls silently and checks that no file
# and no registry key of ours is left behind.
#
#   installer_test.sh <build folder> <wine_run.sh> <version>
set -eu
export LC_ALL=C
build=$1 run=$2 version=$3
packages=$build/packages
name=icatlas-$version-windows-x64

fail() {
    echo "FAILED: $*" >&2
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
vendor_key='HKCU\Software\IC Atlas developers'
appdata=$("$run" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
# The user's programs folder is Windows' own (a known folder, shared by every per-user program);
# a fresh prefix lacks it.
mkdir -p "$("$run" winepath -u "$appdata\\Programs" | tr -d '\r')"
files >"$build/installer_files_before.txt"
key_exists "$uninstall_key" && fail "an earlier install is still registered"

echo "installing"
timeout 120 "$run" "$packages/$name.exe" /S || fail "the silent install failed"

installed=$("$run" winepath -u "$appdata\\Programs\\IC Atlas" | tr -d '\r')
for file in icatlas.exe icatlas-find.exe LICENSE.txt README.txt Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "not installed: $installed/$file"
done
menu=$(find "$drive/users" -path '*Start Menu/Programs/IC Atlas/IC Atlas.lnk' | head -n 1)
[ -n "$menu" ] || fail "no Start-menu entry 'IC Atlas' for the user"
find "$drive/ProgramData" -path '*IC Atlas*' | grep -q . && fail "installed for all users"
key_exists "$uninstall_key" || fail "no uninstall record under HKCU"

# The installed programs run from where they were installed.
shown=$(timeout 60 "$run" "$appdata\\Programs\\IC Atlas\\icatlas.exe" --version | tr -d '\r')
[ "$shown" = "icatlas $version" ] || fail "icatlas.exe --version said '$shown'"
found=$(timeout 60 "$run" "$appdata\\Programs\\IC Atlas\\icatlas-find.exe" 4370825)
case $found in
4370825:*) ;;
*) fail "icatlas-find.exe 4370825 said: $found" ;;
esac
echo "installed in $installed; both programs run"

# The uninstaller copies itself away and returns at once: wait for the folder to go.
timeout 60 "$run" "$appdata\\Programs\\IC Atlas\\Uninstall.exe" /S || fail "the silent uninstall failed"
waited=0
while [ -e "$installed" ] && [ $waited -lt 60 ]; do
    sleep 1
    waited=$((waited + 1))
done
[ -e "$installed" ] && fail "still there after uninstalling: $(find "$installed")"
key_exists "$uninstall_key" && fail "the uninstall record is left"
key_exists "$vendor_key" && fail "the vendor's key is left"
files >"$build/installer_files_after.txt"
left=$(comm -13 "$build/installer_files_before.txt" "$build/installer_files_after.txt")
[ -z "$left" ] || fail "left behind after uninstalling:
$left"
echo "uninstalled; nothing left behind"
