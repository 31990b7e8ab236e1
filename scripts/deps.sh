# SPDX-License-Identifier: GPL-2.0-or-later
# Installs the Debian packages the build, the tests and the program need, when any is missing.
# Sourced by run.sh, test.sh and .ci/run. Packages are installed without their recommendations,
# so everything the program needs at run time is named here too:
# - libexpat1-dev and libjpeg-dev: libwmf's pkg-config file links them, libwmf-dev does not
#   pull them in;
# - fonts-urw-base35: the fonts libwmf draws text with (only a recommendation of libwmf);
# - qt6-qpa-plugins: Qt's platform plugins (xcb for the desktop, offscreen for the tests);
# - desktop-file-utils and appstream: the installed tree's test validates the desktop entry
#   and the metainfo with them;
# - btrfs-progs: a test makes a small btrfs image (where it runs as root) to replace a file
#   with a copy that shares its blocks;
# - qt6-tools-dev and qt6-l10n-tools: CMake's Qt6LinguistTools, lupdate and lrelease, which
#   build the translations; qt6-translations-l10n: Qt's own translations (qtbase_de.qm, ...),
#   which the programs load for the standard dialogs' buttons.
trevalo_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev
    qt6-qpa-plugins libemf2svg-dev libwmf-dev libexpat1-dev libjpeg-dev fonts-urw-base35
    libxxhash-dev libsqlite3-dev xvfb xauth desktop-file-utils appstream btrfs-progs
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)

# What .ci/run needs besides: the format and naming checks.
trevalo_ci_packages=(clang-format clang-tidy git)

trevalo_ensure_packages() {
    local missing=()
    local p
    for p in "${trevalo_packages[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}
