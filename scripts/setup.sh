#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Corvinade.
# Idempotent: a second run with everything present only checks and returns.
set -euo pipefail

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then SUDO=sudo; else
            echo "setup: run as root (or install sudo)" >&2
            exit 1
        fi
    else
        SUDO=
    fi
}

PACKAGES=(
    g++ cmake ninja-build nasm dpkg-dev
    gcc-mingw-w64-i686 g++-mingw-w64-i686
    wine wine32:i386 fonts-wine
    xvfb xdotool x11-utils imagemagick libjpeg-turbo-progs
    # Two monitors for the end-to-end tests: Xorg's dummy driver lays two
    # screens side by side under Xinerama, which 32-bit Wine reads through
    # the i386 library.
    xserver-xorg-core xserver-xorg-video-dummy libxinerama1:i386
    googletest python3
    clang libclang-rt-14-dev
    nsis osslsigncode openssl python3-yaml
)

missing_packages() {
    local p
    for p in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            echo "$p"
        fi
    done
}

enable_i386() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
        APT_DIRTY=1
    fi
}

enable_sources() {
    local f=/etc/apt/sources.list.d/debian.sources
    if [ -f "$f" ] && grep -qE '^Types: deb$' "$f"; then
        $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
        APT_DIRTY=1
    elif [ ! -f "$f" ] && ! grep -qs '^deb-src' /etc/apt/sources.list; then
        grep -s '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $SUDO tee -a /etc/apt/sources.list >/dev/null
        APT_DIRTY=1
    fi
}

main() {
    need_root
    APT_DIRTY=0
    enable_i386
    enable_sources
    local missing
    missing=$(missing_packages)
    if [ -n "$missing" ] || [ "$APT_DIRTY" = 1 ]; then
        echo "setup: installing: ${missing//$'\n'/ }"
        $SUDO apt-get update -qq
        # shellcheck disable=SC2086
        [ -z "$missing" ] || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
    fi
    # The build compiles libjpeg-turbo from Debian's source package (see scripts/build-libjpeg.sh).
    if ! apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package:'; then
        $SUDO apt-get update -qq
    fi
}

main "$@"
