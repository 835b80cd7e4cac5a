#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the core, widget and real-window tests.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${PACKAGES[@]}"

build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVANTEL_CORE_ONLY=ON -DVANTEL_SANITIZE=ON
(cd "$ROOT/build-asan" && ctest --output-on-failure -j "$(nproc)")

build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release
cd "$ROOT/build" && ctest --output-on-failure -j "$(nproc)"
