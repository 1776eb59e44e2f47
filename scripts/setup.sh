#!/usr/bin/env bash
# Installs what is missing on a Debian machine (Debian packages only) and builds pqwave.
# Sourced by ./run and ./test; BUILD_DIR and the package list come from the caller.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    # A Japanese font is needed only when the desktop has none at all.
    if ! command -v fc-list >/dev/null || [ -z "$(fc-list :lang=ja 2>/dev/null)" ]; then
        missing+=(fontconfig fonts-ipafont-gothic)
    fi
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build [TARGET...]: a Release build of the given targets (all when none).
configure_and_build() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPQWAVE_UI=ON -DPQWAVE_TESTS=ON >/dev/null
    if [ $# -gt 0 ]; then
        cmake --build "$BUILD_DIR" -j2 --target "$@"
    else
        cmake --build "$BUILD_DIR" -j2
    fi
}

BUILD_PACKAGES=(g++ cmake ninja-build pkg-config gettext qt6-base-dev libgtest-dev qt6-svg-dev)
