#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds Trevalo and runs every test. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
trevalo_ensure_packages

build=${TREVALO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TREVALO_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
