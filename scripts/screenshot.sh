#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Takes the README's screenshot: builds trevalo if needed, makes a small demo tree, runs a
# search over it in the real program on a virtual X display, and saves the window to
# docs/screenshot.png.
#
#   scripts/screenshot.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
trevalo_ensure_packages

out=${1:-docs/screenshot.png}
build=${TREVALO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target trevalo

# The demo tree, at a short fixed path so that the "In Folder" column reads well.
demo=${TMPDIR:-/tmp}/trevalo-demo
rm -rf "$demo"
trap 'rm -rf "$demo"' EXIT
mkdir -p "$demo"/{Pictures/Holiday,Pictures/Phone,Pictures/Backup,Documents/Taxes,Downloads,Music/Album,Music/Copies,Projects}

bytes() { # bytes FILE SIZE SEED: SIZE bytes fixed by SEED
    yes "demo content $3" | head -c "$2" >"$1" || true
}
# Real pictures, so that the preview beside the lists shows one.
cp tests/data/pictures/sample.jpg "$demo/Pictures/Holiday/beach.jpg"
cp tests/data/pictures/sample.bmp "$demo/Pictures/Holiday/sunset.bmp"
bytes "$demo/Documents/Taxes/return-2023.pdf" 58320 3
bytes "$demo/Music/Album/track01.mp3" 4120456 4
bytes "$demo/Projects/notes.txt" 812 5
bytes "$demo/Documents/notes.txt" 1290 6
cp "$demo/Pictures/Holiday/beach.jpg" "$demo/Pictures/Backup/beach.jpg"
cp "$demo/Pictures/Holiday/beach.jpg" "$demo/Pictures/Phone/IMG_2041.jpg"
cp "$demo/Pictures/Holiday/sunset.bmp" "$demo/Pictures/Backup/sunset.bmp"
cp "$demo/Documents/Taxes/return-2023.pdf" "$demo/Downloads/return-2023 (1).pdf"
cp "$demo/Music/Album/track01.mp3" "$demo/Music/Copies/track01.mp3"
: >"$demo/Documents/empty.log"
: >"$demo/Downloads/download.part"
touch -d "2023-07-14 18:22:05" "$demo"/Pictures/Holiday/* "$demo/Music/Album/track01.mp3"
touch -d "2024-01-09 09:41:17" "$demo"/Pictures/Backup/* "$demo"/Pictures/Phone/*
touch -d "2024-03-02 20:15:40" "$demo/Documents/Taxes/return-2023.pdf" "$demo/Music/Copies/track01.mp3"
touch -d "2024-03-28 11:03:12" "$demo/Downloads/return-2023 (1).pdf" "$demo/Projects/notes.txt"

mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
cd "$demo"
TREVALO_SCREENSHOT="$out" timeout 60 xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
    "$OLDPWD/$build/src/app/trevalo" --search "$demo"
echo "Saved $out"
