#!/usr/bin/env bash
# Installs what is missing, checks the sources, builds everything and runs the
# whole test suite:
# the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the core, widget and real-window tests.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${PACKAGES[@]}"
bash "$ROOT/scripts/check_sources.sh"

build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVANTEL_CORE_ONLY=ON -DVANTEL_SANITIZE=ON -DVANTEL_WERROR=ON
(cd "$ROOT/build-asan" && ctest --output-on-failure -j "$(nproc)")

build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release -DVANTEL_WERROR=ON
cd "$ROOT/build" && ctest --output-on-failure -j "$(nproc)"
