#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds Trevalo and starts it. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
trevalo_ensure_packages

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target trevalo trevalo-scan
exec ./build/src/app/trevalo "$@"
