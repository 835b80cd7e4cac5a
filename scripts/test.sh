#!/usr/bin/env bash
# Installs what is missing, checks the sources, builds everything and runs the
# whole test suite:
# the whole program and every test under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets over their corpora and a little
# more, then the release build's own tests: the real windows, the screen reader,
# the package and the benchmarks.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# stage NAME COMMAND...: runs one stage and keeps its time for the summary.
STAGE_TIMES=()
stage() {
    local name="$1" start=$SECONDS
    shift
    echo "== $name"
    "$@"
    STAGE_TIMES+=("$(printf '%-20s %4ds' "$name" $((SECONDS - start)))")
}
print_stage_times() {
    echo "== stage times"
    printf '%s\n' "${STAGE_TIMES[@]}"
}
trap print_stage_times EXIT

# The sanitizer build: -O1 keeps the widget and real-window tests quick enough.
# Its benchmarks would measure the sanitizers: only the release build has them.
sanitizer_build() {
    build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
        -DVANTEL_CORE_ONLY=OFF -DVANTEL_SANITIZE=ON -DVANTEL_WERROR=ON -DVANTEL_BENCHMARKS=OFF
}
sanitizer_tests() {
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
    (cd "$ROOT/build-asan" && ctest --output-on-failure -j "$(nproc)")
}

# The fuzz targets, built with clang in build-fuzz: each over its corpus, then 20 s more.
fuzz_tests() { FUZZ_SECONDS=20 bash "$ROOT/scripts/fuzz.sh"; }

# The release build: the unit and widget tests ran in the sanitizer build; this
# one builds and runs what needs the optimised program: the real windows on
# their desktops, the screen reader's test, the package and the benchmarks.
release_build() {
    build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release -DVANTEL_WERROR=ON -DVANTEL_UNIT_TESTS=OFF
}
release_tests() { (cd "$ROOT/build" && ctest --output-on-failure -j "$(nproc)"); }

stage packages ensure_packages "${PACKAGES[@]}"
stage source-checks bash "$ROOT/scripts/check_sources.sh"
stage sanitizer-build sanitizer_build
stage sanitizer-tests sanitizer_tests
stage fuzz fuzz_tests
stage release-build release_build
stage release-tests release_tests
