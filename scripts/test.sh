#!/usr/bin/env bash
# Installs what is missing, checks the sources, builds everything and runs the
# whole test suite:
# the whole program and every test under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, then the release build's own tests (the real
# windows, the screen reader, the package and the benchmarks), and the fuzz
# targets over their corpora and a little more. Each stage's wall and CPU time
# is printed at the end.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# cpu_seconds: sets CPU_SECONDS to the user and system time of the commands
# this script has run so far (a shared machine's wall time says little; the
# CPU time over the cores is about what a quiet machine would take). `times`
# runs in this shell: a subshell would count only its own children.
TIMES_FILE="$(mktemp)"
cpu_seconds() {
    times >"$TIMES_FILE"
    CPU_SECONDS=$(awk 'NR == 2 { t = 0
        for (i = 1; i <= 2; i++) { split($i, a, /[ms]/); t += a[1] * 60 + a[2] }
        printf "%d", t }' "$TIMES_FILE")
}

# stage NAME COMMAND...: runs one stage and keeps its times for the summary.
STAGE_TIMES=()
stage() {
    local name="$1" start=$SECONDS cpu
    shift
    cpu_seconds
    cpu=$CPU_SECONDS
    echo "== $name"
    "$@"
    cpu_seconds
    STAGE_TIMES+=("$(printf '%-20s %4ds, CPU %4ds' "$name" $((SECONDS - start)) \
        $((CPU_SECONDS - cpu)))")
}
print_stage_times() {
    echo "== stage times"
    printf '%s\n' "${STAGE_TIMES[@]}"
    rm -f "$TIMES_FILE"
}
trap print_stage_times EXIT

# Both builds precompile the Qt headers of the widget library and its tests,
# unless a compiler cache is in front of the compiler: it would not cache the
# compiles that use them.
PCH=(-DVANTEL_PCH=ON)
[ -n "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && PCH=(-DVANTEL_PCH=OFF)

# run_tests DIR JOBS: runs the tests of the build in DIR, JOBS at once. The
# tests that keep a core busy (those with RESOURCE_GROUPS cpu:1) run one a
# core; the real-window tests, which mostly wait for the program's draws and
# timers, run beside them, the longest first (their COST).
run_tests() {
    local resources="$1/cpu_resources.json"
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"cpu": [{"id": "cores", "slots": %d}]}]}\n' \
        "$(nproc)" >"$resources"
    (cd "$1" && ctest --output-on-failure -j "$2" --resource-spec-file "$resources")
}

# The sanitizer build: -O1 keeps the widget and real-window tests quick enough;
# line tables only (-g1), all the sanitizers' reports need to name file and line.
# Its benchmarks would measure the sanitizers: only the release build has them.
sanitizer_build() {
    build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
        -DVANTEL_CORE_ONLY=OFF -DVANTEL_SANITIZE=ON -DVANTEL_WERROR=ON -DVANTEL_BENCHMARKS=OFF \
        "${PCH[@]}"
}
sanitizer_tests() {
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
    run_tests "$ROOT/build-asan" "$(($(nproc) * 4))"
}

# The release build: the unit and widget tests ran in the sanitizer build; this
# one builds and runs what needs the optimised program: the real windows on
# their desktops, the screen reader's test, the package and the benchmarks.
release_build() {
    build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release -DVANTEL_WERROR=ON -DVANTEL_UNIT_TESTS=OFF \
        "${PCH[@]}"
}
release_tests() { run_tests "$ROOT/build" "$(($(nproc) * 2))"; }

# The fuzz targets, built with clang in build-fuzz: each over its corpus, then 20 s more.
fuzz_tests() { FUZZ_SECONDS=20 bash "$ROOT/scripts/fuzz.sh"; }

stage packages ensure_packages "${PACKAGES[@]}"
stage source-checks bash "$ROOT/scripts/check_sources.sh"
stage sanitizer-build sanitizer_build
stage sanitizer-tests sanitizer_tests
stage release-build release_build
stage release-tests release_tests
stage fuzz fuzz_tests
