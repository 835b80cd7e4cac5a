#!/usr/bin/env bash
# Installs what is missing, builds the program and opens its window.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${PACKAGES[@]}"
build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release
if [ -n "${DISPLAY:-}" ]; then
    exec "$ROOT/build/app/vantel"
else
    echo "No display: opening the window in a virtual X server."
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$ROOT/build/app/vantel"
fi
