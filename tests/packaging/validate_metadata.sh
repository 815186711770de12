#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the validator that distributions run on a desktop entry or an AppStream metainfo file,
# prints its verdict, and fails on any complaint (a hint included, for the desktop entry):
#   validate_metadata.sh desktop|appstream FILE
set -euo pipefail

kind=$1 file=$2
status=0
case $kind in
desktop)
    output=$(desktop-file-validate "$file" 2>&1) || status=$?
    echo "desktop-file-validate $(basename "$file"): exit status $status${output:+, said:}"
    [ -z "$output" ] || echo "$output"
    [ "$status" -eq 0 ] && [ -z "$output" ]
    ;;
appstream)
    # Errors and warnings fail; --no-net because CI has no network.
    output=$(appstreamcli validate --no-net --no-color "$file" 2>&1) || status=$?
    echo "appstreamcli validate --no-net $(basename "$file"): exit status $status"
    echo "$output"
    [ "$status" -eq 0 ]
    ;;
*)
    echo "unknown kind: $kind" >&2
    exit 2
    ;;
esac
