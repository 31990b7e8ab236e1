# Installs the Debian packages the build and the tests need, when any is missing.
# Sourced by run.sh, test.sh and .ci/run.
trevalo_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev
    libemf2svg-dev libwmf-dev xvfb xauth)

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
