#!/usr/bin/env bash
# Instructions per spin of bench_core, counted by callgrind: each mode is played
# for a short and a long fixed number of spins, and the difference divided by
# the extra spins, so start-up and set-up cost nothing.
# Usage: bench/instructions_per_spin.sh [path/to/bench_core]
set -euo pipefail
BIN="${1:-$(dirname "${BASH_SOURCE[0]}")/../build/bench/bench_core}"
SHORT=${SHORT_SPINS:-5000}
LONG=${LONG_SPINS:-25000}

collected() { # mode spins
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$BIN" --mode="$1" --spins="$2" 2>&1 |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

for mode in mode1 mode2 sequential; do
    a=$(collected "$mode" "$SHORT")
    b=$(collected "$mode" "$LONG")
    [ -n "$a" ] && [ -n "$b" ] || { echo "callgrind gave no count for $mode" >&2; exit 1; }
    printf '%-10s %8d instructions/spin\n' "$mode" $(((b - a) / (LONG - SHORT)))
done
