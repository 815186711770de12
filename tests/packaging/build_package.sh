#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package inside the build tree for the package tests: the hardened release
# build of the `package` preset, configured into BINARY_DIR instead of the source tree's
# build/package, then CPack. Installs nothing: the tools are scripts/lib.sh's build and check
# packages, which scripts/test installs before the tests run.
#   build_package.sh SOURCE_ROOT BINARY_DIR
set -euo pipefail

source_root=$1 binary_dir=$2
cmake --preset package -S "$source_root" -B "$binary_dir" >/dev/null
cmake --build "$binary_dir"
(cd "$binary_dir" && cpack -G DEB)
