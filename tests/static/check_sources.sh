#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks every C++ source of the project:
#   check_sources.sh format SOURCE_ROOT BUILD_DIR   clang-format with the repo's .clang-format
#                                                   must change nothing
#   check_sources.sh tidy SOURCE_ROOT BUILD_DIR     clang-tidy (.clang-tidy files) must warn about
#                                                   nothing, on each file the build compiles
set -euo pipefail

mode=$1 source_root=$2 build_dir=$3
cd "$source_root"

case $mode in
format)
    # Tracked sources, and new ones not yet added; never what a build generated.
    mapfile -t files < <(git ls-files --cached --others --exclude-standard \
        '*.cpp' '*.hpp' '*.h' '*.cc' 2>/dev/null || find . -path ./build -prune -o \
        \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' \) -print)
    [ ${#files[@]} -gt 0 ] || { echo "no sources found" >&2; exit 1; }
    if clang-format --dry-run --Werror "${files[@]}"; then
        echo "clang-format: ${#files[@]} files, no change needed"
    else
        echo "clang-format would change the files above: run clang-format -i on them" >&2
        exit 1
    fi
    ;;
tidy)
    # The translation units the build compiles, minus generated ones; headers are checked
    # through them (HeaderFilterRegex in .clang-tidy).
    mapfile -t files < <(python3 - "$build_dir/compile_commands.json" "$source_root" <<'PY'
import json, os, sys
root = os.path.realpath(sys.argv[2])
build = os.path.join(root, "build") + os.sep
for name in sorted({os.path.realpath(os.path.join(e["directory"], e["file"]))
                    for e in json.load(open(sys.argv[1]))}):
    if name.startswith(root + os.sep) and not name.startswith(build):
        print(name)
PY
    )
    [ ${#files[@]} -gt 0 ] || { echo "no sources in $build_dir/compile_commands.json" >&2; exit 1; }
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    status=0
    printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$(nproc)" \
        clang-tidy -p "$build_dir" --quiet --warnings-as-errors='*' >"$log" 2>&1 || status=$?
    # clang-tidy's "N warnings generated" counts the system headers it was told to ignore.
    grep -vE '^[0-9]+ warnings? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' \
        "$log" || true
    if [ "$status" -ne 0 ]; then
        echo "clang-tidy found problems in the files above" >&2
        exit 1
    fi
    echo "clang-tidy: ${#files[@]} translation units, no warning"
    ;;
*)
    echo "unknown mode: $mode" >&2
    exit 2
    ;;
esac
