#!/usr/bin/env bash
# Builds the Debian package of the program and installs it with apt-get.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${PACKAGES[@]}"
build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release
(cd "$ROOT/build" && cpack -G DEB >/dev/null)
deb=$(ls "$ROOT"/build/vantel_*_amd64.deb)
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"
echo "Installed $(basename "$deb"): find Vantel 2.0 in the applications menu, or run vantel."
