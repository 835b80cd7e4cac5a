#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each one over its
# corpus in tests/fuzz/corpus/<target>/, then FUZZ_SECONDS more (default 20),
# all targets at once.
# New inputs go to a scratch folder; with FUZZ_KEEP=1 the ones that reach new
# code are merged into the corpus, to be committed.
#   FUZZ_SECONDS=3600 bash scripts/fuzz.sh           # an hour per target
#   FUZZ_SECONDS=600 FUZZ_KEEP=1 bash scripts/fuzz.sh fuzz_spin_rules
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_int_convert fuzz_spin_rules fuzz_sim_input fuzz_session_file)
SECONDS_EACH="${FUZZ_SECONDS:-20}"

cmake -S "$ROOT" -B "$ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVANTEL_CORE_ONLY=ON -DVANTEL_FUZZ=ON >/dev/null
cmake --build "$ROOT/build-fuzz" -j "$(nproc)" --target "${TARGETS[@]}"

export ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# fuzz_one TARGET SCRATCH: the corpus, then the time more; its output goes to
# SCRATCH/out.log, and a crash to SCRATCH, out of the tree.
fuzz_one() {
    local target="$1" scratch="$2"
    local fuzzer="$ROOT/build-fuzz/tests/fuzz/$target"
    local corpus="$ROOT/tests/fuzz/corpus/$target"
    cd "$scratch"
    echo "-- $target: the corpus"
    "$fuzzer" -runs=0 "$corpus" >corpus.log 2>&1 || { tail -40 corpus.log; return 1; }
    grep -E '^#[0-9]+.*DONE' corpus.log
    echo "-- $target: ${SECONDS_EACH}s more"
    mkdir new
    if ! "$fuzzer" -max_total_time="$SECONDS_EACH" -print_final_stats=1 new "$corpus" \
        >fuzz.log 2>&1; then
        tail -40 fuzz.log
        return 1
    fi
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss)' fuzz.log
    if [ "${FUZZ_KEEP:-0}" = 1 ]; then
        "$fuzzer" -merge=1 "$corpus" new 2>&1 | tail -1
    fi
}

# The targets run side by side; each reports in turn once all are done.
declare -A SCRATCH PID
for target in "${TARGETS[@]}"; do
    SCRATCH[$target]="$(mktemp -d)"
    (fuzz_one "$target" "${SCRATCH[$target]}" >"${SCRATCH[$target]}/out.log" 2>&1) &
    PID[$target]=$!
done
failed=0
for target in "${TARGETS[@]}"; do
    if wait "${PID[$target]}"; then
        cat "${SCRATCH[$target]}/out.log"
        rm -rf "${SCRATCH[$target]}"
    else
        cat "${SCRATCH[$target]}/out.log"
        echo "$target found a fault; the input is kept in ${SCRATCH[$target]}"
        failed=1
    fi
done
exit $failed
