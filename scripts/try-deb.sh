#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs the Debian package into a bare Debian 12 root and runs the programs there, to show
# that the package's dependencies are complete: nothing the build machine happens to have is
# needed. Run by hand, not by the tests.
#
# usage (as root, from the project's root):  scripts/try-deb.sh [PACKAGE.deb]
#
# Without an argument it takes build/trevalo_*_amd64.deb (make it with `cpack -G DEB` in
# build/). The bare root is made with mmdebstrap (apt only) and cached as a tarball under
# $WORK; the log is in $WORK/try-deb.log. Takes 1-3 minutes.
set -u
deb=${1:-$(ls build/trevalo_*_amd64.deb 2>/dev/null | tail -1)}
[ -n "$deb" ] && [ -f "$deb" ] || { echo "no package: make one with cpack -G DEB in build/"; exit 2; }
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")
WORK=${WORK:-${TMPDIR:-/tmp}/try-deb}
mkdir -p "$WORK"
[ "$(id -u)" -eq 0 ] || { echo "run as root (it makes a chroot)"; exit 2; }
command -v mmdebstrap >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq mmdebstrap >/dev/null
base=$WORK/bookworm-apt.tar
sources=/etc/apt/sources.list.d/debian.sources
[ -f "$sources" ] || sources=/etc/apt/sources.list
if [ ! -s "$base" ]; then
    mmdebstrap --quiet --variant=apt bookworm "$base" "$sources" ||
        { echo "could not make a Debian 12 root"; exit 2; }
fi
root=$WORK/root
unmount_all() {
    local m
    for m in dev sys proc; do
        mountpoint -q "$root/$m" && umount -l "$root/$m"
    done
}
unmount_all
rm -rf "$root" && mkdir -p "$root"
tar -xf "$base" -C "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/root/"
trap unmount_all EXIT
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"

echo "installing $(basename "$deb") into a bare Debian 12 ..."
chroot "$root" /bin/bash -s "$(basename "$deb")" >"$WORK/try-deb.log" 2>&1 <<'EOF'
set -eux
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/root/$1"
trevalo --version
trevalo-scan --version || echo "trevalo-scan has no --version"
man -w trevalo || ls /usr/share/man/man1/trevalo.1.gz
# A small search: two identical files, one empty file, two files of one name.
mkdir -p /tmp/tree/a /tmp/tree/b
echo same > /tmp/tree/a/one.txt
echo same > /tmp/tree/b/two.txt
: > /tmp/tree/a/empty.dat
echo first > /tmp/tree/a/name.doc
echo other > /tmp/tree/b/NAME.doc
trevalo-scan /tmp/tree > /tmp/result.txt
cat /tmp/result.txt
grep -q '^Zero Size(1)' /tmp/result.txt
grep -q '^Duplicates(2)' /tmp/result.txt
grep -q '^Same Name(2)' /tmp/result.txt
QT_QPA_PLATFORM=offscreen timeout 5 trevalo /tmp/tree || [ $? -eq 124 ]
echo "the package installs and runs"
EOF
rc=$?
tail -20 "$WORK/try-deb.log"
if [ $rc -ne 0 ]; then
    echo "FAIL: the package does not install or run on a bare Debian 12 (log: $WORK/try-deb.log)"
    exit 1
fi
echo "PASS: the package installs and runs on a bare Debian 12"
