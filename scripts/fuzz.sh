#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each one over its
# corpus in tests/fuzz/corpus/<target>/, then FUZZ_SECONDS more (default 20).
# New inputs go to a scratch folder; with FUZZ_KEEP=1 the ones that reach new
# code are merged into the corpus, to be committed.
#   FUZZ_SECONDS=3600 bash scripts/fuzz.sh           # an hour per target
#   FUZZ_SECONDS=600 FUZZ_KEEP=1 bash scripts/fuzz.sh fuzz_spin_rules
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_int_convert fuzz_spin_rules fuzz_sim_input)
SECONDS_EACH="${FUZZ_SECONDS:-20}"

cmake -S "$ROOT" -B "$ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVANTEL_CORE_ONLY=ON -DVANTEL_FUZZ=ON >/dev/null
cmake --build "$ROOT/build-fuzz" -j "$(nproc)" --target "${TARGETS[@]}"

export ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for target in "${TARGETS[@]}"; do
    fuzzer="$ROOT/build-fuzz/tests/fuzz/$target"
    corpus="$ROOT/tests/fuzz/corpus/$target"
    scratch="$(mktemp -d)"
    # A crash is written where the run starts, so it stays out of the tree.
    (
        cd "$scratch"
        echo "-- $target: the corpus"
        "$fuzzer" -runs=0 "$corpus"
        echo "-- $target: ${SECONDS_EACH}s more"
        mkdir new
        if ! "$fuzzer" -max_total_time="$SECONDS_EACH" -print_final_stats=1 new "$corpus" \
            >fuzz.log 2>&1; then
            tail -40 fuzz.log
            echo "$target found a fault; the input is kept in $scratch"
            exit 1
        fi
        grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss)' fuzz.log
        if [ "${FUZZ_KEEP:-0}" = 1 ]; then
            "$fuzzer" -merge=1 "$corpus" new 2>&1 | tail -1
        fi
    )
    rm -rf "$scratch"
done
