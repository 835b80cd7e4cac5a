#!/usr/bin/env bash
# What the run and test commands share: installing what is missing, and building.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES=(build-essential cmake clang-format libgtest-dev qt6-base-dev qt6-qpa-plugins libgl-dev
          fonts-liberation fontconfig xvfb xauth xdotool imagemagick
          pkg-config libxcb1-dev x11-utils desktop-file-utils appstream lintian help2man
          libx11-dev xclip clang libclang-rt-14-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev qt6-svg-dev openbox
          dbus at-spi2-core python3-pyatspi libsqlite3-dev valgrind)

# Installs the Debian packages that are not installed yet; with sudo when not root.
ensure_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# build DIR [cmake options...]: configures (once) and builds the tree in DIR.
build() {
    local dir="$1"
    shift
    cmake -S "$ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
